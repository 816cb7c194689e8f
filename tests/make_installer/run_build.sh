#!/usr/bin/env bash
# The vendor's command on the demo package, whole: the summary's figures against the ZIP archive the
# installer carries (check_installer.py), and the same installer, byte for byte, from two copies
# of the package folder with different file times and places. With SOURCE_DATE_EPOCH every time
# the installer holds is that time. Where the developer's i686 build is current (scripts/test.sh
# builds it), the command's installer must be that file exactly: the same output from another
# build folder.
#   run_build.sh <make-installer build folder> <demo package folder> <demo package ZIP>
# The first run compiles the i686 installer in the build folder; later runs embed and link only.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export VM_INSTALLER_BUILD_DIR=$1
build=$1 demo_folder=$2 demo_zip=$3
unset SOURCE_DATE_EPOCH
work=$(mktemp -d "${TMPDIR:-/tmp}/make-installer-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0 checks=0
check() {  # check <description> <command...>
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# The developer's i686 tree packs its own demo folder (i686 programs); when it is current, use that
# folder, so that both builds must agree.
i686_setup=$root/build/i686/installer/VelmoraSetup.exe
i686_folder=$root/build/i686/payload/demo/package
i686_zip=$root/build/i686/payload/package.zip
if [ -z "${VM_SKIP_I686:-}" ] && [ -f "$i686_setup" ] && [ -d "$i686_folder" ]; then
  demo_folder=$i686_folder demo_zip=$i686_zip
else
  i686_setup=
  echo "note: no current i686 build (VM_SKIP_I686 or none built): the comparison with it is left out"
fi
[ -d "$demo_folder" ] || { echo "FAILED: the demo package folder $demo_folder is missing"; exit 1; }

# Two copies in different places, with different file times.
cp -r "$demo_folder" "$work/copy-a"
mkdir -p "$work/elsewhere"
cp -r "$demo_folder" "$work/elsewhere/copy-b"
find "$work/copy-a" -exec touch -h -d '2001-02-03 04:05:06' {} +
find "$work/elsewhere/copy-b" -exec touch -h -d '2019-10-11 12:13:14' {} +

run() {  # run <package> <out.exe> <summary file>
  local start=$SECONDS
  "$root/scripts/make-installer.sh" "$1" -o "$2" >"$3" 2>&1 && code=0 || code=$?
  echo "make-installer.sh on $(basename "$1") took $((SECONDS - start)) s"
  [ "$code" = 0 ] || sed 's/^/    /' "$3"
  return "$code"
}

check "make-installer.sh builds from the first copy" run "$work/copy-a" "$work/a.exe" "$work/a.txt"
sed 's/^/    /' "$work/a.txt"
check "the summary's figures are the carried archive's, which is the demo package" \
  python3 "$here/check_installer.py" "$work/a.exe" "$work/a.txt" --package-zip "$demo_zip"
check "the summary says it is not signed" grep -q '^  signed *no$' "$work/a.txt"

# The second build links anew, so the comparison covers the link and the stamps, not only the package.
rm -f "$build/installer/VelmoraSetup.exe"
check "make-installer.sh builds from the second copy" run "$work/elsewhere/copy-b" "$work/b.exe" "$work/b.txt"
check "both copies give the same installer, byte for byte" cmp "$work/a.exe" "$work/b.exe"
if [ -n "$i686_setup" ]; then
  check "it is the developer's i686 build byte for byte (another build folder)" cmp "$work/a.exe" "$i686_setup"
fi

# SOURCE_DATE_EPOCH: the entry times, the PE and resource time stamps; again the same from both copies.
epoch=1700000000
export SOURCE_DATE_EPOCH=$epoch
check "with SOURCE_DATE_EPOCH=$epoch from the first copy" run "$work/copy-a" "$work/c.exe" "$work/c.txt"
check "every time it holds is $epoch" python3 "$here/check_installer.py" "$work/c.exe" "$work/c.txt" --epoch "$epoch"
rm -f "$build/installer/VelmoraSetup.exe"
check "with SOURCE_DATE_EPOCH=$epoch from the second copy" run "$work/elsewhere/copy-b" "$work/d.exe" "$work/d.txt"
unset SOURCE_DATE_EPOCH
check "both copies give the same installer again" cmp "$work/c.exe" "$work/d.exe"
check "and it differs from the one without a time" bash -c "! cmp -s '$work/a.exe' '$work/c.exe'"

# The stamp on a program with resources of its own (the installer's own are checked above once it
# has some): every resource directory gets the time, and stamping 0 again gives back the linker's
# file, whose checksum the linker computed.
printf '1 VERSIONINFO\nFILEVERSION 1,2,3,4\nBEGIN\nEND\n2 RCDATA { "data" }\n' > "$work/small.rc"
printf 'int main(void) { return 0; }\n' > "$work/small.c"
i686-w64-mingw32-windres "$work/small.rc" -O coff -o "$work/small-rc.o"
i686-w64-mingw32-gcc -s -Wl,--no-insert-timestamp "$work/small.c" "$work/small-rc.o" -o "$work/small.exe"
cp "$work/small.exe" "$work/small-stamped.exe"
"$build/host-tools/bin/stamp_pe" --time "$epoch" "$work/small-stamped.exe"
times=$(x86_64-w64-mingw32-objdump -p "$work/small-stamped.exe" | sed -n 's/.*Table: .*Time: \([0-9a-f]*\),.*/\1/p' | sort -u)
check "stamp_pe: every resource directory holds $epoch ($(printf '%x' "$epoch"); found: $times)" \
  [ "$times" = "$(printf '%x' "$epoch")" ]
check "stamp_pe: the header holds it too" \
  bash -c "TZ=UTC x86_64-w64-mingw32-objdump -p '$work/small-stamped.exe' | grep -q '^Time/Date.*Nov 14 22:13:20 2023'"
"$build/host-tools/bin/stamp_pe" --time 0 "$work/small-stamped.exe"
check "stamp_pe: stamped 0 again, it is the linker's file (the same checksum)" cmp "$work/small.exe" "$work/small-stamped.exe"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
