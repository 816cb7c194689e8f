#!/usr/bin/env bash
# Prints the installer's figures as a person meets them, on the virtual display under Wine:
#   - time from process start to the window on screen;
#   - time from the install click to process exit on the demo package, next to its floor (10 ms of
#     message processing per archive entry plus the raw extraction time measured in the same run);
#   - processor seconds the installer used during the install (its message processing busy-waits).
#
#   scripts/bench-installer.sh [runs]      (default 3)
#
# Uses its own Wine prefix (build/wine-bench unless VM_WINE_DIR is set) and display (:91 unless
# VM_DISPLAY is set).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export VM_WINE_DIR=${VM_WINE_DIR:-$root/build/wine-bench} VM_DISPLAY=${VM_DISPLAY:-:91}
source "$root/scripts/wine-env.sh"
source "$root/scripts/wine-prefix-lib.sh"  # vm_wait_for_window
runs=${1:-3}
cd "$root"
[ -f "$VM_BUILD_DIR/build.ninja" ] || cmake --preset x64 -B "$VM_BUILD_DIR" >/dev/null
cmake --build "$VM_BUILD_DIR" --target VelmoraSetup installer_extract_bench >/dev/null
"$root/scripts/wine-session.sh" start
trap '"$root/scripts/wine-session.sh" stop' EXIT

exe="$VM_BUILD_DIR/installer/VelmoraSetup.exe"
package=$(sed -n 's/^VM_PACKAGE_ZIP:[A-Z]*=//p' "$VM_BUILD_DIR/CMakeCache.txt")
entries=$(unzip -Z1 "$package" | wc -l)
source "$VM_BUILD_DIR/installer/installer_layout.sh"  # written with VelmoraSetup
title=$layout_title
ticks=$(getconf CLK_TCK)
cpu_of() { awk -v t="$ticks" '{ printf "%.2f", ($14 + $15) / t }' "/proc/$1/stat" 2>/dev/null; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

echo "== Raw extraction of the package (ExtractArchive, no message processing)"
"$VM_WINE" "$VM_BUILD_DIR/tests/installer/installer_extract_bench.exe" "Z:${package//\//\\}" 3 | tr -d '\r' | tee /tmp/vm-bench-extract.txt
raw_ms=$(awk '/ExtractArchive/ { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9.]+$/ && $(i+1) == "ms") { print $i; exit } }' /tmp/vm-bench-extract.txt)
raw_ms=${raw_ms:-0}

echo "== Installer runs ($runs), package of $entries entries"
for run in $(seq "$runs"); do
  "$VM_WINESERVER" -k 2>/dev/null || true; "$VM_WINESERVER" -w 2>/dev/null || true  # the product left running
  "$VM_WINESERVER" -p </dev/null >/dev/null 2>&1
  start=$(now_ms)
  "$VM_WINE" "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  window=
  until window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) && [ -n "$window" ]; do sleep 0.02; done
  shown=$(now_ms)
  # The window ignores the mouse until its show transition has ended.
  vm_wait_for_window "$title" "$layout_window_w" "$layout_window_h"
  xdotool mousemove $((X + layout_installButton_cx)) $((Y + layout_installButton_cy)); sleep 0.2
  cpu_before=$(cpu_of "$pid")
  xdotool mousedown 1 mouseup 1
  clicked=$(now_ms)
  cpu_last=$cpu_before
  while [ -d "/proc/$pid" ] && ! grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null; do
    cpu_last=$(cpu_of "$pid" || echo "$cpu_last"); sleep 0.05
  done
  ended=$(now_ms)
  wait "$pid" || true
  floor=$(awk -v n="$entries" -v r="$raw_ms" 'BEGIN { printf "%.0f", n * 10 + r }')
  install_ms=$((ended - clicked))
  printf 'run %d: window on screen %d ms after start; install click to exit %d ms; floor %d ms (%d x 10 ms + %s ms); ratio %.2f; CPU during install %.2f s\n' \
    "$run" $((shown - start)) "$install_ms" "$floor" "$entries" "$raw_ms" \
    "$(awk -v a="$install_ms" -v b="$floor" 'BEGIN { print a / b }')" \
    "$(awk -v a="$cpu_last" -v b="$cpu_before" 'BEGIN { print a - b }')"
done
