#!/usr/bin/env bash
# The installer as a person uses it: the real VelmoraSetup.exe in a Wine prefix made fresh for this
# run (its own wineserver), on the virtual display, pressed and dragged with real mouse input.
#   run_window_e2e.sh <VelmoraSetup.exe> <window_probe.exe> <window_remote.exe> <screenshot folder>
#                     <installer_layout.sh>
# Screenshots of the window before and during the install are kept in the screenshot folder. Where
# to click and where to look comes from installer_layout.sh, written at build time from the table
# the installer builds its window from (installer/installer_layout.h).
set -euo pipefail
source "$(dirname "$0")/../../../scripts/wine-env.sh"
source "$VM_ROOT/scripts/wine-prefix-lib.sh"

setup_exe=$1 probe_exe=$2 remote_exe=$3 shots=$4
source "$5"
title=$layout_title
failures=0 checks=0

vm_use_fresh_prefix "$VM_WINE_DIR/window-e2e"
mkdir -p "$shots"
work=$WINEPREFIX/drive_c/e2e
mkdir -p "$work"
cp "$setup_exe" "$work/VelmoraSetup.exe"
cp "$probe_exe" "$work/window_probe.exe"
cp "$remote_exe" "$work/window_remote.exe"
install_dir="$WINEPREFIX/drive_c/Program Files/Velmora"

