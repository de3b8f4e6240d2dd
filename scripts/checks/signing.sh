#!/usr/bin/env bash
# Signs a release with throwaway certificates and checks what make sign and
# make verify-release do with it. Under build/check-signing: a CA, RSA and
# ECDSA code-signing certificates, a TLS one and an expired one (openssl and
# faketime), the RSA key in a SoftHSM2 token, and one release made by make dist in a clean clone of HEAD.
# Copies of that release are then:
#   - signed with the PKCS#12 file: the signature verifies against the CA, its
#     signing time is the release's SOURCE_DATE_EPOCH, SHA256SUMS verifies, the
#     build record is untouched, and the zip is the unsigned one with only its
#     receiver.exe entry replaced (the rule twice gives the same bytes, and given
#     the unsigned receiver.exe it gives the unsigned zip back);
#   - signed again with it, to the same bytes;
#   - signed with the key in the token, and with an exe signed elsewhere (ECDSA)
#     through SIGNED=, both verifying;
#   - refused, and left as they were: not a release, already signed, no signer,
#     two signers, a certificate without codeSigning, an expired one, a SIGNED=
#     exe of another build or whose signature was altered, an osslsigncode older
#     than 2.9, and a PIN in the key's URI, which make sign's output never shows;
# and the signed receiver.exe must start and quit under Wine with exit code 0
# (in the emulated guest where this kernel runs no i386 programs).
# make verify-release must say SAME BYTES of the signed release, with its
# signer and a signature that verifies against the CA (and, without CAFILE=,
# that it does not chain to a CA known here). Against that one rebuild, the
# same check must say OTHER BYTES when a byte of the signed receiver.exe's code
# is changed (and the signature INVALID) and when receiver.exe.sig is another
# key's, BAD SIGNATURE when a byte of the signature itself is changed, OTHER
# SIGNER when SIGNER= names another certificate or the release is unsigned,
# CANNOT CHECK without receiver.exe.sig or with osslsigncode 2.5, and SAME
# BYTES of the unsigned release, with nothing said of a signature.
# The certificates are made now, after the commit's date: signing would be
# refused if their validity were judged at SOURCE_DATE_EPOCH.
# Arguments: the source folder, the built poke.exe.
set -uo pipefail
source_dir=$(cd "$1" && pwd)
poke=$2
[ -n "${DISPLAY:-}" ] || exec "$source_dir/scripts/wine/with-display.sh" "$0" "$@"

work=$source_dir/build/check-signing
rm -rf "$work"
mkdir -p "$work/keys" "$work/bin"
k=$work/keys
. "$source_dir/scripts/checks/common.sh"
stop() {
    touch "$work/wine-skip"
    echo "FAIL: $*; the files are left in $work"
    exit 1
}

# The certificates: a CA, and from it RSA and ECDSA ones for code signing and
# an RSA one for TLS servers; each as PEM with the CA and as PKCS#12.
ossl() { openssl "$@" >"$work/openssl.log" 2>&1 || stop "openssl $*: $(cat "$work/openssl.log")"; }
echo "throwaway password" >"$k/pass"
ossl req -x509 -newkey rsa:2048 -nodes -keyout "$k/ca.key" -out "$k/ca.pem" -days 2 -subj "/CN=Receiver Test CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign
issue() { # NAME EXTENDED-KEY-USAGE KEY-OPTIONS...
    local name=$1 usage=$2
    shift 2
    ossl req -newkey "$@" -nodes -keyout "$k/$name.key" -out "$k/$name.csr" -subj "/CN=Receiver Test $name/O=Test"
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$usage" >"$k/$name.ext"
    ossl x509 -req -in "$k/$name.csr" -CA "$k/ca.pem" -CAkey "$k/ca.key" -days 2 -extfile "$k/$name.ext" -out "$k/$name.pem"
    cat "$k/$name.pem" "$k/ca.pem" >"$k/$name-chain.pem"
    ossl pkcs12 -export -inkey "$k/$name.key" -in "$k/$name.pem" -certfile "$k/ca.pem" -passout "file:$k/pass" \
        -out "$k/$name.pfx"
}
issue rsa codeSigning rsa:2048
issue ecdsa codeSigning ec -pkeyopt ec_paramgen_curve:P-256
issue tls serverAuth rsa:2048
# The RSA code-signing certificate again, as issued for a day three days ago.
faketime '3 days ago' openssl x509 -req -in "$k/rsa.csr" -CA "$k/ca.pem" -CAkey "$k/ca.key" -days 1 \
    -extfile "$k/rsa.ext" -out "$k/expired.pem" >/dev/null 2>&1 || stop "faketime openssl x509 failed"
