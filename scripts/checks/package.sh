#!/usr/bin/env bash
# Makes the release with ../release/package.sh into a new folder and fails unless it holds
# what it should: a SHA256SUMS that `sha256sum -c` accepts; a zip of exactly
# receiver.exe (the built bytes), README.txt, LICENSE.txt and CHANGES.txt, in
# that order, dated by the source date in UTC, 0644, with no extra fields in its
# local or central headers; the three texts in plain ASCII with CRLF line ends; a build record that names the commit, the date, the toolchain's
# installed versions, the flags and the files' checksums, and no path or host
# name. That the release is the same bytes whoever builds it, wherever and
# whenever, is reprotest's to check (reproducible.sh).
# Arguments: those of release/package.sh but the output folder.
set -euo pipefail
exe=$1
readme=$2
version=$5
epoch=$(cat "$6")
source_dir=$8
name=receiver-$version-win32
zip_name=$name.zip

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
out=$work/release
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$(dirname "${BASH_SOURCE[0]}")/../release/package.sh" "$@" "$out" >/dev/null
[ "$(ls "$out" | paste -sd' ')" = "SHA256SUMS $name.buildinfo $zip_name receiver.exe" ] ||
    fail "the release holds $(ls "$out" | paste -sd' ')"
(cd "$out" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c does not accept SHA256SUMS"
[ "$(cut -d' ' -f3 "$out/SHA256SUMS" | paste -sd' ')" = "$name.buildinfo $zip_name receiver.exe" ] ||
    fail "SHA256SUMS lists $(cut -d' ' -f3 "$out/SHA256SUMS" | paste -sd' ')"

zip=$out/$zip_name
entries="receiver.exe README.txt LICENSE.txt CHANGES.txt"
[ "$(unzip -Z1 "$zip" | paste -sd' ')" = "$entries" ] || fail "the zip holds $(unzip -Z1 "$zip" | paste -sd' ')"
unzip -p "$zip" receiver.exe | cmp - "$exe" || fail "the zip's receiver.exe is not the built one"
cmp "$out/receiver.exe" "$exe" || fail "the release's receiver.exe is not the built one"

listing=$(TZ=UTC0 LC_ALL=C unzip -Z -v "$zip")
# zip keeps even seconds, rounding odd ones up.
dos_time=$(TZ=UTC0 LC_ALL=C date -d "@$(((epoch + 1) / 2 * 2))" '+%Y %b %-d %H:%M:%S')
[ "$(grep -c "(DOS date/time): *$dos_time\$" <<<"$listing")" = 4 ] ||
    fail "the entries are not dated $dos_time (UTC): $(grep 'DOS date' <<<"$listing")"
[ "$(grep -c 'Unix file attributes (100644 octal)' <<<"$listing")" = 4 ] ||
    fail "the entries' permissions are not 0644: $(grep 'Unix file attributes' <<<"$listing")"
[ "$(grep -c 'length of extra field: *0 bytes' <<<"$listing")" = 4 ] ||
    fail "the central headers carry extra fields"
# Each local header's extra-field length, 28 bytes into it.
while read -r offset; do
    extra=$(od -An -tu2 -j $((offset + 28)) -N2 "$zip" | tr -d ' ')
    [ "$extra" = 0 ] || fail "the local header at $offset carries $extra bytes of extra fields"
done < <(sed -n 's/.*offset of local header from start of archive: *\([0-9]*\).*/\1/p' <<<"$listing")

for text in README.txt LICENSE.txt CHANGES.txt; do
    unzip -p "$zip" "$text" >"$work/$text"
    lines=$(wc -l <"$work/$text")
    [ "$lines" -gt 0 ] && [ "$(tail -c 2 "$work/$text" | od -An -c | tr -d ' ')" = '\r\n' ] ||
        fail "$text does not end in CRLF"
    [ "$(grep -c $'\r$' "$work/$text")" = "$lines" ] && [ "$(tr -cd '\r' <"$work/$text" | wc -c)" = "$lines" ] ||
        fail "$text has line ends other than CRLF"
    if LC_ALL=C grep -n $'[^\r -~]' "$work/$text"; then
        fail "$text has characters other than printable ASCII"
    fi
done
cmp "$work/README.txt" "$readme" || fail "the zip's README.txt is not the built one"
tr -d '\r' <"$work/LICENSE.txt" | cmp - "$source_dir/LICENSE" || fail "LICENSE.txt is not LICENSE"
tr -d '\r' <"$work/CHANGES.txt" | cmp - "$source_dir/CHANGELOG.md" || fail "CHANGES.txt is not CHANGELOG.md"
grep -qF "## [$version]" "$work/CHANGES.txt" || fail "CHANGES.txt has no section for $version"
for want in "Zintra Receiver $version for Windows" "$zip_name" "certutil -hashfile receiver.exe SHA256" \
    "Get-FileHash receiver.exe -Algorithm SHA256" "LICENSE.txt"; do
    grep -qF "$want" "$work/README.txt" || fail "README.txt does not say \"$want\""
done

record=$out/$name.buildinfo
if grep -vnE '^[A-Za-z0-9_-]+:( .*[^ ])?$' "$record"; then
    fail "the build record has lines other than \"key: value\""
fi
want=("SOURCE_DATE_EPOCH: $epoch" "sha256: $(sha256sum <"$exe" | cut -d' ' -f1) receiver.exe"
    "sha256: $(sha256sum <"$zip" | cut -d' ' -f1) $zip_name")
if commit=$(git -C "$source_dir" rev-parse --verify -q HEAD); then
    git -C "$source_dir" diff --quiet HEAD -- && dirty=no || dirty=yes
    want+=("commit: $commit" "changes-not-committed: $dirty")
fi
for p in g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix gcc-mingw-w64-base binutils-mingw-w64-i686 \
    mingw-w64-common mingw-w64-i686-dev cmake make zip; do
    want+=("package: $p $(dpkg-query -W -f='${Version}' "$p")")
done
for line in "${want[@]}"; do
    grep -qxF "$line" "$record" || fail "the build record does not say \"$line\""
done
grep -qE '^COMPILE_OPTIONS: .*-Os' "$record" && grep -qE '^LINK_OPTIONS: .*-static' "$record" ||
    fail "the build record does not hold receiver.exe's compile and link options"
for leak in "$source_dir" "$(dirname "$exe")" "$work" "$(hostname)"; do
    if grep -nF "$leak" "$record"; then
        fail "the build record holds \"$leak\""
    fi
done

passed "the release holds what it should"
