#!/usr/bin/env bash
# Writes the certificate that made an Authenticode signature to standard output
# (PEM). The signature (DER PKCS#7, as osslsigncode extract-signature writes it)
# carries the whole chain, in no fixed order (often the CA first), and names its
# signer by issuer and serial number: the certificate with that serial number
# is the one. Fails, with a message, when there is none or more than one.
# Arguments: the signature file.
set -euo pipefail
sig=$1
fail() {
    echo "signing-cert: $*" >&2
    exit 1
}

# The signer's serial number, as `openssl pkcs7 -print` shows it: decimal when
# it is small, else 0x and hexadecimal. Made hexadecimal, without leading zeros.
printed=$(openssl pkcs7 -inform DER -in "$sig" -print 2>/dev/null |
    sed -n '/issuer_and_serial:/,/serial:/s/^ *serial: *//p' | head -n 1) || true
case $printed in
0x[0-9A-Fa-f]*) serial=${printed#0x} ;;
[0-9]*) serial=$(printf '%X' "$printed") ;;
*) fail "$sig is not a signature whose signer can be read" ;;
esac
serial=$(tr a-f A-F <<<"$serial" | sed 's/^0*//')

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-cert.XXXXXX")
trap 'rm -rf "$work"' EXIT
openssl pkcs7 -inform DER -in "$sig" -print_certs 2>/dev/null |
    awk -v dir="$work" '/-----BEGIN CERTIFICATE-----/ { n++; file = dir "/" n ".pem" }
        file { print > file } /-----END CERTIFICATE-----/ { close(file); file = "" }'
found=()
for cert in "$work"/*.pem; do
    [ -f "$cert" ] || continue
    [ "$(openssl x509 -in "$cert" -noout -serial | sed 's/^serial=0*//')" = "$serial" ] && found+=("$cert")
done
[ ${#found[@]} = 1 ] || fail "$sig holds ${#found[@]} certificates with its signer's serial number $serial"
cat "${found[0]}"
