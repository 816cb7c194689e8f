#!/usr/bin/env bash
# Prints the rich-edit service's figures (x86_64 build, run under Wine): requests per second and
# latency for GET /web/jquery from a loopback load generator (node) over 10 seconds, and the
# processor time the service's process uses while one connection stays idle, next to the same
# span with no connection at all.
#
#   scripts/bench-richedit.sh [seconds] [clients]      (default 10 seconds, 1 client)
#
# Uses VM_BUILD_DIR, VM_WINE_DIR and VM_DISPLAY like the other scripts. Starts the Wine session if
# it is not running and stops it again afterwards in that case.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
seconds=${1:-10}
clients=${2:-1}
idle_seconds=4  # below the service's 5 s idle allowance
cd "$root"

[ -f "$VM_BUILD_DIR/build.ninja" ] || cmake --preset x64 -B "$VM_BUILD_DIR" >/dev/null
if ! build_log=$(cmake --build "$VM_BUILD_DIR" --target toolkit_richedit_service_host 2>&1); then
  echo "$build_log"
  exit 1
fi

pid_file=$VM_WINE_DIR/xvfb-${VM_DISPLAY#:}.pid
session_started=
if ! { [ -f "$pid_file" ] && kill -0 "$(cat "$pid_file")" 2>/dev/null; }; then
  "$root/scripts/wine-session.sh" start
  session_started=1
fi

host_output=$(mktemp)
"$VM_WINE" "$VM_BUILD_DIR/tests/toolkit/richedit/toolkit_richedit_service_host.exe" >"$host_output" 2>&1 &
host_pid=$!
cleanup() {
  kill "$host_pid" 2>/dev/null || true
  wait "$host_pid" 2>/dev/null || true
  rm -f "$host_output"
  if [ -n "$session_started" ]; then "$root/scripts/wine-session.sh" stop; fi
}
trap cleanup EXIT

for _ in $(seq 100); do grep -q '^port ' "$host_output" && break; sleep 0.1; done
port=$(awk '/^port /{print $2}' "$host_output" | tr -d '\r')
[ -n "$port" ] || { echo "the service did not start:"; cat "$host_output"; exit 1; }
echo "== Service on 127.89.64.254:$port (process $host_pid)"

# utime + stime of the service's process, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$host_pid/stat"; }
hz=$(getconf CLK_TCK)
used_ms=0
measured() {  # runs "$@"; used_ms is then the service's processor time meanwhile
  local before after
  before=$(cpu_ticks)
  "$@"
  after=$(cpu_ticks)
  used_ms=$(((after - before) * 1000 / hz))
}
hold_idle_connection() {
  node -e '
    const socket = require("net").connect(Number(process.argv[1]), "127.89.64.254");
    socket.on("error", () => {});
    setTimeout(() => { socket.destroy(); }, Number(process.argv[2]) * 1000);
  ' "$port" "$idle_seconds"
}

echo "== GET /web/jquery for $seconds s"
measured node "$root/tests/toolkit/richedit/bench_client.js" 127.89.64.254 "$port" /web/jquery \
  "$seconds" "$clients"
echo "service processor time under load: $used_ms ms"

echo "== Service processor time over $idle_seconds s"
sleep 1
measured sleep "$idle_seconds"
echo "no connection:            $used_ms ms"
measured hold_idle_connection
echo "one idle connection open: $used_ms ms"
