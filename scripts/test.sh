#!/usr/bin/env bash
# Sets everything up, builds the x86_64 tests and the shipped i686 installer, and runs every test
# under Wine. Extra arguments go to ctest (for example: scripts/test.sh -R extract).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"
"$root/scripts/build.sh" x64
if [ -z "${VM_SKIP_I686:-}" ]; then
  VM_BUILD_DIR= "$root/scripts/build.sh" i686
fi

"$root/scripts/wine-session.sh" start
trap '"$root/scripts/wine-session.sh" stop' EXIT
cd "$VM_BUILD_DIR"
ctest --output-on-failure -j1 --timeout 600 "$@"
