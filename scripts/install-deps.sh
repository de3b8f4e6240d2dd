#!/usr/bin/env bash
# Installs, as root and only when something is missing, what building and testing
# the Receiver needs on Debian 12: the MinGW-w64 i686 cross compiler, Wine, Xvfb,
# the fonts that give Wine Windows' metrics (Wine's own MS Sans Serif, Tahoma and
# Marlett; Liberation Sans, Serif and Mono for Arial, Times New Roman and
# Courier New) and the native test tools. Quick when everything is already there.
set -euo pipefail

native_pkgs=(cmake make g++ googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev imagemagick xauth
  python3 clang-format clang-tidy cppcheck llvm-14)
win_pkgs=(g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 wine wine32:i386 wine64 xvfb
  fonts-wine fonts-liberation)
# git dates receiver.exe by the last commit; zip and unzip make and check the release.
release_pkgs=(git zip unzip)

missing=()
for p in "${native_pkgs[@]}" "${win_pkgs[@]}" "${release_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
