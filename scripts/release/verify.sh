#!/usr/bin/env bash
# `make verify-release RELEASE=<folder or zip> [REPO=<git repository>]`, what a
# rebuilder runs: reads the build record beside the zip, clones the commit it
# names from REPO (by default this clone) into a temporary folder, makes the
# release there with `make dist` and the recorded SOURCE_DATE_EPOCH, and
# compares receiver.exe (beside the zip, else the zip's own) and the zip byte
# for byte with the rebuilt ones. It names every package of the record whose
# installed version differs, since that alone can explain other bytes, and when
# the bytes differ and diffoscope is installed it prints diffoscope's report,
# cut short.
# A signed release (make sign) is checked through its signature: the detached
# signature receiver.exe.sig beside the zip is attached to the rebuilt
# receiver.exe, the zip is made again from the rebuilt one by the signing rule
# (zip-replace-exe.sh), and both must be the given bytes. It says who signed
# and whether the signature verifies (signature-report.sh; CAFILE=<PEM file>
# names a private CA): a signature that does not hold as cryptography fails
# the check; one that holds but whose chain reaches no CA known here is only
# reported. SIGNER=<SHA-256 fingerprint> (hexadecimal, with or without colons)
# names the certificate the release must be signed by. The build record
# describes the unsigned build: its checksums are compared with receiver.exe
# without its signature and with the rebuilt, unsigned zip.
# The last line is the verdict, and its exit status, the first that applies:
#   2 CANNOT CHECK: the release cannot be read or rebuilt;
#   1 OTHER BYTES: the rebuilt files, signed as the given ones, differ;
#   3 BAD SIGNATURE: the same bytes, but the signature does not verify;
#   4 OTHER SIGNER: the same bytes, but not signed by the SIGNER= certificate;
#   0 SAME BYTES.
# RECEIVER_VERIFY_REBUILT=<folder> takes the release already rebuilt there from
# the record's commit and date instead of cloning and building again (the
# signing test checks altered copies of one release against one rebuild).
# Arguments: the release (folder or zip), optionally the repository; else
# RELEASE and REPO from the environment (make passes its variables there).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$here/scripts/release/common.sh"
release=${1:-${RELEASE:-}}
repo=${2:-${REPO:-$here}}

verdict() {
    echo "verify-release: $2"
    exit "$1"
}
[ -n "$release" ] || verdict 2 "CANNOT CHECK: no release given (make verify-release RELEASE=<folder or zip>)"
signer=$(tr -d ': ' <<<"${SIGNER:-}" | tr a-f A-F)
[ -z "${SIGNER:-}" ] || [[ $signer =~ ^[0-9A-F]{64}$ ]] ||
    verdict 2 "CANNOT CHECK: SIGNER= is not a SHA-256 fingerprint (64 hexadecimal digits): $SIGNER"
if [ -d "$release" ]; then
    zip=$(release_zip "$release") || verdict 2 "CANNOT CHECK: $release holds no one receiver-*-win32.zip"
elif [ -f "$release" ] && [[ $release == *.zip ]]; then
    zip=$release
else
    verdict 2 "CANNOT CHECK: $release is neither a folder nor a zip"
fi
zip_name=$(basename "$zip")
record=$(release_record "$zip")
[ -f "$record" ] || verdict 2 "CANNOT CHECK: no build record $(basename "$record") beside $zip_name"

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-verify.XXXXXX")
trap 'rm -rf "$work"' EXIT
exe=$(dirname "$zip")/receiver.exe
if [ ! -f "$exe" ]; then
    exe=$work/receiver.exe
    unzip -p "$zip" receiver.exe >"$exe" 2>/dev/null || verdict 2 "CANNOT CHECK: $zip_name holds no receiver.exe"
fi
# Signed: receiver.exe carries a signature (extract-signature succeeds on a
# signed file alone), or its detached signature lies beside the zip.
sig=$(dirname "$zip")/receiver.exe.sig
exe_signed= bad_signature= signed_by=
command -v osslsigncode >/dev/null &&
    osslsigncode extract-signature -in "$exe" -out "$work/given.sig" >/dev/null 2>&1 && exe_signed=yes
