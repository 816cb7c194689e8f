#!/usr/bin/env bash
# Proves that the suite catches faults: applies each seeded fault of tests/seeded_faults/*.patch to
# the product code, one at a time, rebuilds, runs the tests that should catch it, and restores the
# tree (always: also when a step fails or the run is interrupted). Prints a table: fault, caught or
# not, by which test. Not part of the test command (it rebuilds once per fault).
#
#   scripts/check-tests-catch.sh [pattern...]     only the patches whose file name holds a pattern
#
# Each patch starts with two lines before the diff:
#   Fault: <what the patch breaks>
#   Tests: <test>...   each "native:<ctest name>" (build/native) or "x64:<ctest name>" (under Wine)
# Every named test first runs on the unchanged tree and must pass there. A fault counts as caught
# when at least one of its tests fails with it applied. A patch that no longer applies to the tree
# (the code it changes has moved on) is reported as such, and counts as a failure of the run, as
# does a fault that no test catches.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source "$root/scripts/wine-env.sh"
native_dir="$root/build/native"
x64_dir="$VM_BUILD_DIR"
log_dir="$root/build/seeded-faults"
mkdir -p "$log_dir"

patches=()
for patch in "$root"/tests/seeded_faults/*.patch; do
  name=$(basename "$patch" .patch)
  if [ $# -gt 0 ]; then
    keep=
    for pattern in "$@"; do [[ "$name" == *"$pattern"* ]] && keep=1; done
    [ -n "$keep" ] || continue
  fi
  patches+=("$patch")
done
[ ${#patches[@]} -gt 0 ] || { echo "check-tests-catch: no seeded faults selected" >&2; exit 2; }

field() { sed -n "s/^$2: *//p" "$1" | head -n 1; }

# ---- Restoring the tree -------------------------------------------------------------------------
applied=
restore() {
  if [ -n "$applied" ]; then
    if git apply -R "$applied"; then
      echo "check-tests-catch: restored the tree ($(basename "$applied"))" >&2
    else
      echo "check-tests-catch: COULD NOT RESTORE the tree: reverse $applied by hand" >&2
    fi
    applied=
  fi
}
wine_started=
finish() {
  restore
  [ -n "$wine_started" ] && "$root/scripts/wine-session.sh" stop >/dev/null 2>&1
}
trap finish EXIT
trap 'echo "check-tests-catch: interrupted" >&2; exit 130' INT TERM HUP

# ---- Building and running -----------------------------------------------------------------------
build() {  # build <native|x64> <log> [target...]: the native tree whole, in the x64 tree the targets
  local which=$1 log=$2
  shift 2
  if [ "$which" = native ]; then
    VM_BUILD_DIR= "$root/scripts/build.sh" native >>"$log" 2>&1
  else
    # The test programs named (each ctest name is its program's target), not the whole tree.
    [ -f "$x64_dir/build.ninja" ] || cmake --preset x64 -B "$x64_dir" >>"$log" 2>&1 || return 1
    cmake --build "$x64_dir" --target "$@" >>"$log" 2>&1
  fi
}
x64_targets() {  # x64_targets <tests...>: the x64 ctest names among them
  local test
  for test in "$@"; do [[ "$test" == x64:* ]] && echo "${test#x64:}"; done | sort -u
}
run_test() {  # run_test <native|x64> <ctest name> <log>: 0 when it passes
  local dir=$native_dir
  [ "$1" = x64 ] && dir=$x64_dir
  (cd "$dir" && ctest --output-on-failure --timeout 900 -R "^$2\$") >>"$3" 2>&1 || return 1
  # A name that selects no test is not a pass.
  grep -q "100% tests passed, 0 tests failed out of 1" "$3" || return 1
}

all_tests=()
for patch in "${patches[@]}"; do
  all_tests+=($(field "$patch" Tests))
done
needs_x64=$(x64_targets "${all_tests[@]}")
if ! build native "$log_dir/baseline-build.log"; then
  echo "check-tests-catch: the unchanged tree does not build natively (see $log_dir/baseline-build.log)" >&2
  exit 2
fi
if [ -n "$needs_x64" ]; then
  if ! build x64 "$log_dir/baseline-build.log" $needs_x64; then
    echo "check-tests-catch: the unchanged tree does not build (see $log_dir/baseline-build.log)" >&2
    exit 2
  fi
  "$root/scripts/wine-session.sh" start >/dev/null && wine_started=1
fi

# Every named test must pass before a fault is seeded.
declare -A baseline
for patch in "${patches[@]}"; do
  for test in $(field "$patch" Tests); do
    [ -n "${baseline[$test]:-}" ] && continue
    log="$log_dir/baseline-${test//:/-}.log"
    : >"$log"
    if run_test "${test%%:*}" "${test#*:}" "$log"; then baseline[$test]=pass; else baseline[$test]=FAIL; fi
    echo "baseline $test: ${baseline[$test]}"
  done
done

rows=()
failures=0
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  fault=$(field "$patch" Fault)
  tests=$(field "$patch" Tests)
  log="$log_dir/$name.log"
  : >"$log"
  start=$SECONDS
  if [ -z "$fault" ] || [ -z "$tests" ]; then
    rows+=("$name|$fault|NO FAULT OR TESTS LINE|")
    failures=$((failures + 1))
    continue
  fi
  if ! git apply --check "$patch" >>"$log" 2>&1; then
    rows+=("$name|$fault|PATCH DOES NOT APPLY|$(head -n 1 "$log")")
    failures=$((failures + 1))
    echo "$name: the patch no longer applies (see $log)"
    continue
  fi
  git apply "$patch" && applied=$patch
  caught=()
  passed=()
  broken=
  if grep -q "native:" <<<"$tests" && ! build native "$log"; then
    broken="native build failed"
  elif grep -q "x64:" <<<"$tests" && ! build x64 "$log" $(x64_targets $tests); then
    broken="x64 build failed"
  fi
  if [ -z "$broken" ]; then
    for test in $tests; do
      if [ "${baseline[$test]}" != pass ]; then
        passed+=("$test(fails unchanged)")
      elif run_test "${test%%:*}" "${test#*:}" "$log"; then
        passed+=("$test")
      else
        caught+=("$test")
      fi
    done
  fi
  restore
  if [ -n "$broken" ]; then
    rows+=("$name|$fault|PATCH BREAKS THE BUILD|$broken")
    failures=$((failures + 1))
  elif [ ${#caught[@]} -gt 0 ]; then
    rows+=("$name|$fault|caught|${caught[*]}")
  else
    rows+=("$name|$fault|NOT CAUGHT|passed: ${passed[*]}")
    failures=$((failures + 1))
  fi
  echo "$name: ${rows[-1]#*|*|} ($((SECONDS - start)) s)"
done

# The binaries again from the unchanged sources.
build native "$log_dir/final-build.log" || echo "check-tests-catch: rebuilding the native tree failed" >&2
[ -n "$needs_x64" ] && { build x64 "$log_dir/final-build.log" $needs_x64 || echo "check-tests-catch: rebuilding failed" >&2; }

echo
printf '| %-3s | %-58s | %-11s | %s\n' "#" "Fault" "Result" "Caught by"
printf '|-----|%s|-------------|------\n' "------------------------------------------------------------"
for row in "${rows[@]}"; do
  IFS='|' read -r name fault result by <<<"$row"
  printf '| %-3s | %-58s | %-11s | %s\n' "${name%%-*}" "$fault" "$result" "$by"
done
echo
echo "check-tests-catch: ${#rows[@]} seeded faults, $((${#rows[@]} - failures)) caught, $failures not"
[ "$failures" -eq 0 ]
