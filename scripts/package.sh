#!/usr/bin/env bash
# Writes the release into a folder: receiver-<version>-win32.zip holding
# receiver.exe and README.txt, receiver.exe beside it, and SHA256SUMS for the
# zip and receiver.exe, in the format `sha256sum -c` reads. The same inputs give
# the same bytes whatever the umask, time zone, locale or time of the run: the
# entries are stored in a fixed order, dated by the source date (as UTC), with
# permissions 0644 and no extra fields (no Unix times, owners or groups).
# Arguments: receiver.exe, README.txt, version, source-date-epoch file, output folder.
set -euo pipefail
exe=$1
readme=$2
version=$3
epoch=$(cat "$4")
out=$5
zip_name=receiver-$version-win32.zip

stage=$(mktemp -d "${TMPDIR:-/tmp}/receiver-dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/files"
cp "$exe" "$stage/files/receiver.exe"
cp "$readme" "$stage/files/README.txt"
chmod 0644 "$stage/files/receiver.exe" "$stage/files/README.txt"
touch -d "@$epoch" "$stage/files/receiver.exe" "$stage/files/README.txt"
# zip turns a file's time into the local time of TZ: UTC here.
(cd "$stage/files" && TZ=UTC0 LC_ALL=C zip -q -X -D -9 "$stage/$zip_name" receiver.exe README.txt)
cp "$stage/files/receiver.exe" "$stage/receiver.exe"
(cd "$stage" && LC_ALL=C sha256sum "$zip_name" receiver.exe >SHA256SUMS)

mkdir -p "$out"
rm -f "$out"/receiver-*-win32.zip "$out/receiver.exe" "$out/SHA256SUMS"
cp "$stage/$zip_name" "$stage/receiver.exe" "$stage/SHA256SUMS" "$out/"
echo "release in $out:"
sed 's/^/  /' "$out/SHA256SUMS"
