#!/usr/bin/env bash
# Configures and builds one preset: scripts/build.sh [x64|i686] (default x64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-x64}
build_dir=${VM_BUILD_DIR:-$root/build/$preset}
cd "$root"
# Configured every time (a few seconds when nothing changed), so that a tree configured before the
# preset gained a setting gets it too instead of building what the preset no longer describes.
# A toolchain file newer than the cache (another compiler, say) needs a fresh configuration: CMake
# keeps the compiler it found first.
fresh=()
if [ -f "$build_dir/CMakeCache.txt" ] && [ -n "$(find cmake -name 'toolchain-*.cmake' -newer "$build_dir/CMakeCache.txt")" ]; then
  fresh=(--fresh)
fi
cmake --preset "$preset" -B "$build_dir" "${fresh[@]}" >/dev/null
cmake --build "$build_dir"
