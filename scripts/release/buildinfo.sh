#!/usr/bin/env bash
# Writes the build record of a release to standard output: plain text, one
# "key: value" a line. It names the source (commit, and whether the tree had
# changes not committed), its date (SOURCE_DATE_EPOCH), the Debian release and
# the installed version of every package whose files go into receiver.exe or
# decide its bytes, how receiver.exe is compiled and linked (CMake's settings),
# and the SHA-256 of receiver.exe and of the zip. It holds nothing that changes
# from one build of the same source to the next: no time, path or host name.
# Arguments: version, source-date-epoch file, flags file (CMake's settings),
# source folder, receiver.exe, zip.
set -euo pipefail
version=$1
epoch=$(cat "$2")
flags=$3
source_dir=$4
exe=$5
zip=$6

# The packages whose files the build of receiver.exe and the zip reads or runs,
# found with `dpkg -S` on them: the compiler drivers, cc1plus and cc1 (which
# windres preprocesses with), collect2, libgcc and libstdc++ (g++ and gcc
# -posix); as, ld, windres and strip (binutils); the headers (mingw-w64-common);
# the start-up code, import libraries and winpthreads (mingw-w64-i686-dev);
# cmake with the modules that set the default flags, make and zip.
tool_pkgs=(binutils-mingw-w64-i686 cmake cmake-data g++-mingw-w64-i686-posix gcc-mingw-w64-base
  gcc-mingw-w64-i686-posix make mingw-w64-common mingw-w64-i686-dev zip)
# The libraries cc1plus does its arithmetic and loop optimisation with, for the
# build machine's architecture.
arch=$(dpkg --print-architecture)
lib_pkgs=(libgmp10:$arch libisl23:$arch libmpc3:$arch libmpfr6:$arch)

echo "format: receiver-buildinfo 1"
echo "source: receiver $version"
if commit=$(git -C "$source_dir" rev-parse --verify -q HEAD 2>/dev/null); then
    echo "commit: $commit"
    git -C "$source_dir" diff --quiet HEAD -- && dirty=no || dirty=yes
    echo "changes-not-committed: $dirty"
else
    echo "commit: none (not a git clone)"
fi
echo "SOURCE_DATE_EPOCH: $epoch"
echo "debian-release: $(. /etc/os-release && echo "$VERSION_ID ($VERSION_CODENAME)")"
echo "build-architecture: $arch"
for p in "${tool_pkgs[@]}" "${lib_pkgs[@]}"; do
    echo "package: $p $(dpkg-query -W -f='${Version}' "$p" 2>/dev/null || echo '(not installed)')"
done
sed 's/ *$//' "$flags"
echo "sha256: $(sha256sum <"$exe" | cut -d' ' -f1) receiver.exe"
echo "sha256: $(sha256sum <"$zip" | cut -d' ' -f1) $(basename "$zip")"
