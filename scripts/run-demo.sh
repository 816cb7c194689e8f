#!/usr/bin/env bash
# Sets everything up, builds the installer with its demo package and runs it under Wine.
#   With a display (DISPLAY set): the installer window appears; press its install button yourself.
#   Without one: it runs on a virtual display, the script presses install the way a person would
#   (mouse move, press, release over the button) and reports what was installed and where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" i686 >/dev/null   # the shipped 32-bit installer (cannot run on this kernel)
"$root/scripts/build.sh" x64 >/dev/null    # the same installer for x86_64, which Wine runs here

interactive=0
if [ -n "${DISPLAY:-}" ] && [ -z "${VM_DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  export VM_DISPLAY=$DISPLAY
fi
export VM_WINE_DIR=${VM_WINE_DIR:-$root/build/wine-demo}
source "$root/scripts/wine-env.sh"
source "$root/scripts/wine-prefix-lib.sh"
if [ "$interactive" = 1 ]; then
  # Keep the user's display running: only the wineserver is stopped at the end.
  mkdir -p "$VM_WINE_DIR"
  [ -f "$WINEPREFIX/system.reg" ] || "$root/scripts/wine-session.sh" start
  trap '"$VM_WINESERVER" -k 2>/dev/null || true' EXIT
else
  "$root/scripts/wine-session.sh" start
  trap '"$root/scripts/wine-session.sh" stop' EXIT
fi

installer="$VM_BUILD_DIR/installer/VelmoraSetup.exe"
echo "run-demo: starting $installer"
"$VM_WINE" "$installer" &
installer_pid=$!

# The window's title and the install button's place, from the table the installer is built from.
source "$VM_BUILD_DIR/installer/installer_layout.sh"
title=$layout_title
vm_wait_for_window "$title" "$layout_window_w" "$layout_window_h" || { echo "run-demo: the installer window did not appear" >&2; exit 1; }

if [ "$interactive" = 1 ]; then
  echo "run-demo: the installer window is open; press its install button"
else
  # The middle of the install button.
  bx=$((X + layout_installButton_cx)); by=$((Y + layout_installButton_cy))
  echo "run-demo: pressing install at ($bx, $by)"
  xdotool mousemove "$bx" "$by"; sleep 0.2
  xdotool mousemove $((bx + 1)) "$by" mousedown 1; sleep 0.1
  xdotool mouseup 1
fi

wait "$installer_pid" && status=0 || status=$?
echo "run-demo: the installer ended with exit code $status"

folder=$("$VM_WINE" cmd /c 'echo %ProgramFiles%\Velmora' 2>/dev/null | tr -d '\r')
unix_folder=$("$VM_WINE" winepath -u "$folder" 2>/dev/null | tr -d '\r')
echo "run-demo: install folder $folder ($unix_folder)"
if [ -d "$unix_folder" ]; then
  echo "  $(find "$unix_folder" -type f | wc -l) files, $(du -sh "$unix_folder" | cut -f1)"
  find "$unix_folder" -maxdepth 1 | sed "s|$unix_folder|  |" | sort | head -n 20
fi
echo "run-demo: shortcuts"
find "$WINEPREFIX/drive_c/users" -name '*.lnk' -newer "$installer" | sed 's|.*/drive_c/|  C:/|'
for key in 'HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Velmora' 'HKCR\Velmora' 'HKCU\Velmora'; do
  echo "run-demo: registry $key"
  "$VM_WINE" reg query "$key" /s 2>/dev/null | tr -d '\r' | sed -n '1,20p' | sed 's/^/  /' | iconv -f GBK -t UTF-8 2>/dev/null || true
done
exit "$status"