check() {  # check <description> <command...>
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# eventually <command...>: the command succeeds within 10 s.
eventually() { local _; for _ in $(seq 50); do "$@" && return 0; sleep 0.2; done; return 1; }

installer_pid=
start_installer() {
  "$VM_WINE" 'C:\e2e\VelmoraSetup.exe' </dev/null >/dev/null 2>&1 &
  installer_pid=$!
}
launch() {
  start_installer
  vm_wait_for_window "$title" "$layout_window_w" "$layout_window_h" || { echo "FAILED: the installer window did not appear"; exit 1; }
  wx=$X wy=$Y
}
# Waits up to 10 s for the window to be larger than the layout's window (its flip is running) and
# sets X, Y, WIDTH and HEIGHT to that larger rectangle.
wait_for_flip() {
  local window geometry
  for _ in $(seq 500); do
    window=$(xdotool search --name "^$title\$" 2>/dev/null | tail -n 1 || true)
    geometry=$([ -z "$window" ] || xdotool getwindowgeometry --shell "$window" 2>/dev/null || true)
    if [ -n "$geometry" ]; then
      eval "$geometry"
      [ "$WIDTH" -gt "$layout_window_w" ] && [ "$HEIGHT" -gt "$layout_window_h" ] && return 0
    fi
    sleep 0.02
  done
  return 1
}
installer_window() { xdotool search --name "^$title\$" 2>/dev/null | tail -n 1; }
# window_remote: closes as other programs and the system do; what it saw is in C:\e2e\<file>.
remote() { "$VM_WINE" 'C:\e2e\window_remote.exe' "$title" "$@" </dev/null >/dev/null 2>&1; }
remote_said() { tr -d '\r' <"$work/$1"; }

# Sets `code` to the installer's exit code once it ends, waiting at most $1 seconds (124 when it is
# still running then). Runs in this shell: only the shell that started the installer can reap it.
wait_exit() {
  code=124
  for _ in $(seq $(($1 * 10))); do
    if [ ! -d "/proc/$installer_pid" ] || grep -q '^State:.*Z' "/proc/$installer_pid/status" 2>/dev/null; then
      wait "$installer_pid" && code=0 || code=$?
      return
    fi
    sleep 0.1
  done
}

# An installer that a failed check left running holds the single-instance guard: end it, so the
# next case can launch.
end_if_running() { [ "$code" != 124 ] || { kill "$installer_pid" 2>/dev/null || true; wait_exit 5; }; }

shot() { import -window root "$1"; }
# The window alone, shadow included, for the README.
crop_window() { convert "$1" -crop "$((layout_window_w + 10))x$((layout_window_h + 10))+$((wx - 5))+$((wy - 5))" +repage "$2"; }
# pixel <png> <x> <y> (window coordinates) → "r g b"
pixel() {
  convert "$1" -format "%[fx:int(255*p{$((wx + $2)),$((wy + $3))}.r)] %[fx:int(255*p{$((wx + $2)),$((wy + $3))}.g)] %[fx:int(255*p{$((wx + $2)),$((wy + $3))}.b)]" info:
}
is_background() { [ "$(pixel "$1" "$2" "$3")" = "$layout_background" ]; }
is_blue() { read -r r g b <<<"$(pixel "$1" "$2" "$3")"; [ "$b" -gt 150 ] && [ "$b" -gt $((r + 80)) ]; }
is_orange() { read -r r g b <<<"$(pixel "$1" "$2" "$3")"; [ "$r" -gt 180 ] && [ "$b" -lt 90 ] && [ "$((r - g))" -gt 60 ]; }
is_light() { read -r r g b <<<"$(pixel "$1" "$2" "$3")"; [ $((r + g + b)) -gt 450 ]; }
# Orange pixels of the progress fill along the track's middle row.
fill_width() {
  convert "$1" -crop "${layout_progressTrack_w}x1+$((wx + layout_progressTrack_x))+$((wy + layout_progressTrack_cy))" +repage txt:- |
    awk -F'[(),]' 'NR > 1 && $3 + 0 > 150 && $4 + 0 < 120 && $5 + 0 < 60 { n++ } END { print n + 0 }'
}
# Any pixel in a rectangle that is not the background? region_plain <png> <x> <y> <w> <h>
region_plain() {
  [ "$(convert "$1" -crop "$4x$5+$((wx + $2))+$((wy + $3))" +repage -unique-colors -format '%w' info:)" = 1 ] &&
    is_background "$1" "$2" "$3"
}
# The light cross of the close button somewhere on its diagonal.
close_cross_shown() {
  local d
  for d in $(seq 6 24); do is_light "$1" $((layout_closeButton_x + d)) $((layout_closeButton_y + d)) && return 0; done
  return 1
}
# The light "Velmora" wordmark of the logo along its middle row.
logo_shown() {
  local x
  for x in $(seq $((layout_logo_cx - 5)) 2 $((layout_logo_cx + 75))); do is_light "$1" "$x" $((layout_logo_cy - 1)) && return 0; done
  return 1
}
# The green status text along the status line's middle row. Green, not the light blue where the
# install button's white label meets its blue.
status_shown() {
  local x r g b
  for x in $(seq $((layout_statusLabel_cx - 100)) 2 $((layout_statusLabel_cx + 100))); do
    read -r r g b <<<"$(pixel "$1" "$x" "$layout_statusLabel_cy")"
    [ "$g" -gt 150 ] && [ "$r" -lt 170 ] && [ "$b" -lt 100 ] && return 0
  done
  return 1
}
# Blue pixels of the install button, left and right of its label.
install_button_shown() {
  is_blue "$1" $((layout_installButton_x + 27)) $((layout_installButton_y + 15)) ||
    is_blue "$1" $((layout_installButton_x + 27)) $((layout_installButton_y + 40)) ||
    is_blue "$1" $((layout_installButton_x + 217)) $((layout_installButton_y + 40))
}
# The orange marker box just above its percentage text, for a fill `fill` pixels wide.
marker_over_fill() {
  is_orange "$1" $((layout_marker_left[0] - layout_fill_width[0] + $2 + layout_progressMarker_w / 2)) $((layout_progressMarker_y + 7))
}
click_at() { xdotool mousemove "$((wx + $1))" "$((wy + $2))"; sleep 0.2; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; }

# ---- 0. A close that comes while the opening flip runs plays from the window's own place ----------
# The flip's largest picture is the window enlarged once, never the enlarged rectangle enlarged
# again. On the first launch in the prefix, where the flip takes longest.
# window_remote looks for the window before it exists, so that it sees the flip from its start. How
# long the flip runs depends on the machine (about 37 timer frames): when it was over before the
# close went out, the next launch tries again with a shorter wait.
flip=
for delay in 250 120 40; do
  rm -f "$work/close-in-flip.txt"
  remote close-in-flip 'C:\e2e\close-in-flip.txt' "$layout_window_w" "$layout_window_h" "$delay" & remote_pid=$!
  sleep 2
  start_installer
  wait "$remote_pid" && sent=0 || sent=$?
  [ "$sent" = 0 ] || remote close 'C:\e2e\close-after-flip.txt'  # the flip was missed: close it all the same
  wait_exit 20
  flip=$(remote_said close-in-flip.txt 2>/dev/null || echo "window_remote failed with $sent")
  check "a close during the flip ($delay ms in): exit code 0 (got $code)" [ "$code" = 0 ]
  [[ "$flip" == flip_seen=1* ]] && break
done
check "a close during the flip animates within the flip's picture ($flip)" bash -c \
  "[[ '$flip' =~ flip_seen=1\ flip_w=([0-9]+)\ flip_h=([0-9]+)\ max_w=([0-9]+)\ max_h=([0-9]+) ]] &&
   [ \${BASH_REMATCH[3]} -le \${BASH_REMATCH[1]} ] && [ \${BASH_REMATCH[4]} -le \${BASH_REMATCH[2]} ]"

# ---- 1. Ready: logo, install button and close button on the dark background, nothing else ------
launch
shot "$shots/installer-ready.png"
s="$shots/installer-ready.png"
crop_window "$s" "$shots/window-ready.png"
check "dark background around the elements" is_background "$s" $(((layout_dragArea_x + layout_logo_x) / 2)) "$layout_dragArea_cy"
check "logo drawn (light wordmark)" logo_shown "$s"
check "install button drawn (blue)" is_blue "$s" $((layout_installButton_x + 27)) $((layout_installButton_y + 15))
check "close button drawn (light cross)" close_cross_shown "$s"
# The status line is drawn in front of the install button: its green text along its middle row.
check "no status line before install" eval "! status_shown '$s'"
# The marker's first place and the track's left part, below the status line.
below_status=$((layout_statusLabel_y + layout_statusLabel_h))
check "no progress track or marker before install" region_plain "$s" "$layout_progressTrack_x" "$below_status" 120 $((layout_progressTrack_y + layout_progressTrack_h + 2 - below_status))
# The busy indicator's place between the logo and the install button.
below_logo=$((layout_logo_y + layout_logo_h))
check "no busy indicator before install" region_plain "$s" "$layout_busyIndicator_x" "$below_logo" "$layout_busyIndicator_w" $((layout_installButton_y - below_logo))

# ---- 2. A second launch while the first is open ends at once with exit code 0 -------------------
start=$(date +%s%N)
"$VM_WINE" 'C:\e2e\VelmoraSetup.exe' </dev/null >/dev/null 2>&1 && second=0 || second=$?
elapsed=$((($(date +%s%N) - start) / 1000000))
check "second launch ends with exit code 0 (${elapsed} ms)" [ "$second" = 0 ]
check "still one installer window" [ "$(xdotool search --name "^$title\$" | wc -l)" = 1 ]

# ---- 3. Dragging the area around the logo moves the window -----------------------------------------
# The logo lets the mouse through to the drag area below it.
old_x=$wx old_y=$wy drag_x=$((layout_logo_x + 4)) drag_y=$((layout_logo_y + 20))
xdotool mousemove "$((wx + drag_x))" "$((wy + drag_y))"; sleep 0.3
xdotool mousedown 1; sleep 0.2
for step in 1 2 3 4 5 6; do xdotool mousemove "$((wx + drag_x + 10 * step))" "$((wy + drag_y + 5 * step))"; sleep 0.1; done
xdotool mouseup 1; sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name "^$title\$" | tail -n 1)")"
check "dragging by the logo area moved the window (from $old_x,$old_y to $X,$Y)" [ "$X" -ne "$old_x" -o "$Y" -ne "$old_y" ]
wx=$X wy=$Y
off_window_y=$((layout_window_h + 100))
xdotool mousemove "$((wx + layout_window_w / 2))" "$((wy + off_window_y))"; sleep 0.3  # off the window

