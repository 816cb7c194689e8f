#!/usr/bin/env bash
# Prints the window layer's figures on the virtual display (x86_64 build under Wine): one full
# RebuildSurfaces and one layered Present of a 500 × 200 window with shadow, and the frame time of
# the flip transition (effect 9), each as the median of many runs.
#
#   scripts/bench-window.sh [runs]      (default 200)
#
# Uses VM_BUILD_DIR, VM_WINE_DIR and VM_DISPLAY like the other scripts. Starts the Wine session if
# it is not running and stops it again afterwards in that case.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
runs=${1:-200}
cd "$root"

[ -f "$VM_BUILD_DIR/build.ninja" ] || cmake --preset x64 -B "$VM_BUILD_DIR" >/dev/null
cmake --build "$VM_BUILD_DIR" --target toolkit_window_bench >/dev/null

pid_file=$VM_WINE_DIR/xvfb-${VM_DISPLAY#:}.pid
if ! { [ -f "$pid_file" ] && kill -0 "$(cat "$pid_file")" 2>/dev/null; }; then
  "$root/scripts/wine-session.sh" start
  trap '"$root/scripts/wine-session.sh" stop' EXIT
fi

echo "== Window layer (x86_64 under Wine, Xvfb $VM_DISPLAY)"
"$VM_WINE" "$VM_BUILD_DIR/tests/toolkit/window/toolkit_window_bench.exe" "$runs" | tr -d '\r'
