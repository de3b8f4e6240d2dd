#!/usr/bin/env bash
# Makes the release twice with package.sh, into two new folders under different
# umasks, time zones and locales, and fails unless both are the same bytes and
# the release holds what it should: a SHA256SUMS that `sha256sum -c` accepts; a
# zip of exactly receiver.exe (the built bytes) and README.txt, in that order,
# dated by the source date in UTC, 0644, with no extra fields in its local or
# central headers; a README.txt in plain ASCII with CRLF line ends that names
# the version.
# Arguments: receiver.exe, README.txt, version, source-date-epoch file.
set -euo pipefail
exe=$1
readme=$2
version=$3
epoch=$(cat "$4")
package=$(dirname "${BASH_SOURCE[0]}")/package.sh
zip_name=receiver-$version-win32.zip

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
one=$work/one
two=$work/elsewhere/two
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

(umask 0077 && TZ=XST-13:45 LC_ALL=C.UTF-8 "$package" "$@" "$one") >/dev/null
(umask 0002 && TZ=YST+11 LC_ALL=C "$package" "$@" "$two") >/dev/null
for f in "$zip_name" receiver.exe SHA256SUMS; do
    cmp "$one/$f" "$two/$f" || fail "$f differs between the two runs"
done
[ "$(ls "$one")" = "$(printf '%s\n' SHA256SUMS "$zip_name" receiver.exe)" ] ||
    fail "the release holds $(ls "$one" | paste -sd' ')"
(cd "$one" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c does not accept SHA256SUMS"
[ "$(cut -d' ' -f3 "$one/SHA256SUMS" | paste -sd' ')" = "$zip_name receiver.exe" ] ||
    fail "SHA256SUMS lists $(cut -d' ' -f3 "$one/SHA256SUMS" | paste -sd' ')"

zip=$one/$zip_name
[ "$(unzip -Z1 "$zip" | paste -sd' ')" = "receiver.exe README.txt" ] ||
    fail "the zip holds $(unzip -Z1 "$zip" | paste -sd' ')"
unzip -p "$zip" receiver.exe | cmp - "$exe" || fail "the zip's receiver.exe is not the built one"
cmp "$one/receiver.exe" "$exe" || fail "the release's receiver.exe is not the built one"

listing=$(TZ=UTC0 LC_ALL=C unzip -Z -v "$zip")
# zip keeps even seconds, rounding odd ones up.
dos_time=$(TZ=UTC0 LC_ALL=C date -d "@$(((epoch + 1) / 2 * 2))" '+%Y %b %-d %H:%M:%S')
[ "$(grep -c "(DOS date/time): *$dos_time\$" <<<"$listing")" = 2 ] ||
    fail "the entries are not dated $dos_time (UTC): $(grep 'DOS date' <<<"$listing")"
[ "$(grep -c 'Unix file attributes (100644 octal)' <<<"$listing")" = 2 ] ||
    fail "the entries' permissions are not 0644: $(grep 'Unix file attributes' <<<"$listing")"
[ "$(grep -c 'length of extra field: *0 bytes' <<<"$listing")" = 2 ] ||
    fail "the central headers carry extra fields"
# Each local header's extra-field length, 28 bytes into it.
while read -r offset; do
    extra=$(od -An -tu2 -j $((offset + 28)) -N2 "$zip" | tr -d ' ')
    [ "$extra" = 0 ] || fail "the local header at $offset carries $extra bytes of extra fields"
done < <(sed -n 's/.*offset of local header from start of archive: *\([0-9]*\).*/\1/p' <<<"$listing")

text=$work/README.txt
unzip -p "$zip" README.txt >"$text"
cmp "$text" "$readme" || fail "the zip's README.txt is not the built one"
lines=$(wc -l <"$text")
[ "$lines" -gt 0 ] && [ "$(tail -c 2 "$text" | od -An -c | tr -d ' ')" = '\r\n' ] ||
    fail "README.txt does not end in CRLF"
[ "$(grep -c $'\r$' "$text")" = "$lines" ] && [ "$(tr -cd '\r' <"$text" | wc -c)" = "$lines" ] ||
    fail "README.txt has line ends other than CRLF"
if LC_ALL=C grep -n $'[^\r -~]' "$text"; then
    fail "README.txt has characters other than printable ASCII"
fi
for want in "Zintra Receiver $version for Windows" "$zip_name" "certutil -hashfile receiver.exe SHA256" \
    "Get-FileHash receiver.exe -Algorithm SHA256"; do
    grep -qF "$want" "$text" || fail "README.txt does not say \"$want\""
done

[ $status = 0 ] && echo "the release is the same bytes twice and holds what it should"
exit $status
