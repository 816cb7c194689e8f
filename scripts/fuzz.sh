#!/usr/bin/env bash
# Runs the fuzz drivers of the native build (tests/fuzz) for as long as asked, one after another,
# under the address and undefined-behaviour sanitizers:
#
#   scripts/fuzz.sh [--seconds S] [--seed K] [driver...]
#
# S seconds each (default 60), random seed K (default: the time, printed so a run can be
# repeated); the drivers named (skin_database entry_name http_request http_text
# registry_item_path wide_text), or all. A crash, a failed check or a sanitizer report stops the
# run with a failure; the input is saved as fuzz-crash-<driver>.bin in build/native/fuzz-runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
seed=$(date +%s)
drivers=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) drivers+=("$1"); shift ;;
  esac
done
[ ${#drivers[@]} -gt 0 ] || drivers=(skin_database entry_name http_request http_text registry_item_path wide_text)

VM_BUILD_DIR= "$root/scripts/build.sh" native >/dev/null
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
runs="$root/build/native/fuzz-runs"
mkdir -p "$runs"
cd "$runs"
echo "fuzz: ${seconds} s each, seed $seed"
for driver in "${drivers[@]}"; do
  program="$root/build/native/tests/native/fuzz/fuzz_$driver"
  [ -x "$program" ] || { echo "fuzz: no driver $driver" >&2; exit 2; }
  "$program" --seeds "$root/tests/fuzz/seeds/$driver" --seconds "$seconds" --seed "$seed"
done
