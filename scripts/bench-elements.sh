#!/usr/bin/env bash
# Element refresh costs in the installer's 500 x 200 layered window with its eleven elements
# (generated images), and the GDI objects held around 10,000 refreshes. Builds the x86_64 tree and
# runs the benchmark under Wine on the project's virtual display.
#   scripts/bench-elements.sh        (VM_BUILD_DIR, VM_WINE_DIR, VM_DISPLAY as for the tests)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
if [ ! -f "$VM_BUILD_DIR/build.ninja" ]; then
  cmake --preset x64 -B "$VM_BUILD_DIR" >/dev/null
fi
cmake --build "$VM_BUILD_DIR" --target toolkit_elements_bench >/dev/null

# Use a running session of this display, or start one and stop it again afterwards.
if ! xdpyinfo -display "$VM_DISPLAY" >/dev/null 2>&1; then
  "$root/scripts/wine-session.sh" start
  trap '"$root/scripts/wine-session.sh" stop' EXIT
fi
"$VM_WINE" "$VM_BUILD_DIR/tests/toolkit/elements/toolkit_elements_bench.exe"