signed=
[ -n "$exe_signed" ] || [ -f "$sig" ] && signed=yes

commit=$(field commit)
epoch=$(field SOURCE_DATE_EPOCH)
[[ $commit =~ ^[0-9a-f]{40}$ ]] || verdict 2 "CANNOT CHECK: the build record names no commit (\"$commit\")"
[[ $epoch =~ ^[0-9]+$ ]] || verdict 2 "CANNOT CHECK: the build record holds no SOURCE_DATE_EPOCH (\"$epoch\")"
if [ -n "$signed" ]; then
    tool=$("$here/scripts/release/signing-tool.sh") ||
        verdict 2 "CANNOT CHECK: the release is signed, and checking a signed release needs osslsigncode 2.9 or later; $tool is installed here (scripts/install-deps.sh installs it)"
    [ -f "$sig" ] ||
        verdict 2 "CANNOT CHECK: receiver.exe is signed, but its detached signature receiver.exe.sig is not beside $zip_name, so the rebuilt receiver.exe cannot be given it"
fi
echo "release: $zip_name, commit $commit, SOURCE_DATE_EPOCH $epoch${signed:+, signed}"
if [ "$(field changes-not-committed)" != no ]; then
    echo "note: the release was made from a tree with changes not committed; its commit alone may not give its bytes"
fi
if [ -z "$signed" ]; then
    for file in "$exe" "$zip"; do
        name=$(basename "$file")
        [ "$file" = "$exe" ] && name=receiver.exe
        recorded "$file" "$name" || echo "note: the given $name is not the one whose SHA-256 the build record holds"
    done
elif [ -n "$exe_signed" ]; then
    CAFILE=${CAFILE:-} "$here/scripts/release/signature-report.sh" "$exe"
    [ $? = 1 ] && bad_signature=yes
    "$here/scripts/release/signing-cert.sh" "$work/given.sig" >"$work/signer.pem" 2>/dev/null &&
        signed_by=$(openssl x509 -in "$work/signer.pem" -noout -fingerprint -sha256 | sed 's/^[^=]*=//; s/://g')
    cmp -s "$work/given.sig" "$sig" || echo "note: receiver.exe.sig is not the signature the given receiver.exe carries"
    if osslsigncode remove-signature -in "$exe" -out "$work/unsigned.exe" >/dev/null 2>&1; then
        recorded "$work/unsigned.exe" receiver.exe ||
            echo "note: the given receiver.exe, without its signature, is not the one whose SHA-256 the build record holds"
    fi
else
    echo "signature: the given receiver.exe carries none, though receiver.exe.sig lies beside $zip_name"
fi
[ -z "$signer" ] || [ "$signed_by" = "$signer" ] ||
    echo "signer: not the certificate SIGNER= names (SHA-256 fingerprint ${SIGNER:-}): ${signed_by:-the release is not signed}"

# The toolchain: the record's packages as installed here.
toolchain=0
here_release=$(. /etc/os-release && echo "$VERSION_ID ($VERSION_CODENAME)")
if [ "$(field debian-release)" != "$here_release" ] || [ "$(field build-architecture)" != "$(dpkg --print-architecture)" ]; then
    echo "toolchain: Debian $here_release on $(dpkg --print-architecture) here," \
        "$(field debian-release) on $(field build-architecture) in the build record"
fi
while read -r package version; do
    installed=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null) || installed="not installed"
    if [ "$installed" != "$version" ]; then
        echo "toolchain: $package is $installed here, $version in the build record"
        toolchain=$((toolchain + 1))
    fi
done < <(sed -n 's/^package: //p' "$record")
[ $toolchain = 0 ] && echo "toolchain: every package of the build record is installed here at its recorded version"

# The rebuild.
if [ -n "${RECEIVER_VERIFY_REBUILT:-}" ]; then
    rebuilt_dir=$RECEIVER_VERIFY_REBUILT
    echo "rebuilding: not here; the release rebuilt in $rebuilt_dir is taken"
