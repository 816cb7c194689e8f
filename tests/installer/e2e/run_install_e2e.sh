#!/usr/bin/env bash
# Runs the install job end to end in a Wine prefix made fresh for this run, with its own
# wineserver, so that nothing from an earlier run (registry, files, shortcuts) can count:
#   run_install_e2e.sh <install_e2e_test.exe> <install_harness.exe> <install_test_helper.exe>
# The programs are copied into C:\e2e of the new prefix and the test runs from there.
set -euo pipefail
source "$(dirname "$0")/../../../scripts/wine-env.sh"
source "$VM_ROOT/scripts/wine-prefix-lib.sh"

test_exe=$1 harness_exe=$2 helper_exe=$3
vm_use_fresh_prefix "$VM_WINE_DIR/install-e2e"

work=$WINEPREFIX/drive_c/e2e
mkdir -p "$work"
cp "$test_exe" "$work/install_e2e_test.exe"
cp "$harness_exe" "$work/install_harness.exe"
cp "$helper_exe" "$work/install_test_helper.exe"
"$VM_WINE" 'C:\e2e\install_e2e_test.exe' --gtest_color=no
