#!/usr/bin/env bash
# The vendor's one command: checks a package, builds the shipped 32-bit installer around it, signs
# it when asked and says what it holds.
#
#   scripts/make-installer.sh PACKAGE [-o OUT.exe] [--sign CERT.pfx --password-file FILE [--timestamp URL]]
#
# PACKAGE is a folder or a ZIP archive. Every check runs before anything is built; a refused package
# leaves no installer behind and the exit code is 1. The build has a folder of its own
# (build/make-installer, or VM_INSTALLER_BUILD_DIR), so the developer's builds are never touched;
# only the installer is built there, and a later run with another package only re-embeds the package
# and links again. SOURCE_DATE_EPOCH, when set, is the time of every time field the installer holds;
# without it those fields hold no time, and the same package gives the same installer on every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

fail() { echo "make-installer: $*" >&2; exit 1; }
usage() {
  echo "usage: $0 PACKAGE [-o OUT.exe] [--sign CERT.pfx --password-file FILE [--timestamp URL]]" >&2
  exit 2
}

package= out=$PWD/VelmoraSetup.exe cert= password_file= timestamp_url=
while [ $# -gt 0 ]; do
  case "$1" in
    -o) [ $# -ge 2 ] || usage; out=$2; shift 2 ;;
    --sign) [ $# -ge 2 ] || usage; cert=$2; shift 2 ;;
    --password-file) [ $# -ge 2 ] || usage; password_file=$2; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp_url=$2; shift 2 ;;
    -*) usage ;;
    *) [ -z "$package" ] || usage; package=$1; shift ;;
  esac
done
[ -n "$package" ] || usage
if [ -n "$cert$password_file$timestamp_url" ]; then
  [ -n "$cert" ] && [ -n "$password_file" ] || fail "--sign and --password-file go together (--timestamp needs both)"
  [ -r "$cert" ] || fail "cannot read the certificate $cert"
  [ -r "$password_file" ] || fail "cannot read the password file $password_file"
  command -v osslsigncode >/dev/null || fail "osslsigncode is missing: run scripts/setup.sh"
fi
if [ -d "$package" ]; then
  form=--folder
elif [ -f "$package" ]; then
  form=--zip
else
  fail "no such folder or file: $package"
fi
package=$(realpath "$package")
out=$(realpath -m "$out")
[ -d "$(dirname "$out")" ] || fail "no such folder for the installer: $(dirname "$out")"
[ ! -d "$out" ] || fail "$out is a folder"
epoch=${SOURCE_DATE_EPOCH:-}
[[ "$epoch" =~ ^[0-9]*$ ]] || fail "SOURCE_DATE_EPOCH must be seconds since 1970, not \"$epoch\""

for tool in cmake ninja gcc g++ i686-w64-mingw32-g++-win32; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/setup.sh"
done
[ -f "$root/build/deps/minizip/unzip.c" ] || fail "the minizip sources are missing: run scripts/setup.sh"

build=${VM_INSTALLER_BUILD_DIR:-$root/build/make-installer}
mkdir -p "$build/package"
# Two runs in one build folder would build over each other.
exec 9>"$build/.lock"
flock -n 9 || fail "another make-installer run is using $build; wait for it or set VM_INSTALLER_BUILD_DIR"
partial="$out.part"
trap 'rm -f "$partial" "$partial.signed"' EXIT

# ---- 1. The checks, with the host tools alone (nothing of the installer is built yet) -----------
host="$build/host-tools"
if [ ! -f "$host/build.ninja" ]; then
  echo "make-installer: building the package tools"
  cmake -S "$root/tools" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release "-DVM_DEPS_DIR=$root/build/deps" \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >"$build/host-configure.log" 2>&1 ||
    { cat "$build/host-configure.log" >&2; fail "configuring the package tools failed"; }
fi
cmake --build "$host" >"$build/host-build.log" 2>&1 || { cat "$build/host-build.log" >&2; fail "building the package tools failed"; }

checked="$build/package/package.zip" fresh="$build/package/package.new.zip" summary="$build/package/summary.txt"
rm -f "$fresh" "$summary"
pack_args=(--out "$fresh" "$form" "$package" --summary "$summary")
[ -z "$epoch" ] || [ "$form" != --folder ] || pack_args+=(--time "$epoch")
if ! "$host/bin/pack_payload" "${pack_args[@]}"; then
  rm -f "$fresh"
  fail "the package was refused; no installer was built"
fi
# An unchanged package keeps its file, so the build has nothing to redo.
if cmp -s "$fresh" "$checked"; then rm -f "$fresh"; else mv -f "$fresh" "$checked"; fi

# ---- 2. The shipped i686 installer around the checked package -----------------------------------
[ -f "$build/build.ninja" ] || echo "make-installer: configuring the installer build in $build (the first build compiles everything)"
(cd "$root" && cmake --preset i686 -B "$build" "-DVM_PACKAGE=$checked" "-DVM_SOURCE_DATE_EPOCH=$epoch") \
  >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; fail "configuring the installer build failed"; }
echo "make-installer: building the installer"
cmake --build "$build" --target VelmoraSetup >"$build/build.log" 2>&1 ||
  { tail -n 40 "$build/build.log" >&2; fail "the build failed (the whole log: $build/build.log)"; }

cp "$build/installer/VelmoraSetup.exe" "$partial"
signed=no
if [ -n "$cert" ]; then
  sign_args=(--sign "$cert" --password-file "$password_file")
  [ -z "$timestamp_url" ] || sign_args+=(--timestamp "$timestamp_url")
  "$root/scripts/sign-installer.sh" "$partial" "$partial.signed" "${sign_args[@]}" || fail "no installer was written"
  mv -f "$partial.signed" "$partial"
  signed="yes: Authenticode, SHA-256, with $(basename "$cert")"
  [ -z "$timestamp_url" ] || signed+=", time-stamped by $timestamp_url"
fi
mv -f "$partial" "$out"

# ---- 3. What was built ----------------------------------------------------------------------------
grouped() { printf '%s' "$1" | sed -e ':a' -e 's/\([0-9]\)\([0-9]\{3\}\)\($\|,\)/\1,\2\3/' -e 'ta'; }
value() { sed -n "s/^$1 //p" "$summary"; }
files=$(value files) folders=$(value folders)
echo "make-installer: $out"
echo "  package      $package"
echo "  entries      $(grouped $((files + folders))) ($(grouped "$files") files, $(grouped "$folders") folders)"
echo "  packed       $(grouped "$(value packed)") bytes (the ZIP archive the installer carries)"
echo "  unpacked     $(grouped "$(value unpacked)") bytes"
label="largest"
while read -r size name; do
  printf '  %-12s %s bytes  %s\n' "$label" "$(grouped "$size")" "$name"
  label=
done < <(value largest)
echo "  size         $(grouped "$(stat -c %s "$out")") bytes"
echo "  SHA-256      $(sha256sum "$out" | cut -d' ' -f1)"
echo "  signed       $signed"
