#!/usr/bin/env bash
# Every way the vendor's command refuses a package, each with a package made here
# (make_package.py): the message names the entry and the reason, the exit code is 1, no installer
# and no partial file is left where it was asked for, and nothing of the installer was configured or
# built. Good packages of both forms pass the same checks.
#   run_refusals.sh <make-installer build folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export VM_INSTALLER_BUILD_DIR=$1
build=$1
unset SOURCE_DATE_EPOCH
work=$(mktemp -d "${TMPDIR:-/tmp}/make-installer-refusals.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0 checks=0
check() {  # check <description> <command...>
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
contains() { [[ "$1" == *"$2"* ]]; }
# What a refusal must not touch: the installer build's logs and outputs (absent before a first build).
build_state() { stat -c '%n %Y' "$build/configure.log" "$build/build.log" "$build/installer/VelmoraSetup.exe" 2>/dev/null || true; }

# kind | what the message must say (the entry and the reason)
cases=(
  'folder-device|"sub/aux.dll": has a component that names a Windows device'
  'folder-colon|"sub/a:b.txt": holds ":"'
  'folder-control|holds a control character'
  'folder-dots|"sub/.../": has a component of only dots and spaces'
  'folder-forbidden-char|"what?.txt": holds "?", which Windows does not allow in a file name'
  'folder-backslash|"a\b.txt": holds "\"'
  'folder-trailing-dot|"notes.": has a component ending in a dot or a space'
  'folder-not-gbk|"check✓.txt": holds "✓", which code page 936 (GBK)'
  'folder-case|"readme.txt" and "Readme.TXT" differ only in letter case'
  'folder-case-folders|"Data" and "DATA" differ only in letter case'
  'folder-case-greek|"Ωμεγα" and "ΩΜΕΓΑ" differ only in letter case'
  'folder-case-fullwidth|"ｖｅｌ.txt" and "ＶＥＬ.txt" differ only in letter case'
  'folder-missing|lacks the file "Auxiliary/Tarnlink.exe", which the installer relies on'
  'folder-missing-notes|lacks the file "使用说明.txt"'
  'folder-symlink|"Auxiliary/link.exe": is a symbolic link'
  'folder-huge-file|"Auxiliary/huge.dat": is 4,294,967,296 bytes; an entry of 4 GiB or more needs ZIP64'
  'folder-too-many|holds 65,545 entries; without ZIP64 an archive holds at most 65,535'
  'zip-crc|"Uninstall.exe": its data fails its CRC check'
  'zip-size|"Uninstall.exe": inflates to 380 bytes; the directory says 999'
  'zip-damaged|"Velmora.exe": its data is damaged: it does not inflate'
  'zip-encrypted|"Velmora.exe": is encrypted'
  'zip-method|"Auxiliary/Tarnlink.exe": uses compression method 12'
  'zip-zip64|"Uninstall.exe": uses ZIP64'
  'zip-descriptor|"Velmora.exe": its data descriptor says CRC deadbeef'
  'zip-descriptor-size|"Velmora.exe": its data descriptor says CRC f3070e4b, 24 bytes packed, 1 unpacked; the central directory says CRC f3070e4b, 24 bytes packed, 750 unpacked'
  'zip-local-header|"Velmora.exe": its local header says'
  'zip-utf8|its name is marked UTF-8'
  'zip-not-gbk|entry 6 ("bad\xff\xfe.txt"): its name is not valid code page 936'
  'zip-unsafe|"../evil.exe": has a component of only dots and spaces'
  'zip-absolute|"/etc/evil.conf": is an absolute path'
  'zip-device|"Auxiliary/nul.txt": has a component that names a Windows device'
  'zip-order|"Data/a.txt": comes before its folder entry "Data/"'
  'zip-case|"auxiliary/extra.dll": its folder "auxiliary" and "Auxiliary" differ only in letter case'
  'zip-duplicate|"Velmora.exe": the entry is listed twice'
  'zip-folder-data|"Logs/": is a folder entry that holds 4 bytes of data'
  'zip-missing|lacks the file "Velmora.exe"'
  'zip-stub|does not begin with a ZIP local file header'
  'zip-not-zip|does not begin with a ZIP local file header'
  'zip-too-large|is 1,073,742,607 bytes packed; a 32-bit installer carries at most 1,073,741,824 bytes'
)

before=$(build_state)
for entry in "${cases[@]}"; do
  kind=${entry%%|*} expected=${entry#*|}
  package="$work/$kind"
  [[ "$kind" == folder-* ]] || package+=.zip
  python3 "$here/make_package.py" "$kind" "$package"
  out="$work/out-$kind"
  mkdir -p "$out"
  message=$("$root/scripts/make-installer.sh" "$package" -o "$out/VelmoraSetup.exe" 2>&1) && code=0 || code=$?
  check "$kind: exit code 1 (got $code)" [ "$code" = 1 ]
  check "$kind: says why: $expected" contains "$message" "$expected"
  check "$kind: names the package" contains "$message" "$package"
  check "$kind: says that no installer was built" contains "$message" "no installer was built"
  check "$kind: nothing left in the output folder" [ -z "$(ls -A "$out")" ]
  [ "$code" = 1 ] && contains "$message" "$expected" || printf '%s\n' "$message" | sed 's/^/    /'
  rm -rf "$package" "$out"
done
check "no refusal configured or built anything of the installer" [ "$(build_state)" = "$before" ]
check "no checked package is left from a refused one" [ ! -e "$build/package/package.new.zip" ]

# A refusal keeps what was there: an earlier installer at the output path stays as it was.
python3 "$here/make_package.py" zip-crc "$work/crc.zip"
echo "an earlier installer" > "$work/Earlier.exe"
"$root/scripts/make-installer.sh" "$work/crc.zip" -o "$work/Earlier.exe" >/dev/null 2>&1 || true
check "a refusal leaves an earlier file at the output path unchanged" [ "$(cat "$work/Earlier.exe")" = "an earlier installer" ]

# Command-line mistakes are refused before anything else, too.
python3 "$here/make_package.py" folder-good "$work/good"
for args in "$work/missing-folder" "$work/good --sign $work/none.pfx" "$work/good --sign $here/make_package.py" \
            "$work/good -o $work/no-such-folder/Setup.exe" "$work/good --password-file $here/make_package.py"; do
  # shellcheck disable=SC2086
  "$root/scripts/make-installer.sh" $args >/dev/null 2>&1 && code=0 || code=$?
  check "refused before building: make-installer.sh $args (exit $code)" [ "$code" != 0 ]
done
check "still nothing configured or built" [ "$(build_state)" = "$before" ]

# The same checks accept good packages of both forms; the packer's summary counts what it packed.
pack="$build/host-tools/bin/pack_payload"
python3 "$here/make_package.py" zip-good "$work/good.zip"
for form in "--folder $work/good|files 5 folders 3" "--zip $work/good.zip|files 5 folders 1"; do
  counts=${form#*|} form=${form%|*}
  # shellcheck disable=SC2086
  "$pack" --out "$work/accepted.zip" $form --summary "$work/summary.txt" && code=0 || code=$?
  check "accepted: $form" [ "$code" = 0 ]
  check "  its summary counts $counts" [ "$(grep -E '^(files|folders) ' "$work/summary.txt" | tr '\n' ' ')" = "$counts " ]
  rm -f "$work/accepted.zip" "$work/summary.txt"
done

# The size limit on what a folder packs to (its real value is checked above with a ZIP archive,
# which needs no gigabyte of incompressible data): above the limit, refused and no archive left.
python3 "$here/make_package.py" folder-incompressible "$work/random"
message=$("$pack" --out "$work/random.zip" --folder "$work/random" --limit 150000 2>&1) && code=0 || code=$?
check "a folder that packs to more than the limit is refused (exit $code)" [ "$code" = 1 ]
check "  saying so: $message" contains "$message" "a 32-bit installer carries at most 150,000 bytes"
check "  and leaving no archive" [ ! -e "$work/random.zip" -a ! -e "$work/random.zip.part" ]
check "the same folder within the limit is packed" "$pack" --out "$work/random.zip" --folder "$work/random"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
