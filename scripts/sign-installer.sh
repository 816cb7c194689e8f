#!/usr/bin/env bash
# Signs a built installer with Authenticode (SHA-256) through osslsigncode:
#   scripts/sign-installer.sh IN.exe OUT.exe --sign CERT.pfx --password-file FILE [--timestamp URL]
# CERT.pfx is a PKCS#12 file holding the certificate and its private key; FILE holds its password on
# the first line. With --timestamp the signature is countersigned by that RFC 3161 time-stamping
# service, so it stays valid after the certificate expires. OUT.exe appears only when signing
# succeeded. make-installer.sh signs through this script; so can a vendor for a file built earlier.
set -euo pipefail

fail() { echo "sign-installer: $*" >&2; exit 1; }
usage() { echo "usage: $0 IN.exe OUT.exe --sign CERT.pfx --password-file FILE [--timestamp URL]" >&2; exit 2; }

[ $# -ge 2 ] || usage
in=$1 out=$2
shift 2
cert= password_file= timestamp_url=
while [ $# -gt 0 ]; do
  case "$1" in
    --sign) [ $# -ge 2 ] || usage; cert=$2; shift 2 ;;
    --password-file) [ $# -ge 2 ] || usage; password_file=$2; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp_url=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ -n "$cert" ] && [ -n "$password_file" ] || usage
command -v osslsigncode >/dev/null || fail "osslsigncode is missing: run scripts/setup.sh"
[ -f "$in" ] || fail "no such file: $in"
[ -r "$cert" ] || fail "cannot read the certificate $cert"
[ -r "$password_file" ] || fail "cannot read the password file $password_file"

args=(sign -pkcs12 "$cert" -readpass "$password_file" -h sha256)
[ -z "$timestamp_url" ] || args+=(-ts "$timestamp_url")
partial="$out.signing"
rm -f "$partial"
trap 'rm -f "$partial"' EXIT
if ! log=$(osslsigncode "${args[@]}" -in "$in" -out "$partial" 2>&1); then
  fail "signing failed (wrong password, a file that is not PKCS#12, or an unreachable time-stamping service):
$log"
fi
mv -f "$partial" "$out"
