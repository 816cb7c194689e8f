#!/usr/bin/env bash
# Prints the installer's figures as a person meets them, on the virtual display under Wine, each as
# a ratio against its floor measured in the same run (medians of the runs, min-max in brackets):
#   - process start to the window on screen, against a minimal Win32 program that shows a
#     500 x 200 window (tests/installer/minimal_window_bench.cpp), started the same way;
#   - install click to process exit on the demo package, against 10 ms of message processing per
#     archive entry + raw ExtractArchive of the same package + the product's start until
#     WaitForInputIdle returns (tests/installer/extract_bench.cpp --product-start). Every run is a
#     first install, as the floor's extraction into a fresh folder is: the previous run's install
#     folder is removed before the run starts. What a reinstall adds, removing the earlier folder,
#     is printed beside it (the extractor bench's RemoveFolderTree of the same package's files);
#   - processor use of the ready window left alone for 10 s, and during the install;
#   - peak resident memory during the install (VmHWM of the Wine process) next to the package size;
#   - where the time goes: the benchmark build (preset x64-bench, -DVM_BENCH_MARKS=ON) writes a time
#     stamp at every stage of start-up and of the install job (common/bench_marks.h); each stage is
#     printed as its offset from the process start or from the click.
#
#   scripts/bench-installer.sh [runs]      (default 5)
#
# Builds build/x64-bench (VM_BUILD_DIR overrides it); uses its own Wine prefix (build/wine-bench
# unless VM_WINE_DIR is set) and display (:91 unless VM_DISPLAY is set). Prints; never fails on a
# figure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export VM_BUILD_DIR=${VM_BUILD_DIR:-$root/build/x64-bench}
export VM_WINE_DIR=${VM_WINE_DIR:-$root/build/wine-bench} VM_DISPLAY=${VM_DISPLAY:-:91}
source "$root/scripts/wine-env.sh"
source "$root/scripts/wine-prefix-lib.sh"  # vm_wait_for_window
runs=${1:-5}
cd "$root"
[ -f "$VM_BUILD_DIR/build.ninja" ] || cmake --preset x64-bench -B "$VM_BUILD_DIR" >/dev/null
cmake --build "$VM_BUILD_DIR" --target VelmoraSetup installer_extract_bench installer_minimal_window_bench >/dev/null
"$root/scripts/wine-session.sh" start
trap '"$root/scripts/wine-session.sh" stop' EXIT

exe="$VM_BUILD_DIR/installer/VelmoraSetup.exe"
minimal="$VM_BUILD_DIR/tests/installer/installer_minimal_window_bench.exe"
package=$(sed -n 's/^VM_PACKAGE_ZIP:[A-Z]*=//p' "$VM_BUILD_DIR/CMakeCache.txt")
entries=$(unzip -Z1 "$package" | wc -l)
source "$VM_BUILD_DIR/installer/installer_layout.sh"  # written with VelmoraSetup
title=$layout_title
ticks=$(getconf CLK_TCK)
out="$VM_BUILD_DIR/bench-installer"
rm -rf "$out"; mkdir -p "$out"
cpu_of() { awk -v t="$ticks" '{ printf "%.3f", ($14 + $15) / t }' "/proc/$1/stat" 2>/dev/null; }
hwm_of() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
fresh_server() {  # every start begins with a fresh wineserver, as a person's first start does
  "$VM_WINESERVER" -k 2>/dev/null || true; "$VM_WINESERVER" -w 2>/dev/null || true
  "$VM_WINESERVER" -p </dev/null >/dev/null 2>&1
}
figure() { echo "$1 $2" >>"$out/figures.txt"; }  # one figure of one run

echo "== Floors: raw extraction of the package and the product's start ($runs repetitions)"
"$VM_WINE" "$VM_BUILD_DIR/tests/installer/installer_extract_bench.exe" "Z:${package//\//\\}" "$runs" --product-start \
  | tr -d '\r' | tee "$out/extract.txt"
