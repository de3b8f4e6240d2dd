#!/usr/bin/env bash
# Whether the Authenticode signature of a signed receiver.exe holds as
# cryptography, whatever CA its certificate chains to: the file's digest is the
# one the signature names (osslsigncode verify computes both, and prints them
# even when it cannot verify the chain), and every signer's signature over its
# signed attributes, their message digest over the signed content among them,
# verifies with the signer's own certificate (openssl smime -noverify, given the
# content as Authenticode digests it: the SpcIndirectDataContent without its
# tag and length). Exit status 0 when it holds; 1, with the reason on standard
# output, when it does not or the file carries no signature.
# Arguments: the signed receiver.exe.
set -uo pipefail
exe=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-holds.XXXXXX")
trap 'rm -rf "$work"' EXIT
fails() {
    echo "$*"
    exit 1
}

osslsigncode extract-signature -in "$exe" -out "$work/sig" >/dev/null 2>&1 ||
    fails "$(basename "$exe") carries no signature"
osslsigncode verify -in "$exe" -CAfile /dev/null >"$work/verify" 2>&1
digest() { sed -n "s/^$1 message digest *: *\([0-9A-Fa-f]*\).*/\1/p" "$work/verify" | head -n 1; }
current=$(digest Current)
[ -n "$current" ] && [ "$current" = "$(digest Calculated)" ] ||
    fails "$(basename "$exe") is not the file that was signed (its digest is not the signed one)"

# The signed content: the first SEQUENCE inside the content of type
# SPC_INDIRECT_DATA (1.3.6.1.4.1.311.2.1.4), taken without its header.
read -r offset header length < <(openssl asn1parse -inform DER -in "$work/sig" 2>/dev/null |
    awk '/OBJECT *:1\.3\.6\.1\.4\.1\.311\.2\.1\.4 *$/ { found = 1; next }
         found && /cons: SEQUENCE/ { sub(/:.*/, "", $1); h = $0; l = $0
             sub(/.*hl= */, "", h); sub(/ .*/, "", h); sub(/.* l= */, "", l); sub(/ .*/, "", l)
             print $1, h, l; exit }')
[ -n "${length:-}" ] || fails "the signature holds no signed Authenticode content"
tail -c +$((offset + header + 1)) "$work/sig" | head -c "$length" >"$work/content"
openssl smime -verify -noverify -binary -inform DER -in "$work/sig" -content "$work/content" \
    -out /dev/null >"$work/smime" 2>&1 ||
    fails "the signature does not match its certificate: $(grep -o '[A-Za-z0-9_]*:[a-z ]*failure' "$work/smime" |
        head -n 1)"
exit 0
