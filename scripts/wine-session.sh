#!/usr/bin/env bash
# start: make the scratch Wine prefix if it is missing, start a virtual X display and a persistent
#        wineserver (both detached from the caller's pipes, so ctest does not wait on them).
# stop:  stop the wineserver (it writes the registry files out) and the virtual display.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/wine-prefix-lib.sh"

display_number=${VM_DISPLAY#:}
xvfb_pid_file=$VM_WINE_DIR/xvfb-$display_number.pid

start_display() {
  if [ -f "$xvfb_pid_file" ] && kill -0 "$(cat "$xvfb_pid_file")" 2>/dev/null; then return; fi
  rm -f "/tmp/.X$display_number-lock" "/tmp/.X11-unix/X$display_number"
  Xvfb "$VM_DISPLAY" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! > "$xvfb_pid_file"
  for _ in $(seq 50); do xdpyinfo -display "$VM_DISPLAY" >/dev/null 2>&1 && return; sleep 0.1; done
  echo "wine-session: Xvfb on $VM_DISPLAY did not come up" >&2; exit 1
}

make_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return
  echo "wine-session: creating Wine prefix $WINEPREFIX"
  mkdir -p "$HOME" "$WINEPREFIX"
  "$VM_WINE" wineboot -i </dev/null >/dev/null 2>&1
  "$VM_WINESERVER" -w
  vm_finish_prefix
}

case "${1:-}" in
  start)
    mkdir -p "$VM_WINE_DIR"
    start_display
    make_prefix
    "$VM_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    "$VM_WINE" wineboot </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    "$VM_WINESERVER" -k 2>/dev/null || true
    "$VM_WINESERVER" -w 2>/dev/null || true
    if [ -f "$xvfb_pid_file" ]; then kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true; rm -f "$xvfb_pid_file"; fi
    ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
