#!/usr/bin/env bash
# Load and fault run of the rich-edit service (x86_64 build, under Wine), on 127.89.64.254 only:
# by default 100,000 requests: a flood of posts while the service's host plays an install (its GUI
# thread dispatching messages 10 ms in every 50), posts while its GUI thread dispatches nothing for
# 8 s, and a mix of valid GETs and POSTs with malformed requests, lying and oversized
# Content-Lengths, half-closed clients and clients that never read, beside three clients that hold
# the service until its allowances end. Prints requests answered, closed unanswered and timed out,
# the worst latency of a valid GET, peak memory, threads at rest and at the end, and processor time
# while idle afterwards (tests/richedit/load_client.js). Not a test: the full run takes minutes.
#
#   scripts/load-richedit.sh [requests]      (default 100000)
#
# Uses VM_BUILD_DIR, VM_WINE_DIR and VM_DISPLAY like the other scripts; starts the Wine session if
# it is not running and stops it again afterwards in that case.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
requests=${1:-100000}
cd "$root"

[ -f "$VM_BUILD_DIR/build.ninja" ] || cmake --preset x64 -B "$VM_BUILD_DIR" >/dev/null
if ! build_log=$(cmake --build "$VM_BUILD_DIR" --target richedit_service_host 2>&1); then
  echo "$build_log"
  exit 1
fi

pid_file=$VM_WINE_DIR/xvfb-${VM_DISPLAY#:}.pid
session_started=
if ! { [ -f "$pid_file" ] && kill -0 "$(cat "$pid_file")" 2>/dev/null; }; then
  "$root/scripts/wine-session.sh" start
  session_started=1
fi

state=$(mktemp -d)
mkfifo "$state/commands"
# Held open here so that the host's standard input stays open between commands.
exec 3<>"$state/commands"
"$VM_WINE" "$VM_BUILD_DIR/tests/richedit/richedit_service_host.exe" --count-only \
  <"$state/commands" >"$state/host.out" 2>&1 &
host_pid=$!
cleanup() {
  echo quit >&3 2>/dev/null || true
  for _ in $(seq 30); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$host_pid" 2>/dev/null || true
  wait "$host_pid" 2>/dev/null || true
  exec 3>&-
  rm -rf "$state"
  if [ -n "$session_started" ]; then "$root/scripts/wine-session.sh" stop; fi
}
trap cleanup EXIT

for _ in $(seq 100); do grep -q '^port ' "$state/host.out" && break; sleep 0.1; done
read -r _ port _ element < <(grep '^port ' "$state/host.out" | tr -d '\r')
[ -n "${port:-}" ] || { echo "the service did not start:"; cat "$state/host.out"; exit 1; }
echo "== Service on 127.89.64.254:$port (process $host_pid), $requests requests"

status=0
node "$root/tests/richedit/load_client.js" 127.89.64.254 "$port" "$element" "$host_pid" \
  "$state/commands" "$state/host.out" "$requests" || status=$?
if ! kill -0 "$host_pid" 2>/dev/null; then
  echo "the host process is gone:"
  cat "$state/host.out"
  status=1
fi
exit $status
