#!/usr/bin/env bash
# Configures and builds one preset: scripts/build.sh [x64|i686] (default x64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-x64}
build_dir=${VM_BUILD_DIR:-$root/build/$preset}
cd "$root"
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake --preset "$preset" -B "$build_dir" >/dev/null
fi
cmake --build "$build_dir"