median_ms() { awk -v label="$1" 'index($0, label) == 1 { for (i = 1; i <= NF; i++) if ($(i+1) == "ms") { print $i; exit } }' "$out/extract.txt"; }
raw_ms=$(median_ms "ExtractArchive, files on disk:"); raw_ms=${raw_ms:-0}
product_ms=$(median_ms "product start until WaitForInputIdle:"); product_ms=${product_ms:-0}
floor_install=$(awk -v n="$entries" -v r="$raw_ms" -v p="$product_ms" 'BEGIN { printf "%.0f", n * 10 + r + p }')
# The same work as the install's algorithm really runs it: the extraction with PumpMessagesFor(10)
# after every report (the loop ends on the first tick past the 10 ms), no window.
pumped_ms=$(median_ms "extraction with the installer's pumping:"); pumped_ms=${pumped_ms:-0}
pump_each=$(sed -n 's/.*, \([0-9.]*\) ms a report$/\1/p' "$out/extract.txt")
floor_pumped=$(awk -v e="$pumped_ms" -v p="$product_ms" 'BEGIN { printf "%.0f", e + p }')

echo "== Floor of the start-up: a minimal Win32 window ($runs runs)"
for run in $(seq "$runs"); do
  fresh_server
  start=$(now_ms)
  "$VM_WINE" "$minimal" </dev/null >/dev/null 2>&1 &
  pid=$!
  until [ -n "$(xdotool search --onlyvisible --name '^Velmora bench minimal window$' 2>/dev/null | head -n 1)" ]; do sleep 0.01; done
  figure minimal_window_ms $(($(now_ms) - start))
  kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
done

install_folder="$WINEPREFIX/drive_c/Program Files/Velmora"
echo "== Installer runs ($runs), package of $entries entries, each a first install"
for run in $(seq "$runs"); do
  fresh_server  # also ends the product the previous run started
  rm -rf "$install_folder"
  marks="$out/marks-$run.txt"
  start=$(now_ms)
  VM_BENCH_MARKS_FILE="Z:${marks//\//\\}" "$VM_WINE" "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  until [ -n "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)" ]; do sleep 0.01; done
  shown=$(now_ms)
  # The window ignores the mouse until its show transition has ended.
  vm_wait_for_window "$title" "$layout_window_w" "$layout_window_h"
  idle_before=$(cpu_of "$pid"); sleep 10; idle_after=$(cpu_of "$pid")
  xdotool mousemove $((X + layout_installButton_cx)) $((Y + layout_installButton_cy)); sleep 0.2
  cpu_before=$(cpu_of "$pid")
  clicked=$(now_ms)
  xdotool mousedown 1 mouseup 1
  cpu_last=$cpu_before; hwm=0
  while [ -d "/proc/$pid" ] && ! grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null; do
    # A process that has just ended reads as empty (a zombie has no VmHWM): keep the last reading.
    reading=$(cpu_of "$pid" || true); [ -z "$reading" ] || cpu_last=$reading
    reading=$(hwm_of "$pid" || true); [ -z "$reading" ] || hwm=$reading
    sleep 0.02
  done
  ended=$(now_ms)
  wait "$pid" || true
  install_ms=$((ended - clicked))
  figure start_to_window_ms $((shown - start))
  figure install_click_to_exit_ms "$install_ms"
  figure idle_cpu_percent "$(awk -v a="$idle_after" -v b="$idle_before" 'BEGIN { printf "%.2f", (a - b) / 10 * 100 }')"
  figure install_cpu_s "$(awk -v a="$cpu_last" -v b="$cpu_before" 'BEGIN { printf "%.2f", a - b }')"
  figure peak_resident_MB "$(awk -v k="${hwm:-0}" 'BEGIN { printf "%.1f", k / 1024 }')"
  # The stages, from the marks of this run (microseconds since 1970, process id, stage).
  awk -v start="$start" -v clicked="$clicked" -v ended="$ended" '
    function ms(us) { return us / 1000 }
    {
      t = ms($1); $1 = ""; $2 = ""; stage = substr($0, 3)
      if (stage ~ /^(process|toolkit|window):/ && !(stage in seen)) { seen[stage] = 1; printf "startup %s|%.1f\n", stage, t - start }
      if (stage == "present: transition frame") { if (!frames++) printf "startup first frame presented|%.1f\n", t - start; lastFrame = t; if (frames > 1) gaps += t - prevFrame; prevFrame = t }
      if (stage == "transition: finished" && !finished++) printf "startup show transition finished|%.1f\n", t - start
      if (stage ~ /^job:/) printf "install %s|%.1f\n", stage, t - clicked
      if (stage == "job: archive written") lastPumped = t
      if (stage == "progress: report") { if (lastPumped) work += t - lastPumped; report = t; reports++ }
      if (stage == "progress: drawn") drawing += t - report
      if (stage == "progress: pumped") { pumping += t - drawnAt; lastPumped = t }
      if (stage == "progress: drawn") drawnAt = t
      if (stage == "job: extracted") { extracted = 1; lastPumped = 0 }
    }
    END {
      printf "startup transition frames|%d\n", frames
      if (frames > 1) printf "startup mean time between transition frames|%.1f\n", gaps / (frames - 1)
      printf "install progress reports|%d\n", reports
      printf "install extraction work between reports (sum)|%.1f\n", work
      printf "install progress drawing (sum)|%.1f\n", drawing
      printf "install message processing after reports (sum)|%.1f\n", pumping
      printf "install process exit|%.1f\n", ended - clicked
    }' "$marks" | tr -d '\r' >"$out/stages-$run.txt"
  printf 'run %d: window on screen %d ms after start; install click to exit %d ms; idle CPU %s %%; install CPU %s s; peak RSS %s MB\n' \
    "$run" $((shown - start)) "$install_ms" "$(tail -n 3 "$out/figures.txt" | sed -n 1p | cut -d' ' -f2)" \
    "$(tail -n 2 "$out/figures.txt" | sed -n 1p | cut -d' ' -f2)" "$(tail -n 1 "$out/figures.txt" | cut -d' ' -f2)"
