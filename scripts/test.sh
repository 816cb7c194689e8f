#!/usr/bin/env bash
# Sets everything up; builds and runs the pure logic natively under the address and
# undefined-behaviour sanitizers (unit tests and bounded fuzz runs, ctest label "native", no Wine);
# then builds the x86_64 tests and the shipped i686 installer and runs every test under Wine. Extra
# arguments go to both ctest runs (for example: scripts/test.sh -R extract). VM_SKIP_NATIVE=1 skips
# the native run, VM_SKIP_I686=1 the i686 build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

if [ -z "${VM_SKIP_NATIVE:-}" ]; then
  VM_BUILD_DIR= "$root/scripts/build.sh" native
  (cd "$root/build/native" && ctest --output-on-failure -j2 --timeout 600 -L native "$@")
fi

source "$root/scripts/wine-env.sh"
"$root/scripts/build.sh" x64
if [ -z "${VM_SKIP_I686:-}" ]; then
  VM_BUILD_DIR= "$root/scripts/build.sh" i686
fi

"$root/scripts/wine-session.sh" start
trap '"$root/scripts/wine-session.sh" stop' EXIT
cd "$VM_BUILD_DIR"
ctest --output-on-failure -j1 --timeout 600 "$@"
