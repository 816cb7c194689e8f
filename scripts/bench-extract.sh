#!/usr/bin/env bash
# Prints the extractor's figures: ExtractArchive on the package next to a plain zlib inflate of the
# same entries (x86_64 build, run under Wine), and the bytes the installer adds to its package
# (the shipped i686 VelmoraSetup.exe minus package.zip).
#
#   scripts/bench-extract.sh [repetitions]      (default 5)
#
# Uses VM_BUILD_DIR, VM_WINE_DIR and VM_DISPLAY like the other scripts; the i686 build folder is
# VM_I686_BUILD_DIR (default build/i686). Starts the Wine session if it is not running and stops it
# again afterwards in that case.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
repetitions=${1:-5}
i686_dir=${VM_I686_BUILD_DIR:-$root/build/i686}
cd "$root"

cache_value() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"; }

[ -f "$VM_BUILD_DIR/build.ninja" ] || cmake --preset x64 -B "$VM_BUILD_DIR" >/dev/null
cmake --build "$VM_BUILD_DIR" --target installer_extract_bench vm_package_zip >/dev/null

pid_file=$VM_WINE_DIR/xvfb-${VM_DISPLAY#:}.pid
if ! { [ -f "$pid_file" ] && kill -0 "$(cat "$pid_file")" 2>/dev/null; }; then
  "$root/scripts/wine-session.sh" start
  trap '"$root/scripts/wine-session.sh" stop' EXIT
fi

package=$(cache_value "$VM_BUILD_DIR" VM_PACKAGE_ZIP)
echo "== Extraction (x86_64 under Wine)"
"$VM_WINE" "$VM_BUILD_DIR/tests/installer/installer_extract_bench.exe" "Z:${package//\//\\}" "$repetitions" | tr -d '\r'

echo "== Installer size (i686)"
[ -f "$i686_dir/build.ninja" ] || cmake --preset i686 -B "$i686_dir" >/dev/null
cmake --build "$i686_dir" --target VelmoraSetup >/dev/null
exe="$i686_dir/installer/VelmoraSetup.exe"
zip=$(cache_value "$i686_dir" VM_PACKAGE_ZIP)
exe_size=$(stat -c %s "$exe")
zip_size=$(stat -c %s "$zip")
echo "VelmoraSetup.exe:                        $exe_size bytes"
echo "package.zip:                             $zip_size bytes"
if [ "$exe_size" -lt "$zip_size" ]; then
  # Nothing refers to the package yet, so the linker left it out: the program is all installer.
  echo "added by the installer:                  $exe_size bytes (package not linked in yet)"
else
  echo "added by the installer:                  $((exe_size - zip_size)) bytes"
fi