done

# median (min-max) of every figure over the runs
summary() {  # summary KEY FILE SEPARATOR
  awk -F"$3" -v key="$1" '$1 == key { print $2 }' "$2" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) printf "%s (%s-%s)", v[int((NR + 1) / 2)], v[1], v[NR]; else printf "-" }'
}
med() { summary "$1" "$out/figures.txt" ' ' | cut -d' ' -f1; }

echo
echo "== Figures: median (min-max) of $runs runs, each against its floor from this run"
start_ms=$(med start_to_window_ms); minimal_ms=$(med minimal_window_ms)
install_med=$(med install_click_to_exit_ms)
printf '%-52s %s ms\n' "process start -> window on screen:" "$(summary start_to_window_ms "$out/figures.txt" ' ')"
printf '%-52s %s ms\n' "  floor, minimal Win32 500 x 200 window:" "$(summary minimal_window_ms "$out/figures.txt" ' ')"
printf '%-52s %s (target <= 1.5)\n' "  ratio (medians):" "$(awk -v a="$start_ms" -v b="$minimal_ms" 'BEGIN { printf "%.2f", a / b }')"
printf '%-52s %s ms\n' "install click -> process exit:" "$(summary install_click_to_exit_ms "$out/figures.txt" ' ')"
printf '%-52s %s ms (%d x 10 ms + %s ms extraction + %s ms product start)\n' "  floor:" "$floor_install" "$entries" "$raw_ms" "$product_ms"
printf '%-52s %s (target <= 1.15)\n' "  ratio (medians):" "$(awk -v a="$install_med" -v b="$floor_install" 'BEGIN { printf "%.2f", a / b }')"
printf '%-52s %s ms (extraction with the 10 ms pumping, %s ms a report, no window + product start)\n' \
  "  the same work as the algorithm runs it:" "$floor_pumped" "${pump_each:-?}"
printf '%-52s %s\n' "  ratio against that (medians):" "$(awk -v a="$install_med" -v b="$floor_pumped" 'BEGIN { printf "%.2f", a / b }')"
printf '%-52s %s ms more (removing the earlier folder)\n' "  a reinstall over the same package:" "$(median_ms "removing the extracted folder")"
printf '%-52s %s %% of one core (target < 1)\n' "ready window left alone for 10 s:" "$(summary idle_cpu_percent "$out/figures.txt" ' ')"
printf '%-52s %s s\n' "processor time during the install:" "$(summary install_cpu_s "$out/figures.txt" ' ')"
printf '%-52s %s MB; package %s bytes\n' "peak resident memory during the install (VmHWM):" \
  "$(summary peak_resident_MB "$out/figures.txt" ' ')" "$(stat -c %s "$package")"

echo
echo "== Where the time goes (benchmark build's marks): median (min-max) ms"
cat "$out"/stages-*.txt >"$out/stages.txt"
awk -F'|' '!seen[$1]++ { print $1 }' "$out/stages-1.txt" | while read -r key; do
  printf '  %-58s %s\n' "${key#* }" "$(summary "$key" "$out/stages.txt" '|')"
done