ossl pkcs12 -export -inkey "$k/rsa.key" -in "$k/expired.pem" -certfile "$k/ca.pem" -passout "file:$k/pass" \
    -out "$k/expired.pfx"

# The RSA key in a SoftHSM2 token of its own.
export SOFTHSM2_CONF=$work/softhsm2.conf
mkdir "$work/tokens"
printf 'directories.tokendir = %s\nobjectstore.backend = file\nlog.level = ERROR\n' "$work/tokens" >"$SOFTHSM2_CONF"
module=/usr/lib/softhsm/libsofthsm2.so
echo 271828 >"$k/pin"
softhsm2-util --init-token --free --label receiver-test --pin 271828 --so-pin 314159 >/dev/null ||
    stop "softhsm2-util cannot make a token"
ossl pkcs8 -topk8 -nocrypt -in "$k/rsa.key" -outform DER -out "$k/rsa.p8"
pkcs11-tool --module "$module" --token-label receiver-test --login --pin 271828 --write-object "$k/rsa.p8" \
    --type privkey --id 01 --label signer >/dev/null 2>&1 || stop "pkcs11-tool cannot put the key in the token"

# Under Wine, once the release signed with the PKCS#12 file is there (wine-go),
# while the release is made: poke starts the signed receiver.exe, finds its
# window, clicks Quit and writes its exit code, which must be 0. Where this
# kernel runs no i386 programs, that runs in the emulated guest, which boots
# meanwhile and waits there. Its output goes to a file, since Wine's background
# processes would keep ctest's pipe open.
"$source_dir/scripts/wine/runs-i386.sh"
case $? in
0) where=() ;;
1) where=("$source_dir/scripts/guest/run.sh" --timeout 1800 --) ;;
*) stop "whether this kernel runs i386 programs cannot be told" ;;
esac
windows_path() { echo "Z:${1//\//\\}"; }
"${where[@]}" bash -c 'for ((i = 0; i < 900; i++)); do
        [ -e "$1/wine-go" ] && exec timeout 900 "$2" "$3" start "$4" find "Zintra Receiver v*" 300000 click 2 \
            exit 60000 "$5"
        [ -e "$1/wine-skip" ] && exit
        sleep 1
    done' - "$work" "$source_dir/scripts/wine/run.sh" "$poke" "$(windows_path "$work/pfx/receiver.exe")" \
    "$(windows_path "$work/exit-code")" >"$work/wine.log" 2>&1 </dev/null &
wine_run=$!

# The release, from a clean clone of HEAD.
commit=$(git -C "$source_dir" rev-parse HEAD)
git clone --quiet --no-checkout "$source_dir" "$work/source" &&
    git -C "$work/source" checkout --quiet --detach "$commit" || stop "cannot clone $commit"
(cd "$work/source" && make dist) >"$work/dist.log" 2>&1 || stop "make dist failed: $(tail -n 20 "$work/dist.log")"
release=$work/source/build/dist
zips=("$release"/receiver-*-win32.zip)
zip_name=$(basename "${zips[0]}")
epoch=$(sed -n 's/^SOURCE_DATE_EPOCH: //p' "$release"/receiver-*-win32.buildinfo)

