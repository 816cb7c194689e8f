# Shared steps for the project's Wine prefixes and windows. Sourced after wine-env.sh.

vm_stop_server() { "$VM_WINESERVER" -k 2>/dev/null || true; "$VM_WINESERVER" -w 2>/dev/null || true; }

# Finishes a new $WINEPREFIX: its user folders are links into $HOME, so they become real folders of
# the prefix (nothing a test writes leaves it), and it gets the font names the toolkit asks for.
vm_finish_prefix() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
  done
  VM_WINEPREFIX=$WINEPREFIX "$VM_ROOT/scripts/wine-fonts.sh" >/dev/null
}

# Makes a prefix fresh under <root> for one test run, with its own persistent wineserver, and
# starts the virtual display when none runs. Both are stopped when the calling script exits, so a
# run never sees what an earlier one left behind.
vm_use_fresh_prefix() {
  local root=$1
  export WINEPREFIX=$root/prefix HOME=$root/home
  # A server left over from an interrupted run would serve the deleted prefix.
  if [ -d "$WINEPREFIX" ]; then vm_stop_server; fi
  rm -rf "$root"
  mkdir -p "$HOME" "$WINEPREFIX"
  vm_own_xvfb=
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    vm_own_xvfb=$!
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  trap 'vm_stop_server; [ -z "$vm_own_xvfb" ] || kill "$vm_own_xvfb" 2>/dev/null || true' EXIT
  # The server and Wine's helper processes started by the prefix's creation are detached from the
  # caller's pipes (ctest waits for those to close).
  "$VM_WINESERVER" -p </dev/null >/dev/null 2>&1
  "$VM_WINE" wineboot -i </dev/null >/dev/null 2>&1
  vm_finish_prefix
}

# Waits up to 15 s for the top-level window titled <title>, lets its show transition finish and
# sets X, Y, WIDTH and HEIGHT to its place on the screen. Answers 1 when no such window appears.
# With <width> <height> (the window's own size) it also waits, up to 10 s more, until the window
# has that size: a transition that draws around the window makes it larger while it runs, and the
# window ignores the mouse until it ends.
vm_wait_for_window() {
  local title=$1 width=${2:-} height=${3:-} window= geometry=
  for _ in $(seq 150); do
    window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || return 1
  sleep 1.5
  # Wine may replace the X window while the show transition runs: look it up again.
  for _ in $(seq 50); do
    window=$(xdotool search --name "^$title\$" 2>/dev/null | tail -n 1 || true)
    geometry=$(xdotool getwindowgeometry --shell "$window" 2>/dev/null || true)
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  [ -n "$geometry" ] || return 1
  eval "$geometry"
  [ -n "$width" ] || return 0
  for _ in $(seq 100); do
    [ "$WIDTH" = "$width" ] && [ "$HEIGHT" = "$height" ] && return 0
    sleep 0.1
    window=$(xdotool search --name "^$title\$" 2>/dev/null | tail -n 1 || true)
    geometry=$([ -z "$window" ] || xdotool getwindowgeometry --shell "$window" 2>/dev/null || true)
    [ -z "$geometry" ] || eval "$geometry"
  done
  return 1
}