# ---- 4. Press on install, move off, release elsewhere: nothing is installed ----------------------
xdotool mousemove "$((wx + layout_installButton_cx))" "$((wy + layout_installButton_cy))"; sleep 0.3
xdotool mousedown 1; sleep 0.2
xdotool mousemove "$((wx + layout_installButton_cx))" "$((wy + off_window_y))"; sleep 0.2   # straight off the window
xdotool mouseup 1; sleep 2
check "release away from the install button installs nothing" [ ! -e "$install_dir" ]
check "the installer is still running" kill -0 "$installer_pid"

# ---- 5. Press elsewhere, release over the install button: the install runs ----------------------
"$VM_WINE" 'C:\e2e\window_probe.exe' "$title" 'C:\e2e\probe.txt' </dev/null >/dev/null 2>&1 &
probe_pid=$!
sleep 0.5
xdotool mousemove "$((wx + layout_blankPicture_cx))" "$((wy + layout_blankPicture_y + 15))"; sleep 0.3   # the blank picture above the button
xdotool mousedown 1; sleep 0.1
xdotool mousemove "$((wx + layout_installButton_cx))" "$((wy + layout_installButton_cy))"; sleep 0.1
xdotool mouseup 1
# While the job runs every system close is refused: the window stays and the install goes on.
sleep 0.3
xdotool key --window "$(installer_window)" alt+F4
remote close 'C:\e2e\close-installing.txt' & close_pids=$!
remote syscommand-close 'C:\e2e\syscommand-installing.txt' & close_pids="$close_pids $!"
remote endsession 'C:\e2e\session-installing.txt' & close_pids="$close_pids $!"
wait $close_pids || true
check "closes while installing: the installer still runs after them" kill -0 "$installer_pid"
check "closes while installing: the end of the session is refused ($(remote_said session-installing.txt))" \
  [ "$(remote_said session-installing.txt)" = "asked=1 query=0 ended=0" ]
