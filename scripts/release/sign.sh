#!/usr/bin/env bash
# `make sign RELEASE=<folder>`: signs, in place, a release that `make dist`
# made, with an Authenticode signature (SHA-256, described as the program's
# name) by one signer, given in the environment (make passes its variables
# there, so that no value is ever part of a shell line):
#   PFX=<PKCS#12 file> with PFX_PASS_FILE=<file holding its password>;
#   PKCS11_MODULE=<module> KEY=<pkcs11: URI> CERT=<PEM chain or pkcs11: URI>
#     PIN_FILE=<file holding the PIN>, for a key on a token or in an HSM;
#   SIGNED=<exe>, receiver.exe as a signing service signed it.
# TSA=<url> adds an RFC 3161 time stamp from that server; without it the
# signing time is the release's SOURCE_DATE_EPOCH, so that signing the same
# release again with the same RSA key gives the same bytes.
# It writes receiver.exe signed, receiver.exe.sig (its detached signature, DER
# PKCS#7 as osslsigncode 2.9's extract-signature writes it), the zip made by
# zip-replace-exe.sh, and SHA256SUMS for the build record, the zip,
# receiver.exe and receiver.exe.sig. The build record and README.txt stay as
# they are: the record describes the unsigned build from source.
# It refuses, with one message and the release left as it was, a folder that
# is not a release of make dist or is already signed, no signer or more than
# one, a signature that does not verify (signature-holds.sh: the cryptography,
# whatever CA the chain reaches), and a certificate without extended key usage
# codeSigning and key usage digitalSignature or not valid now. Every new file is
# written beside its target first and renamed over it only when all are
# written. Exit status 0 when signed, 1 when refused.
# Arguments: the release folder (else RELEASE from the environment).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
release=${1:-${RELEASE:-}}
. "$here/common.sh"
description="Zintra Receiver"

refuse() {
    echo "sign: refused, the release is as it was: $*" >&2
    exit 1
}

# The release.
[ -n "$release" ] || refuse "no release given (make sign RELEASE=<folder that make dist wrote>)"
[ -d "$release" ] || refuse "$release is not a folder"
zip=$(release_zip "$release") ||
    refuse "$release is not a release made by make dist: it holds no one receiver-*-win32.zip"
zip_name=$(basename "$zip")
record=$(release_record "$zip")
exe=$release/receiver.exe
for file in "$record" "$exe" "$release/SHA256SUMS"; do
    [ -f "$file" ] || refuse "$release is not a release made by make dist: it has no $(basename "$file")"
done

tool=$("$here/signing-tool.sh") ||
    refuse "osslsigncode $tool is installed here, and signing needs 2.9 or later (scripts/install-deps.sh installs it)"

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-sign.XXXXXX")
trap 'rm -rf "$work"' EXIT
# extract-signature succeeds on a signed file alone.
if [ -e "$release/receiver.exe.sig" ] ||
    osslsigncode extract-signature -in "$exe" -out "$work/old.sig" >/dev/null 2>&1; then
    refuse "$release is already signed; sign a release fresh from make dist"
fi

epoch=$(field SOURCE_DATE_EPOCH)
[[ $epoch =~ ^[0-9]+$ ]] || refuse "$release is not a release made by make dist: its build record has no SOURCE_DATE_EPOCH"
(cd "$release" && sha256sum --quiet -c SHA256SUMS >/dev/null 2>&1) ||
    refuse "$release/SHA256SUMS does not match its files"
for file in "$exe" "$zip"; do
    name=$(basename "$file")
    recorded "$file" "$name" ||
        refuse "$release is not the release its build record describes: $name has another SHA-256"
done
unzip -p "$zip" receiver.exe 2>/dev/null | cmp -s - "$exe" ||
    refuse "$release is not a release made by make dist: $zip_name holds another receiver.exe"

