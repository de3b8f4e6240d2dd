#!/usr/bin/env bash
# Says who signed a signed receiver.exe and whether its signature verifies, in
# lines a person reads: the signing certificate's subject, issuer, serial number
# and SHA-256 fingerprint (signing-cert.sh picks it out of the chain), then
# what `osslsigncode verify` finds: the signature verifies; it is INVALID (the
# file is not what was signed, or the signature does not match its
# certificate); it is valid but its certificate does not chain to a CA known
# here; or it does not verify for the reason osslsigncode names (an expired
# certificate without a time stamp, a chain without its root).
# CAFILE (a PEM file) names the CAs to trust instead of the system's.
# Exit status 0 when it verifies, 1 when it is invalid, 2 otherwise.
# Arguments: the signed receiver.exe.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exe=$1
cafile=${CAFILE:-}

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-signature.XXXXXX")
trap 'rm -rf "$work"' EXIT
if osslsigncode extract-signature -in "$exe" -out "$work/sig" >/dev/null 2>&1 &&
    "$here/signing-cert.sh" "$work/sig" >"$work/cert.pem" 2>"$work/cert.err"; then
    cert() { openssl x509 -in "$work/cert.pem" -noout "$@" | sed 's/^[^=]*=//'; }
    echo "signer: $(cert -subject)"
    echo "  issuer: $(cert -issuer)"
    echo "  serial number: $(cert -serial)"
    echo "  SHA-256 fingerprint: $(cert -fingerprint -sha256)"
    echo "  valid from $(cert -startdate) to $(cert -enddate)"
else
    echo "signer: cannot be read from $(basename "$exe")'s signature $(cat "$work/cert.err" 2>/dev/null)"
fi

against="the system's CAs"
args=(verify -in "$exe")
if [ -n "$cafile" ]; then
    against="the CAs of $cafile"
    args+=(-CAfile "$cafile")
fi
if osslsigncode "${args[@]}" >"$work/verify" 2>&1; then
    echo "signature: verifies, with a certificate chain to $against (osslsigncode verify)"
    exit 0
fi
# Whether the signature itself holds, whatever the chain: verified again with the
# signature's own certificates as the CAs (which works when it carries its root).
invalid() {
    if grep -q 'MISMATCH' "$1"; then
        echo "signature: INVALID: $(basename "$exe") is not the file that was signed (its digest is not the signed one)"
    elif grep -qi 'signature failure' "$1"; then
        echo "signature: INVALID: the signature does not match its certificate"
    else
        return 1
    fi
}
invalid "$work/verify" && exit 1
why=$(sed -n 's/^[[:space:]]*Error: *//p' "$work/verify" | head -n 1)
why=${why:-$(grep -v '^[[:space:]]*$' "$work/verify" | tail -n 3 | paste -sd' ')}
openssl pkcs7 -inform DER -in "$work/sig" -print_certs -out "$work/own.pem" 2>/dev/null
if osslsigncode verify -in "$exe" -CAfile "$work/own.pem" >"$work/verify-own" 2>&1; then
    echo "signature: valid, but its certificate does not chain to $against: $why" \
        "(a private CA's certificate can be given with CAFILE=<PEM file>)"
    exit 2
fi
invalid "$work/verify-own" && exit 1
echo "signature: does not verify against $against: $why"
exit 2