widths=()
for i in $(seq 1 12); do
  sleep 0.25
  shot "$shots/during-$i.png"
  widths+=("$(fill_width "$shots/during-$i.png")")
done
echo "progress fill widths during the install: ${widths[*]}"
grew=0 last=0 last_shot=
for i in "${!widths[@]}"; do
  w=${widths[$i]}
  if [ "$w" -gt "$last" ] && [ "$last" -gt 2 ]; then grew=1; fi
  if [ "$w" -gt 10 ] && [ "$w" -lt $((layout_progressTrack_w - 6)) ]; then last_shot=$i; fi
  last=$w
done
check "the progress fill grows during extraction" [ "$grew" = 1 ]
if [ -n "$last_shot" ]; then
  s="$shots/during-$((last_shot + 1)).png"
  crop_window "$s" "$shots/window-installing.png"
  w=${widths[$last_shot]}
  check "the percentage marker stands over the fill's end (fill $w)" marker_over_fill "$s" "$w"
  check "the status line is shown" status_shown "$s"
  # The button's blue left and right of its label, where neither the status line nor the busy
  # indicator (both in front of it) is drawn.
  check "no install button while installing" eval "! install_button_shown '$s'"
  check "no close button while installing" region_plain "$s" "$layout_closeButton_x" "$layout_closeButton_y" "$layout_closeButton_w" "$layout_closeButton_h"
fi
wait_exit 120
check "the installer ends with exit code 0 after installing (got $code)" [ "$code" = 0 ]
wait "$probe_pid" 2>/dev/null || true
probe=$(cat "$work/probe.txt" 2>/dev/null || echo "answered=0 unanswered=1")
echo "window responsiveness during the install: $probe"
check "the window answered messages throughout the install" bash -c "[[ '$probe' =~ answered=([0-9]+)\ unanswered=0 ]] && [ \${BASH_REMATCH[1]} -ge 20 ]"
check "package extracted into Program Files\\Velmora" [ -f "$install_dir/Velmora.exe" -a -f "$install_dir/Auxiliary/Tarnlink.exe" -a -f "$install_dir/使用说明.txt" ]
check "no install.zip left" [ ! -e "$install_dir/install.zip" ]
check "$(find "$install_dir" | wc -l) paths installed (232 entries and the folder)" [ "$(find "$install_dir" | wc -l)" -ge 233 ]
check "desktop and Start-menu shortcuts" [ "$(find "$WINEPREFIX/drive_c/users" -name '*.lnk' | wc -l)" -ge 4 ]
# The product writes its start into its log on its own time, after the installer has ended.
check "the product was started" eventually bash -c "grep -q '^Velmora ' '$WINEPREFIX'/drive_c/users/*/AppData/Roaming/Velmora/demo-starts.log 2>/dev/null"
check "uninstall entry written" bash -c "'$VM_WINE' reg query 'HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora' /v DisplayVersion 2>/dev/null | grep -q 1.6.3.5"
check "URL protocol registered" bash -c "'$VM_WINE' reg query 'HKCU\\Velmora' /v 'URL protocol' >/dev/null 2>&1"

