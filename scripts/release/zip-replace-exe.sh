#!/usr/bin/env bash
# The one rule that makes a signed release's zip, used by `make sign` and by
# `make verify-release` alike: the unsigned zip with its receiver.exe entry
# replaced by the given receiver.exe (the signed one), keeping the entry's place,
# date and permissions, stored as package.sh stores entries (deflated at -9, no
# extra fields). zip copies every other entry as it is, so the rest of the zip
# changes only where the new entry's size moves it. The same inputs give the
# same bytes whatever the umask, time zone or locale.
# Arguments: the unsigned zip, the receiver.exe to put in it, the zip to write.
set -euo pipefail
zip_in=$1
exe=$2
out=$3
entry=receiver.exe

fail() {
    echo "zip-replace-exe: $*" >&2
    exit 1
}
# zipinfo shows the entry's DOS date and time as they are stored (the entries
# have no extra fields with Unix times), read here and written back in UTC.
line=$(TZ=UTC0 LC_ALL=C unzip -Z -T "$zip_in" "$entry" 2>/dev/null) || fail "$zip_in holds no $entry"
stamp=$(awk '{print $7}' <<<"$line")
[[ $stamp =~ ^([0-9]{8})\.([0-9]{2})([0-9]{2})([0-9]{2})$ ]] || fail "cannot read the date of $entry in $zip_in"
when="${BASH_REMATCH[1]} ${BASH_REMATCH[2]}:${BASH_REMATCH[3]}:${BASH_REMATCH[4]}"
mode=$(TZ=UTC0 LC_ALL=C unzip -Z -v "$zip_in" "$entry" | sed -n 's/.*Unix file attributes (1\([0-7]\{5\}\) octal).*/\1/p')
[ -n "$mode" ] || fail "$entry in $zip_in has no Unix permissions"

stage=$(mktemp -d "${TMPDIR:-/tmp}/receiver-zip.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/files"
cp "$exe" "$stage/files/$entry"
chmod "$mode" "$stage/files/$entry"
TZ=UTC0 touch -d "$when" "$stage/files/$entry"
cp "$zip_in" "$stage/out.zip"
# An entry of the same name is replaced where it stands.
(cd "$stage/files" && TZ=UTC0 LC_ALL=C zip -q -X -D -9 "$stage/out.zip" "$entry")
mv "$stage/out.zip" "$out"
