# Sourced by the scripts that run Win32 code under Wine. Every value can be overridden from the
# environment, so that several builds and test runs can live side by side on one machine
# (their own build folder, Wine prefix and virtual display each).
VM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VM_ROOT
export VM_BUILD_DIR=${VM_BUILD_DIR:-$VM_ROOT/build/x64}
export VM_WINE_DIR=${VM_WINE_DIR:-$VM_ROOT/build/wine}
export WINEPREFIX=${VM_WINEPREFIX:-$VM_WINE_DIR/prefix}
# Wine links the user folders (Desktop, Documents, ...) into $HOME: keep them in a scratch folder.
export HOME=$VM_WINE_DIR/home
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Unix desktop entries for shortcuts, no Mono or Gecko installer prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}
# Code page 936 needs the zh_CN.UTF-8 locale.
export LC_ALL=zh_CN.UTF-8
export VM_DISPLAY=${VM_DISPLAY:-:77}
export DISPLAY=$VM_DISPLAY
export VM_WINE=/usr/lib/wine/wine64
export VM_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$VM_WINESERVER" ] || VM_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export VM_WINESERVER