else
    source=$work/receiver
    git clone --quiet --no-checkout "$repo" "$source" || verdict 2 "CANNOT CHECK: $repo cannot be cloned"
    git -C "$source" checkout --quiet --detach "$commit" 2>/dev/null || verdict 2 "CANNOT CHECK: $repo has no commit $commit"
    echo "rebuilding: make dist in a clone of $repo at $commit"
    if ! (cd "$source" && SOURCE_DATE_EPOCH=$epoch make dist) >"$work/build.log" 2>&1; then
        tail -n 30 "$work/build.log"
        verdict 2 "CANNOT CHECK: the release of $commit did not build"
    fi
    rebuilt_dir=$source/build/dist
fi

names=(receiver.exe "$zip_name")
given=("$exe" "$zip")
rebuilt=("$rebuilt_dir/receiver.exe" "$rebuilt_dir/$zip_name")
attached=
if [ -n "$signed" ]; then
    # attach-signature exits 1 whenever it cannot verify the chain or the
    # digest, and still writes the file: the bytes are what count.
    mkdir "$work/signed"
    osslsigncode attach-signature -sigin "$sig" -in "${rebuilt[0]}" -out "$work/signed/receiver.exe" \
        >"$work/attach.log" 2>&1
    [ -f "$work/signed/receiver.exe" ] ||
        verdict 2 "CANNOT CHECK: receiver.exe.sig cannot be attached to the rebuilt receiver.exe: $(grep -v '^[[:space:]]*$' "$work/attach.log" | tail -n 2 | paste -sd' ')"
    recorded "${rebuilt[1]}" "$zip_name" ||
        echo "note: the unsigned $zip_name rebuilt here is not the one whose SHA-256 the build record holds"
    "$here/scripts/release/zip-replace-exe.sh" "${rebuilt[1]}" "$work/signed/receiver.exe" "$work/signed/$zip_name" ||
        verdict 2 "CANNOT CHECK: the signed zip cannot be made from the rebuilt one"
    rebuilt=("$work/signed/receiver.exe" "$work/signed/$zip_name")
    attached=", with receiver.exe.sig attached,"
fi
differ=()
for i in 0 1; do
    if ! cmp -s "${given[i]}" "${rebuilt[i]}"; then
        differ+=("${names[i]}")
        if command -v diffoscope >/dev/null; then
            echo "diffoscope, the given ${names[i]} (---) and the rebuilt one (+++), cut short:"
            diffoscope --text - --no-progress --max-text-report-size 4000 --max-diff-block-lines 20 \
                --max-page-diff-block-lines 20 "${given[i]}" "${rebuilt[i]}"
        fi
    fi
done
if [ ${#differ[@]} = 0 ]; then
    [ -z "$bad_signature" ] ||
        verdict 3 "BAD SIGNATURE: receiver.exe and $zip_name rebuilt from $commit$attached are the given ones, but the signature does not verify"
    [ -z "$signer" ] || [ "$signed_by" = "$signer" ] ||
        verdict 4 "OTHER SIGNER: receiver.exe and $zip_name rebuilt from $commit$attached are the given ones, but ${signed_by:+signed by another certificate than SIGNER= names}${signed_by:-not signed, and SIGNER= names a signer}"
    verdict 0 "SAME BYTES: receiver.exe and $zip_name rebuilt from $commit$attached are byte for byte the given ones"
fi
if [ $toolchain = 0 ]; then
    why="with the recorded toolchain: the given files are not what their commit builds"
else
    why="and $toolchain toolchain packages differ from the build record, which alone can explain it"
fi
if [ ${#differ[@]} = 1 ]; then
    verdict 1 "OTHER BYTES: the rebuilt ${differ[0]}$attached differs from the given one, $why"
fi
verdict 1 "OTHER BYTES: the rebuilt ${differ[0]} and ${differ[1]}$attached differ from the given ones, $why"
