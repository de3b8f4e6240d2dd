#!/usr/bin/env bash
# Writes the release into a folder: receiver-<version>-win32.zip holding
# receiver.exe, README.txt, LICENSE.txt and CHANGES.txt, receiver.exe beside it,
# the build record receiver-<version>-win32.buildinfo (buildinfo.sh), and SHA256SUMS for
# the three, in the format `sha256sum -c` reads. The same inputs give the same
# bytes whatever the umask, time zone, locale or time of the run: the entries
# are stored in a fixed order, dated by the source date (as UTC), with
# permissions 0644 and no extra fields (no Unix times, owners or groups).
# Arguments: receiver.exe, README.txt, LICENSE.txt, CHANGES.txt, version,
# source-date-epoch file, flags file (CMake's settings), source folder, output
# folder.
set -euo pipefail
exe=$1
readme=$2
license=$3
changes=$4
version=$5
epoch_file=$6
flags=$7
source_dir=$8
out=$9
epoch=$(cat "$epoch_file")
name=receiver-$version-win32
files=(receiver.exe README.txt LICENSE.txt CHANGES.txt)

stage=$(mktemp -d "${TMPDIR:-/tmp}/receiver-dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/files"
cp "$exe" "$stage/files/receiver.exe"
cp "$readme" "$stage/files/README.txt"
cp "$license" "$stage/files/LICENSE.txt"
cp "$changes" "$stage/files/CHANGES.txt"
(cd "$stage/files" && chmod 0644 "${files[@]}" && touch -d "@$epoch" "${files[@]}")
# zip turns a file's time into the local time of TZ: UTC here.
(cd "$stage/files" && TZ=UTC0 LC_ALL=C zip -q -X -D -9 "$stage/$name.zip" "${files[@]}")
cp "$stage/files/receiver.exe" "$stage/receiver.exe"
"$(dirname "${BASH_SOURCE[0]}")/buildinfo.sh" "$version" "$epoch_file" "$flags" "$source_dir" \
    "$stage/receiver.exe" "$stage/$name.zip" >"$stage/$name.buildinfo"
(cd "$stage" && LC_ALL=C sha256sum "$name.buildinfo" "$name.zip" receiver.exe >SHA256SUMS)

mkdir -p "$out"
rm -f "$out"/receiver-*-win32.zip "$out"/receiver-*-win32.buildinfo "$out/receiver.exe" "$out/SHA256SUMS"
cp "$stage/$name.zip" "$stage/$name.buildinfo" "$stage/receiver.exe" "$stage/SHA256SUMS" "$out/"
echo "release in $out:"
sed 's/^/  /' "$out/SHA256SUMS"