# ---- 6. Folder creation blocked: the failure display, then the close button ends it ----------------
vm_stop_server  # ends the product the install started
"$VM_WINESERVER" -p </dev/null >/dev/null 2>&1
rm -rf "$install_dir"
echo "a file where the install folder should be" > "$install_dir"
launch
click_at "$layout_installButton_cx" "$layout_installButton_cy"
sleep 4
s="$shots/installer-failed.png"
shot "$s"
crop_window "$s" "$shots/window-failed.png"
check "failure: the installer stays open" kill -0 "$installer_pid"
check "failure: the bar stands at 1 % (${layout_fill_width[1]} pixels)" [ "$(fill_width "$s")" = "${layout_fill_width[1]}" ]
check "failure: the close button is visible again" close_cross_shown "$s"
check "failure: no install button" eval "! install_button_shown '$s'"
check "failure: the marker is at the bar's start" marker_over_fill "$s" "${layout_fill_width[1]}"
click_at "$layout_closeButton_cx" "$layout_closeButton_cy"
wait_exit 20
check "close button: the process ends with exit code 0 (got $code)" [ "$code" = 0 ]

# ---- 6b. Extraction fails: one move onto the close button and one click end it -------------------
# The install button's press ran the whole job inside its handler; nothing it leaves behind may
# swallow the next click. The archive is extracted in its own order, and "docs/" comes late: a
# file put in that folder's place once "install.zip" is there makes the extraction fail.
extraction_failure() {  # extraction_failure <screenshot>: launch, install, wait for the failure display
  rm -rf "$install_dir"
  launch
  click_at "$layout_installButton_cx" "$layout_installButton_cy"
  for _ in $(seq 2000); do [ -e "$install_dir/install.zip" ] && break; sleep 0.01; done
  echo "a file where the docs folder goes" >"$install_dir/docs"
  for _ in $(seq 100); do
    shot "$1"
    [ "$(fill_width "$1")" = "${layout_fill_width[99]}" ] && close_cross_shown "$1" && break
    sleep 0.2
  done
}
# The pointer crosses the drag area from where it stands onto the close button, in steps as a hand
# moves it (a jump would give the drag area no move at all), and one click.
one_move_one_click() {
  local m_X m_Y to_x=$((wx + layout_closeButton_cx)) to_y=$((wy + layout_closeButton_cy)) step
  eval "$(xdotool getmouselocation --shell | sed -n 's/^\([XY]\)=/m_\1=/p')"
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove "$((m_X + (to_x - m_X) * step / 8))" "$((m_Y + (to_y - m_Y) * step / 8))"; sleep 0.05
  done
  sleep 0.3
  xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
}
s="$shots/installer-extraction-failed.png"
extraction_failure "$s"
check "extraction failure: the bar stands at 99 % (${layout_fill_width[99]} pixels)" [ "$(fill_width "$s")" = "${layout_fill_width[99]}" ]
check "extraction failure: the close button is visible again" close_cross_shown "$s"
check "extraction failure: the status line is shown" status_shown "$s"
check "extraction failure: the installer stays open" kill -0 "$installer_pid"
one_move_one_click
wait_exit 10
check "extraction failure: one move and one click on close end it, exit code 0 (got $code)" [ "$code" = 0 ]
end_if_running

# The same after a drag by the logo area: the system's move loop swallows the button-up.
s="$shots/installer-extraction-failed-dragged.png"
extraction_failure "$s"
check "extraction failure again: the bar stands at 99 %" [ "$(fill_width "$s")" = "${layout_fill_width[99]}" ]
drag_by_logo() {  # presses on the logo, moves 60 to the right and 30 down, releases; sets wx, wy anew
  local x=$((wx + layout_logo_x + 4)) y=$((wy + layout_logo_y + 20)) step
  xdotool mousemove "$x" "$y"; sleep 0.3
  xdotool mousedown 1; sleep 0.2
  for step in 1 2 3 4 5 6; do xdotool mousemove "$((x + 10 * step))" "$((y + 5 * step))"; sleep 0.1; done
  xdotool mouseup 1; sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$(installer_window)")"
  wx=$X wy=$Y
}
old_x=$wx
drag_by_logo
check "extraction failure: the logo area dragged the window (from x $old_x to $wx)" [ "$wx" -ne "$old_x" ]
one_move_one_click
wait_exit 10
check "after a drag: one move and one click on close end it, exit code 0 (got $code)" [ "$code" = 0 ]
end_if_running