copy() { # NAME [FROM]: a copy of the release, or of FROM
    cp -a "${2:-$release}" "$work/$1" && echo "$work/$1"
}
flip() { # FILE OFFSET: the byte there complemented
    local byte
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "\\$(printf '%03o' $((byte ^ 255)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
# bad_signature SIGNED-EXE OUT: the exe with a byte of its signature's last
# value (the signer's signature, no time stamp follows it) complemented.
bad_signature() {
    cp "$1" "$2"
    rm -f "$work/flip.sig" # osslsigncode writes no file that is there
    osslsigncode extract-signature -in "$1" -out "$work/flip.sig" >/dev/null 2>&1 || stop "no signature in $1"
    flip "$2" "$(python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); s = open(sys.argv[2], "rb").read()
print(d.rindex(s) + len(s) - 8)' "$1" "$work/flip.sig")"
}
snapshot() { (cd "$1" && find . -printf '%p %m %s %T@\n' | sort && find . -type f -exec sha256sum {} + | sort); }
sign() { # RELEASE VARIABLE=VALUE...: make sign
    local folder=$1
    shift
    make -s -C "$source_dir" sign RELEASE="$folder" "$@" >"$work/out" 2>&1 ||
        fail "make sign RELEASE=$folder $*: $(cat "$work/out")"
}
verify_sig() { # RELEASE: the signature verifies against the CA
    osslsigncode verify -CAfile "$k/ca.pem" -in "$1/receiver.exe" >"$work/verify.log" 2>&1 ||
        fail "osslsigncode verify does not accept $1/receiver.exe: $(tail -n 5 "$work/verify.log")"
}

# Signed with the PKCS#12 file.
A=$(copy pfx)
sign "$A" PFX="$k/rsa.pfx" PFX_PASS_FILE="$k/pass"
verify_sig "$A"
grep -qF "Signing time: $(LC_ALL=C date -u -d "@$epoch" '+%b %e %H:%M:%S %Y') GMT" "$work/verify.log" ||
    fail "the signing time is not SOURCE_DATE_EPOCH: $(grep 'Signing time' "$work/verify.log")"
(cd "$A" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c does not accept the signed release's SHA256SUMS"
[ "$(cut -d' ' -f3 "$A/SHA256SUMS" | paste -sd' ')" = "${zip_name%.zip}.buildinfo $zip_name receiver.exe receiver.exe.sig" ] ||
    fail "SHA256SUMS lists $(cut -d' ' -f3 "$A/SHA256SUMS" | paste -sd' ')"
cmp -s "$A/${zip_name%.zip}.buildinfo" "$release/${zip_name%.zip}.buildinfo" || fail "make sign changed the build record"
osslsigncode remove-signature -in "$A/receiver.exe" -out "$work/unsigned.exe" >/dev/null 2>&1 &&
    cmp -s "$work/unsigned.exe" "$release/receiver.exe" || fail "the signed receiver.exe is not the release's, signed"
osslsigncode extract-signature -in "$A/receiver.exe" -out "$work/extracted.sig" >/dev/null 2>&1 &&
    cmp -s "$work/extracted.sig" "$A/receiver.exe.sig" || fail "receiver.exe.sig is not receiver.exe's signature"

# The zip rule: the same bytes twice; the unsigned zip back from the unsigned
# receiver.exe; in the signed zip, receiver.exe at its place with its date and
# permissions, and every other entry's local header and data byte for byte, its
# central directory entry too but for the offset.
rule=$source_dir/scripts/release/zip-replace-exe.sh
"$rule" "$release/$zip_name" "$A/receiver.exe" "$work/once.zip" &&
    "$rule" "$release/$zip_name" "$A/receiver.exe" "$work/twice.zip" || fail "zip-replace-exe.sh failed"
cmp -s "$work/once.zip" "$work/twice.zip" || fail "the zip rule gives other bytes each time"
cmp -s "$work/once.zip" "$A/$zip_name" || fail "the signed release's zip is not the one the rule makes"
"$rule" "$release/$zip_name" "$release/receiver.exe" "$work/same.zip" && cmp -s "$work/same.zip" "$release/$zip_name" ||
    fail "the zip rule, given the unsigned receiver.exe, does not give back the unsigned zip"
unzip -p "$A/$zip_name" receiver.exe | cmp -s - "$A/receiver.exe" || fail "the signed zip's receiver.exe is not the signed one"
[ "$(unzip -Z1 "$A/$zip_name")" = "$(unzip -Z1 "$release/$zip_name")" ] || fail "the signed zip's entries are in another order"
listing() { TZ=UTC0 LC_ALL=C unzip -Z -v "$1" "$2" | sed -n '/^Central directory entry/,$p' | sed '/offset of local header/{N;d}'; }
[ "$(listing "$A/$zip_name" receiver.exe | grep -E 'last modified|file attributes')" = \
    "$(listing "$release/$zip_name" receiver.exe | grep -E 'last modified|file attributes')" ] ||
    fail "the signed zip's receiver.exe has another date or other permissions"
spans() { # each entry's name, the offset of its local header and the bytes up to the next one
    TZ=UTC0 LC_ALL=C unzip -Z -v "$1" | awk '
        /^Central directory entry #/ { getline; getline; getline; name = $1 }
        /offset of local header from start of archive:/ { n++; names[n] = name; at[n] = $NF }
        /its \(expected\) offset in bytes/ { getline; end = $2 }
        END { at[n + 1] = end; for (i = 1; i <= n; i++) print names[i], at[i], at[i + 1] - at[i] }'
}
bytes() { tail -c "+$(($2 + 1))" "$1" | head -c "$3"; }
while read -r name at length; do
    [ "$name" = receiver.exe ] && continue
    read -r _ signed_at signed_length < <(spans "$A/$zip_name" | grep "^$name ")
    cmp -s <(bytes "$release/$zip_name" "$at" "$length") <(bytes "$A/$zip_name" "${signed_at:-0}" "${signed_length:-0}") ||
        fail "the signed zip's $name entry is not the unsigned zip's, byte for byte"
    [ "$(listing "$A/$zip_name" "$name")" = "$(listing "$release/$zip_name" "$name")" ] ||
        fail "the signed zip's central directory entry of $name differs from the unsigned zip's"
done < <(spans "$release/$zip_name")

# The same release signed again, the key in the token, an exe signed elsewhere.
B=$(copy pfx-again)
sign "$B" PFX="$k/rsa.pfx" PFX_PASS_FILE="$k/pass"
diff -r "$A" "$B" >/dev/null || fail "signing the same release twice with the same RSA key gave other bytes"
C=$(copy pkcs11)
sign "$C" PKCS11_MODULE="$module" KEY="pkcs11:token=receiver-test;object=signer;type=private" \
    CERT="$k/rsa-chain.pem" PIN_FILE="$k/pin"
verify_sig "$C"
osslsigncode sign -certs "$k/ecdsa-chain.pem" -key "$k/ecdsa.key" -h sha256 -in "$release/receiver.exe" \
    -out "$work/ecdsa-signed.exe" >/dev/null 2>&1 || stop "osslsigncode cannot sign with the ECDSA key"
D=$(copy signed-elsewhere)
sign "$D" SIGNED="$work/ecdsa-signed.exe"
verify_sig "$D"
cmp -s "$D/receiver.exe" "$work/ecdsa-signed.exe" || fail "SIGNED= did not put the given exe in the release"

# The refusals. An exe of another build: the release's with another date in
# the PE header's time stamp, then signed.
cp "$release/receiver.exe" "$work/other-build.exe"
flip "$work/other-build.exe" $(($(od -An -tu4 -j 60 -N4 "$work/other-build.exe") + 8))
osslsigncode sign -certs "$k/ecdsa-chain.pem" -key "$k/ecdsa.key" -in "$work/other-build.exe" \
    -out "$work/other-build-signed.exe" >/dev/null 2>&1 || stop "osslsigncode cannot sign the other build"
printf '#!/bin/sh\n[ "$1" = --version ] && { echo "osslsigncode 2.5, using:"; exit 0; }\nexec %s "$@"\n' \
    "$(command -v osslsigncode)" >"$work/bin/osslsigncode"
chmod +x "$work/bin/osslsigncode"
E=$(copy unsigned)
N=$(copy no-record)
rm "$N/${zip_name%.zip}.buildinfo"
refused() { # WANT RELEASE [VARIABLE=VALUE...]: release/sign.sh refuses with WANT and changes nothing
    local want=$1 folder=$2 before
    shift 2
    before=$(snapshot "$folder")
    if env "$@" "$source_dir/scripts/release/sign.sh" "$folder" >"$work/out" 2>&1; then
        fail "signing $folder with $* was not refused"
    elif ! grep -qF "$want" "$work/out"; then
        fail "signing $folder with $* was refused with \"$(cat "$work/out")\", not \"$want\""
    fi
    [ "$(snapshot "$folder")" = "$before" ] || fail "the refused signing with $* changed $folder"
}
pfx=(PFX="$k/rsa.pfx" PFX_PASS_FILE="$k/pass")
refused "is not a release made by make dist" "$N" "${pfx[@]}"
refused "is already signed" "$A" "${pfx[@]}"
refused "no signer given" "$E"
refused "more than one signer given" "$E" "${pfx[@]}" SIGNED="$work/ecdsa-signed.exe"
refused "has no extended key usage codeSigning" "$E" PFX="$k/tls.pfx" PFX_PASS_FILE="$k/pass"
refused "expired" "$E" PFX="$k/expired.pfx" PFX_PASS_FILE="$k/pass"
refused "is not this release's receiver.exe signed" "$E" SIGNED="$work/other-build-signed.exe"
refused "osslsigncode 2.5 is installed here" "$E" PATH="$work/bin:$PATH" "${pfx[@]}"
bad_signature "$A/receiver.exe" "$work/bad-signature.exe"
refused "the signature does not verify" "$E" SIGNED="$work/bad-signature.exe"
before=$(snapshot "$E")
make -C "$source_dir" sign RELEASE="$E" PKCS11_MODULE="$module" CERT="$k/rsa-chain.pem" PIN_FILE="$k/pin" \
    KEY="pkcs11:token=receiver-test;object=signer;pin-value=314159" >"$work/out" 2>&1 &&
    fail "make sign took a PIN in the key's URI"
grep -q 314159 "$work/out" && fail "make sign showed the PIN: $(cat "$work/out")"
[ "$(snapshot "$E")" = "$before" ] || fail "the refused signing with a PIN in the URI changed $E"

# The signed receiver.exe under Wine, while the rest goes on.
if [ $status = 0 ]; then touch "$work/wine-go"; else touch "$work/wine-skip"; fi

# make verify-release: one rebuild, then altered copies against it.
verify() { # WANT-STATUS WANT-VERDICT RELEASE [VARIABLE=VALUE...]; the output is in $work/out
    local want=$1 verdict=$2 folder=$3 got
    shift 3
    if [ "$want" = rebuild ]; then
        make -s -C "$source_dir" verify-release RELEASE="$folder" "$@" >"$work/out" 2>&1
        got=$?
        want=0
    else
        env RECEIVER_VERIFY_REBUILT="$release" "$@" "$source_dir/scripts/release/verify.sh" "$folder" >"$work/out" 2>&1
        got=$?
    fi
    if [ $got != "$want" ] || ! tail -n 1 "$work/out" | grep -q "^verify-release: $verdict"; then
        fail "verify-release $folder $*: exit $got, not $want with $verdict:"
        cat "$work/out"
        return 1
    fi
}
says() { grep -qF "$1" "$work/out" || fail "verify-release $2 does not say \"$1\": $(cat "$work/out")"; }
fingerprint=$(openssl x509 -in "$k/rsa.pem" -noout -fingerprint -sha256 | sed 's/^[^=]*=//')
if verify rebuild "SAME BYTES" "$A" CAFILE="$k/ca.pem"; then
    serial=$(openssl x509 -in "$k/rsa.pem" -noout -serial | sed 's/^serial=//')
    for want in "signer: CN = Receiver Test rsa, O = Test" "issuer: CN = Receiver Test CA" "serial number: $serial" \
        "SHA-256 fingerprint: $fingerprint" "signature: verifies"; do
        says "$want" "of the signed release"
    done
fi
verify 0 "SAME BYTES" "$A" && says "signature: valid, but it does not verify against the system's CAs" "without CAFILE"
F=$(copy changed-code "$A")
read -r size at < <(i686-w64-mingw32-objdump -h "$F/receiver.exe" | awk '$2 == ".text" { print $3, $6 }')
flip "$F/receiver.exe" $((16#$at + 16#$size / 2))
verify 1 "OTHER BYTES: the rebuilt receiver.exe, with" "$F" CAFILE="$k/ca.pem" &&
    says "signature: INVALID" "with a byte of code changed"
G=$(copy other-key "$A")
cp "$D/receiver.exe.sig" "$G/"
verify 1 "OTHER BYTES: the rebuilt receiver.exe and $zip_name, with" "$G" CAFILE="$k/ca.pem"
# A release signed with that signature, as signing would have written it (the
# PE checksum made again): attach-signature writes the file though it cannot verify it.
I=$(copy bad-signature "$A")
rm "$I/receiver.exe" "$I/receiver.exe.sig"
osslsigncode extract-signature -in "$work/bad-signature.exe" -out "$I/receiver.exe.sig" >/dev/null 2>&1
osslsigncode attach-signature -sigin "$I/receiver.exe.sig" -in "$release/receiver.exe" -out "$I/receiver.exe" \
    >/dev/null 2>&1
"$rule" "$release/$zip_name" "$I/receiver.exe" "$I/$zip_name" || fail "zip-replace-exe.sh failed"
verify 3 "BAD SIGNATURE" "$I" CAFILE="$k/ca.pem" && says "signature: INVALID" "with a byte of the signature changed"
ecdsa=$(openssl x509 -in "$k/ecdsa.pem" -noout -fingerprint -sha256 | sed 's/^[^=]*=//')
verify 4 "OTHER SIGNER" "$A" SIGNER="$ecdsa"
verify 0 "SAME BYTES" "$A" SIGNER="$(tr -d : <<<"$fingerprint" | tr A-F a-f)"
verify 4 "OTHER SIGNER" "$release" SIGNER="$ecdsa"
H=$(copy no-signature "$A")
rm "$H/receiver.exe.sig"
verify 2 "CANNOT CHECK: receiver.exe is signed, but its detached signature receiver.exe.sig" "$H"
verify 2 "CANNOT CHECK: .*osslsigncode 2.9 or later; 2.5 is installed" "$A" PATH="$work/bin:$PATH"
if verify 0 "SAME BYTES" "$release" && grep -E '^signer|^signature|, signed' "$work/out"; then
    fail "verify-release speaks of a signature of the unsigned release"
fi

wait $wine_run
[ "$(tr -d '\r\n' <"$work/exit-code" 2>/dev/null)" = 0 ] ||
    fail "the signed receiver.exe did not start and quit with exit code 0 under Wine${where:+ in the guest}: $(cat "$work/exit-code" "$work/wine.log" 2>/dev/null)"

if [ $status = 0 ]; then rm -rf "$work"; else echo "the files are left in $work"; fi
passed "make sign signs with each signer and refuses what it should; make verify-release sees through the signature"
