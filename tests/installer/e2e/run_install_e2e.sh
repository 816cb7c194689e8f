#!/usr/bin/env bash
# Runs the install job end to end in a Wine prefix made fresh for this run, with its own
# wineserver, so that nothing from an earlier run (registry, files, shortcuts) can count:
#   run_install_e2e.sh <install_e2e_test.exe> <install_harness.exe> <install_test_helper.exe>
#                      <VelmoraSetup.exe> <vm_planted.dll>
# The programs are copied into C:\e2e of the new prefix and the test runs from there.
set -euo pipefail
source "$(dirname "$0")/../../../scripts/wine-env.sh"
source "$VM_ROOT/scripts/wine-prefix-lib.sh"

test_exe=$1 harness_exe=$2 helper_exe=$3 setup_exe=$4 planted_dll=$5
vm_use_fresh_prefix "$VM_WINE_DIR/install-e2e"

work=$WINEPREFIX/drive_c/e2e
mkdir -p "$work"
cp "$test_exe" "$work/install_e2e_test.exe"
cp "$harness_exe" "$work/install_harness.exe"
cp "$helper_exe" "$work/install_test_helper.exe"
cp "$setup_exe" "$work/VelmoraSetup.exe"
cp "$planted_dll" "$work/vm_planted.dll"

# A stand-in for a virus scanner that takes the archive away while the installer writes it: once
# the test creates C:\e2e\scanner.arm, the next "install.zip" to appear in the install folder is
# unlinked at once (Unix unlinks a file that Wine still has open; the writes then go on into the
# nameless file), and C:\e2e\scanner.done says so.
python3 - "$work" "$WINEPREFIX/drive_c/Program Files/Velmora/install.zip" <<'PY' &
import os, sys, time
work, archive = sys.argv[1], sys.argv[2]
arm, done = os.path.join(work, "scanner.arm"), os.path.join(work, "scanner.done")
parent = os.getppid()
while os.getppid() == parent:  # ends with the script
    if not os.path.exists(arm):
        time.sleep(0.01)
        continue
    os.unlink(arm)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        try:
            os.unlink(archive)
        except FileNotFoundError:
            continue
        open(done, "w").close()
        break
PY
scanner=$!
status=0
"$VM_WINE" 'C:\e2e\install_e2e_test.exe' --gtest_color=no || status=$?
kill "$scanner" 2>/dev/null || true
exit $status
