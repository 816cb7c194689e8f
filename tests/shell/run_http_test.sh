#!/usr/bin/env bash
# Runs the shell utility's HTTP test program under Wine against server.js on 127.0.0.1:
#   run_http_test.sh <shell_http_test.exe> [gtest arguments...]
# The server is started here, its port handed over in VM_HTTP_TEST_PORT, and stopped at the end.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
test_exe=$1
shift
state=$(mktemp -d)
node "$here/server.js" "$state/port" </dev/null >"$state/server.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; rm -rf "$state"' EXIT
for _ in $(seq 100); do [ -s "$state/port" ] && break; sleep 0.05; done
if [ ! -s "$state/port" ]; then
  echo "run_http_test: the test server did not start" >&2
  cat "$state/server.log" >&2
  exit 1
fi
export VM_HTTP_TEST_PORT
VM_HTTP_TEST_PORT=$(cat "$state/port")
"$here/../../scripts/wine-run" "$test_exe" "$@"