# ---- 7. Close from the ready state ----------------------------------------------------------------
rm -rf "$install_dir"
launch
click_at "$layout_closeButton_cx" "$layout_closeButton_cy"
wait_exit 20
check "close button in the ready state: exit code 0 (got $code)" [ "$code" = 0 ]
check "the window is gone" [ -z "$(xdotool search --name "^$title\$" 2>/dev/null)" ]
check "closing installed nothing" [ ! -e "$install_dir" ]

# ---- 8. A click during the opening flip reaches no element --------------------------------------
# The flip draws the window enlarged around its place while the elements keep their home places: a
# click on the left part of the logo as drawn there would, at the same client point of the home
# layout, land in the install button.
start_installer
# Not on the flip's very first frames: Wine may still be replacing the X window then, and a click
# would reach no window at all.
if wait_for_flip && sleep 0.1 && wait_for_flip; then
  home_x=$((X + (WIDTH - layout_window_w) / 2)) home_y=$((Y + (HEIGHT - layout_window_h) / 2))
  xdotool mousemove $((home_x + layout_logo_x + 4)) $((home_y + layout_logo_y + 20)) click 1
  eval "$(xdotool getwindowgeometry --shell "$(installer_window)")"
  check "the click came while the flip ran (window ${WIDTH}x$HEIGHT after it)" [ "$WIDTH" -gt "$layout_window_w" ]
  xdotool mousemove "$((home_x + layout_window_w / 2))" "$((home_y + layout_window_h + 100))"  # off the window
  vm_wait_for_window "$title" "$layout_window_w" "$layout_window_h" || { echo "FAILED: the installer window did not settle"; exit 1; }
  wx=$X wy=$Y
  sleep 1
  check "a click during the flip installs nothing" [ ! -e "$install_dir" ]
  check "a click during the flip leaves the installer running" kill -0 "$installer_pid"
else
  check "the opening flip is seen (the window larger than ${layout_window_w}x$layout_window_h)" false
  vm_wait_for_window "$title" "$layout_window_w" "$layout_window_h" || { echo "FAILED: the installer window did not appear"; exit 1; }
  wx=$X wy=$Y
fi
click_at "$layout_closeButton_cx" "$layout_closeButton_cy"
wait_exit 20
rm -rf "$install_dir"  # what a click that reached the install button would have installed

# ---- 9. Every other way of closing the ready window ends the process as the close button does -----
# Each close is followed by a launch that must show its window: a process left without one would
# keep the single-instance guard and turn the launch away.
close_ready() {  # close_ready <description> <command...>
  launch
  "${@:2}"
  wait_exit 20
  check "$1 in the ready state: exit code 0 (got $code)" [ "$code" = 0 ]
  check "$1: the window is gone" [ -z "$(installer_window)" ]
}
close_ready "Alt+F4" eval 'xdotool key --window "$(installer_window)" alt+F4'
# The taskbar's "Close window" sends WM_SYSCOMMAND SC_CLOSE. (`xdotool windowclose` is no stand-in
# under Wine: it destroys the X window only, and no message reaches the program.)
close_ready "the taskbar's close (SC_CLOSE)" remote syscommand-close 'C:\e2e\syscommand-ready.txt'
close_ready "WM_CLOSE from another program" remote close 'C:\e2e\close-ready.txt'
close_ready "the end of the logon session" remote endsession 'C:\e2e\session-ready.txt'
check "the end of the logon session was agreed to ($(remote_said session-ready.txt))" [ "$(remote_said session-ready.txt)" = "asked=1 query=1 ended=1" ]

launch
check "a launch after all these closes shows its window" [ -n "$(installer_window)" ]
click_at "$layout_closeButton_cx" "$layout_closeButton_cy"
wait_exit 20
check "and its close button ends it: exit code 0 (got $code)" [ "$code" = 0 ]

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