# The signer: exactly one.
signers=()
[ -n "${PFX:-}${PFX_PASS_FILE:-}" ] && signers+=("PFX=")
[ -n "${PKCS11_MODULE:-}${KEY:-}${CERT:-}${PIN_FILE:-}" ] && signers+=("PKCS11_MODULE=")
[ -n "${SIGNED:-}" ] && signers+=("SIGNED=")
[ ${#signers[@]} = 0 ] && refuse "no signer given: PFX= with PFX_PASS_FILE=; PKCS11_MODULE=, KEY=, CERT= and PIN_FILE=; or SIGNED="
[ ${#signers[@]} = 1 ] || refuse "more than one signer given (${signers[*]}): give one"
readable() {
    [ -n "$2" ] || refuse "$1 is not given"
    [ -f "$2" ] && [ -r "$2" ] || refuse "$1$2 is not a readable file"
}

options=(-h sha256 -n "$description")
if [ -n "${TSA:-}" ]; then
    options+=(-ts "$TSA")
else
    options+=(-time "$epoch")
fi
signed=$work/receiver.exe
case ${signers[0]} in
PFX=)
    readable PFX= "${PFX:-}"
    readable PFX_PASS_FILE= "${PFX_PASS_FILE:-}"
    osslsigncode sign -pkcs12 "$PFX" -readpass "$PFX_PASS_FILE" "${options[@]}" -in "$exe" -out "$signed" \
        >"$work/log" 2>&1 || refuse "osslsigncode could not sign: $(tail -n 3 "$work/log" | paste -sd' ')"
    ;;
PKCS11_MODULE=)
    readable PKCS11_MODULE= "${PKCS11_MODULE:-}"
    readable PIN_FILE= "${PIN_FILE:-}"
    [[ ${KEY:-} == pkcs11:* ]] || refuse "KEY= must be a pkcs11: URI naming the key on the token"
    [ -n "${CERT:-}" ] || refuse "CERT= is not given (the certificate with its intermediates, as PEM, or a pkcs11: URI)"
    [[ "$KEY;$CERT" == *pin-value=* ]] && refuse "a PIN in a pkcs11: URI (pin-value) is not taken: put it in PIN_FILE="
    if [[ $CERT == pkcs11:* ]]; then
        certs=(-pkcs11cert "$CERT")
    else
        readable CERT= "$CERT"
        certs=(-certs "$CERT")
    fi
    osslsigncode sign -pkcs11module "$PKCS11_MODULE" -key "$KEY" "${certs[@]}" -readpass "$PIN_FILE" \
        "${options[@]}" -in "$exe" -out "$signed" >"$work/log" 2>&1 ||
        refuse "osslsigncode could not sign with the token: $(grep -v '^Engine ' "$work/log" | tail -n 3 | paste -sd' ')"
    ;;
SIGNED=)
    readable SIGNED= "$SIGNED"
    [ -z "${TSA:-}" ] || refuse "TSA= is for signing here; an exe signed elsewhere (SIGNED=) is taken as it is"
    osslsigncode remove-signature -in "$SIGNED" -out "$work/unsigned.exe" >/dev/null 2>&1 ||
        refuse "$SIGNED carries no signature"
    cmp -s "$work/unsigned.exe" "$exe" ||
        refuse "$SIGNED is not this release's receiver.exe signed: without its signature it has other bytes (another build?)"
    cp "$SIGNED" "$signed"
    ;;
esac

osslsigncode extract-signature -in "$signed" -out "$work/receiver.exe.sig" >/dev/null 2>&1 ||
    refuse "the signature cannot be taken out of the signed receiver.exe"
why=$("$here/signature-holds.sh" "$signed") || refuse "the signature does not verify: $why"

# The certificate must be one for code signing, and valid now (not at the
# source date: a certificate bought after the commit is valid from later).
"$here/signing-cert.sh" "$work/receiver.exe.sig" >"$work/cert.pem" 2>"$work/log" ||
    refuse "the signing certificate cannot be read from the signature: $(cat "$work/log")"
cert() { openssl x509 -in "$work/cert.pem" -noout "$@"; }
subject=$(cert -subject -nameopt oneline | sed 's/^subject=//')
cert -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
    refuse "the certificate of $subject is not for code signing: it has no extended key usage codeSigning"
cert -ext keyUsage 2>/dev/null | grep -q 'Digital Signature' ||
    refuse "the certificate of $subject is not for code signing: it has no key usage digitalSignature"
from=$(cert -startdate | sed 's/^notBefore=//')
[ "$(date -d "$from" +%s)" -le "$(date +%s)" ] || refuse "the certificate of $subject is not valid before $from"
cert -checkend 0 >/dev/null || refuse "the certificate of $subject expired $(cert -enddate | sed 's/^notAfter=//')"

# A rebuilder attaches the detached signature to the receiver.exe built from
# source, and must get the signed file's very bytes.
osslsigncode attach-signature -sigin "$work/receiver.exe.sig" -in "$exe" -out "$work/attached.exe" >/dev/null 2>&1
cmp -s "$work/attached.exe" "$signed" ||
    refuse "the signature, attached to receiver.exe again, does not give the signed file's bytes, so no rebuild could check it"

"$here/zip-replace-exe.sh" "$zip" "$signed" "$work/$zip_name" || refuse "the zip could not be made again"
cp "$record" "$work/"
(cd "$work" && LC_ALL=C sha256sum "$(basename "$record")" "$zip_name" receiver.exe receiver.exe.sig >SHA256SUMS)

# Every file beside its target first; the renames, each atomic, only then.
files=("$zip_name" receiver.exe receiver.exe.sig SHA256SUMS)
for file in "${files[@]}"; do
    cp "$work/$file" "$release/.$file.new" || {
        for f in "${files[@]}"; do rm -f "$release/.$f.new"; done
        refuse "could not write $release/.$file.new"
    }
done
for file in "${files[@]}"; do
    mv -f "$release/.$file.new" "$release/$file" || {
        echo "sign: could not rename $release/.$file.new to $file: the release is now partly signed; make it again with make dist" >&2
        exit 1
    }
done
if [ -n "${SIGNED:-}" ]; then
    how="as signed elsewhere ($SIGNED)"
elif [ -n "${TSA:-}" ]; then
    how="time-stamped by $TSA"
else
    how="no time stamp, signing time $(date -u -d "@$epoch") (SOURCE_DATE_EPOCH)"
fi
echo "signed $release: by $subject, $how"
sed 's/^/  /' "$release/SHA256SUMS"
