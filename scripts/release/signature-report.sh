#!/usr/bin/env bash
# Says who signed a signed receiver.exe and whether its signature verifies, in
# lines a person reads: the signing certificate's subject, issuer, serial number
# and SHA-256 fingerprint (signing-cert.sh picks it out of the chain), then
# what `osslsigncode verify` finds: the signature verifies; it is INVALID (the
# file is not what was signed, or the signature does not match its
# certificate: signature-holds.sh); or it is valid but does not verify for the
# reason osslsigncode names (a chain to no CA known here, an expired
# certificate without a time stamp).
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
if ! why=$("$here/signature-holds.sh" "$exe"); then
    echo "signature: INVALID: $why"
    exit 1
fi
why=$(sed -n 's/^[[:space:]]*Error: *//p' "$work/verify" | head -n 1)
why=${why:-$(grep -v '^[[:space:]]*$' "$work/verify" | tail -n 3 | paste -sd' ')}
echo "signature: valid, but it does not verify against $against: $why" \
    "(a private CA's certificate can be given with CAFILE=<PEM file>)"
exit 2
