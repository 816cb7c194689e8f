#!/usr/bin/env bash
# Runs the install job end to end in a Wine prefix made fresh for this run, with its own
# wineserver, so that nothing from an earlier run (registry, files, shortcuts) can count:
#   run_e2e.sh <install_e2e_test.exe> <install_harness.exe> <install_test_helper.exe>
# The programs are copied into C:\e2e of the new prefix and the test runs from there.
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"

test_exe=$1 harness_exe=$2 helper_exe=$3
root=$VM_WINE_DIR/install-e2e
export WINEPREFIX=$root/prefix
export HOME=$root/home

stop_server() { "$VM_WINESERVER" -k 2>/dev/null || true; "$VM_WINESERVER" -w 2>/dev/null || true; }

# A server left over from an interrupted run would serve the deleted prefix.
if [ -d "$WINEPREFIX" ]; then stop_server; fi
rm -rf "$root"
mkdir -p "$HOME" "$WINEPREFIX"

# The virtual display the message box and the product's window need.
own_xvfb=
if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  own_xvfb=$!
  for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
fi
cleanup() {
  stop_server
  if [ -n "$own_xvfb" ]; then kill "$own_xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT

# A persistent server of this prefix, and Wine's own helper processes started by the prefix's
# creation, all detached from the test runner's pipes.
"$VM_WINESERVER" -p </dev/null >/dev/null 2>&1
"$VM_WINE" wineboot -i </dev/null >/dev/null 2>&1
# The user folders are links into $HOME: make them real folders of the prefix.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
done

work=$WINEPREFIX/drive_c/e2e
mkdir -p "$work"
cp "$test_exe" "$work/install_e2e_test.exe"
cp "$harness_exe" "$work/install_harness.exe"
cp "$helper_exe" "$work/install_test_helper.exe"
"$VM_WINE" 'C:\e2e\install_e2e_test.exe' --gtest_color=no
