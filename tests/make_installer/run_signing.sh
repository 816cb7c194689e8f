#!/usr/bin/env bash
# Signing, with a throwaway certificate made here by openssl:
# - make-installer.sh --sign gives an installer that `osslsigncode verify` accepts, and that is the
#   unsigned build once the signature is removed (how a published installer is reproduced);
# - a wrong password, or a certificate that is no PKCS#12 file, leaves no installer;
# - verification is real: the unsigned build and a signed file changed afterwards are rejected;
# - the x86_64 build, signed by the same step, still installs the demo package under Wine (the
#   installer finds its package in the signed file): the real installer in a fresh prefix, its
#   install button pressed on the virtual display, every entry of the package checked on disk.
#   run_signing.sh <make-installer build folder> <x86_64 VelmoraSetup.exe> <demo package folder> <its ZIP>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export VM_INSTALLER_BUILD_DIR=$1
x64_setup=$2 demo_folder=$3 demo_zip=$4
unset SOURCE_DATE_EPOCH
work=$(mktemp -d "${TMPDIR:-/tmp}/make-installer-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0 checks=0
check() {  # check <description> <command...>
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
verifies() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

# ---- A throwaway code-signing certificate -------------------------------------------------------
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Velmora Test Vendor" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
printf 'a test password\n' > "$work/password.txt"
openssl pkcs12 -export -in "$work/cert.pem" -inkey "$work/key.pem" -out "$work/vendor.pfx" \
  -passout "file:$work/password.txt"
printf 'another password\n' > "$work/wrong.txt"

# ---- The command's i686 installer ----------------------------------------------------------------
package=$demo_folder
[ -n "$package" ] && [ -d "$package" ] || package=$demo_zip
"$root/scripts/make-installer.sh" "$package" -o "$work/signed.exe" --sign "$work/vendor.pfx" \
  --password-file "$work/password.txt" >"$work/signed.txt" 2>&1 && code=0 || code=$?
sed 's/^/    /' "$work/signed.txt"
check "make-installer.sh --sign succeeds" [ "$code" = 0 ]
check "the summary says it is signed" grep -q '^  signed *yes: Authenticode, SHA-256' "$work/signed.txt"
check "the summary's size and SHA-256 are the signed file's" \
  grep -q "^  SHA-256 *$(sha256sum "$work/signed.exe" | cut -d' ' -f1)$" "$work/signed.txt"
check "osslsigncode verify accepts it" verifies "$work/signed.exe"
check "  with a SHA-256 digest" grep -qi 'sha256' "$work/verify.log"
check "  by the test certificate" grep -q 'Velmora Test Vendor' "$work/verify.log"

"$root/scripts/make-installer.sh" "$package" -o "$work/unsigned.exe" >/dev/null 2>&1
check "the unsigned build is not accepted" bash -c "! osslsigncode verify -CAfile '$work/cert.pem' -in '$work/unsigned.exe' >/dev/null 2>&1"
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/stripped.exe" >/dev/null
check "without its signature it is the unsigned build, byte for byte" cmp "$work/stripped.exe" "$work/unsigned.exe"

cp "$work/signed.exe" "$work/changed.exe"
# One byte inside the carried package, well before the signature at the end.
printf 'X' | dd of="$work/changed.exe" bs=1 seek=$(($(stat -c %s "$work/unsigned.exe") / 2)) conv=notrunc status=none
check "a signed file changed afterwards is rejected" bash -c "! osslsigncode verify -CAfile '$work/cert.pem' -in '$work/changed.exe' >/dev/null 2>&1"

for bad in "--password-file $work/wrong.txt|wrong password" "--password-file $work/password.txt --sign $work/cert.pem|not a PKCS#12 file"; do
  args=${bad%|*} what=${bad#*|}
  # shellcheck disable=SC2086
  message=$("$root/scripts/make-installer.sh" "$package" -o "$work/bad.exe" --sign "$work/vendor.pfx" $args 2>&1) &&
    code=0 || code=$?
  check "$what: refused (exit $code)" [ "$code" != 0 ]
  check "$what: says that signing failed" grep -q "signing failed" <<<"$message"
  check "$what: no installer and no partial file" [ -z "$(ls "$work" | grep '^bad\.exe')" ]
done

# ---- A time-stamped signature, from a local RFC 3161 service ------------------------------------
tsa=$work/tsa
mkdir -p "$tsa"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tsa/key.pem" -out "$tsa/cert.pem" -days 2 \
  -subj "/CN=Velmora Test Time Stamps" -addext "extendedKeyUsage=critical,timeStamping" 2>/dev/null
echo 01 > "$tsa/serial"
printf '%s\n' '[ tsa ]' 'default_tsa = test_tsa' '[ test_tsa ]' "serial = $tsa/serial" \
  "signer_cert = $tsa/cert.pem" "signer_key = $tsa/key.pem" 'signer_digest = sha256' \
  'default_policy = 1.2.3.4.1' 'digests = sha256' 'accuracy = secs:1' 'ess_cert_id_alg = sha256' > "$tsa/tsa.cnf"
node "$here/timestamp_service.js" "$tsa/tsa.cnf" "$tsa" >"$tsa/port" 2>"$tsa/service.log" &
tsa_pid=$!
trap 'kill "$tsa_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$tsa/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(cat "$tsa/port")/"
"$root/scripts/make-installer.sh" "$package" -o "$work/stamped.exe" --sign "$work/vendor.pfx" \
  --password-file "$work/password.txt" --timestamp "$url" >"$work/stamped.txt" 2>&1 && code=0 || code=$?
check "make-installer.sh --sign --timestamp $url succeeds" [ "$code" = 0 ]
check "the summary names the time-stamping service" grep -q "time-stamped by $url" "$work/stamped.txt"
check "the service was asked once, with an RFC 3161 query" \
  [ "$(cat "$tsa/requests.log" 2>/dev/null)" = "application/timestamp-query" ]
osslsigncode verify -CAfile "$work/cert.pem" -TSA-CAfile "$tsa/cert.pem" -in "$work/stamped.exe" >"$work/verify.log" 2>&1 &&
  code=0 || code=$?
check "osslsigncode verify accepts the time-stamped signature" [ "$code" = 0 ]
check "  with the service's countersignature" grep -q "Timestamp Server Signature verification: ok" "$work/verify.log"
check "  issued by the test service" grep -q "Velmora Test Time Stamps" "$work/verify.log"
kill "$tsa_pid" 2>/dev/null || true
wait "$tsa_pid" 2>/dev/null || true
message=$("$root/scripts/make-installer.sh" "$package" -o "$work/bad.exe" --sign "$work/vendor.pfx" \
  --password-file "$work/password.txt" --timestamp "$url" 2>&1) && code=0 || code=$?
check "an unreachable time-stamping service: refused (exit $code)" [ "$code" != 0 ]
check "  saying that signing failed" grep -q "signing failed" <<<"$message"
check "  and no installer" [ ! -e "$work/bad.exe" ]

# ---- The signed x86_64 installer installs the demo package under Wine ----------------------------
"$root/scripts/sign-installer.sh" "$x64_setup" "$work/x64-signed.exe" --sign "$work/vendor.pfx" \
  --password-file "$work/password.txt"
check "the x86_64 build signed by the same step verifies" verifies "$work/x64-signed.exe"

source "$root/scripts/wine-env.sh"
source "$root/scripts/wine-prefix-lib.sh"
vm_use_fresh_prefix "$VM_WINE_DIR/signed-install"
trap 'vm_stop_server; [ -z "$vm_own_xvfb" ] || kill "$vm_own_xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$WINEPREFIX/drive_c/e2e"
cp "$work/x64-signed.exe" "$WINEPREFIX/drive_c/e2e/VelmoraSetup.exe"
install_dir="$WINEPREFIX/drive_c/Program Files/Velmora"

"$VM_WINE" 'C:\e2e\VelmoraSetup.exe' </dev/null >/dev/null 2>&1 &
installer_pid=$!
if vm_wait_for_window "Velmora - 在线安装" 500 200; then  # the window ignores the mouse until its flip ends
  # The install button: 233 x 54 at (143, 110) inside the window.
  xdotool mousemove $((X + 259)) $((Y + 137)); sleep 0.2
  xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
  code=124
  for _ in $(seq 1200); do
    if [ ! -d "/proc/$installer_pid" ] || grep -q '^State:.*Z' "/proc/$installer_pid/status" 2>/dev/null; then
      wait "$installer_pid" && code=0 || code=$?
      break
    fi
    sleep 0.1
  done
  check "the signed installer ends with exit code 0 after installing (got $code)" [ "$code" = 0 ]
else
  check "the signed installer's window appears" false
fi
missing=$(python3 - "$demo_zip" "$install_dir" <<'EOF'
import os, sys, zipfile
archive, folder = sys.argv[1:]
wrong = []
with zipfile.ZipFile(archive) as z:
    for info in z.infolist():
        name = info.filename.encode("cp437").decode("gbk")
        path = os.path.join(folder, name)
        if info.is_dir():
            ok = os.path.isdir(path)
        else:
            ok = os.path.isfile(path) and os.path.getsize(path) == info.file_size
        if not ok:
            wrong.append(name)
print(len(wrong), " ".join(wrong[:5]))
EOF
)
check "every entry of the demo package is installed with its size (wrong: $missing)" [ "${missing%% *}" = 0 ]
check "no install.zip left" [ ! -e "$install_dir/install.zip" ]

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
