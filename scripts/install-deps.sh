#!/usr/bin/env bash
# Installs, as root and only when something is missing, what building and testing
# the Receiver needs on Debian 12: the MinGW-w64 i686 and x86_64 cross compilers
# (the program and its 64-bit twin), Wine (32- and 64-bit), Xvfb,
# the fonts that give Wine Windows' metrics (Wine's own MS Sans Serif, Tahoma and
# Marlett; Liberation Sans, Serif and Mono for Arial, Times New Roman and
# Courier New), the native test tools, and reprotest with what its variations
# need: the et_EE.UTF-8 locale and a second account to build as, and
# osslsigncode 2.9 or later for signed releases: Debian 12's own is 2.5, so
# when no newer one can be had from the configured suites it comes from the
# backports suite of the system's own Debian mirror (the one its apt sources
# name for the release), which is added to the apt sources. Where the kernel
# runs no i386 programs, which 32-bit Wine needs, it also installs QEMU and
# debootstrap, with which make test makes an emulated guest for the 32-bit
# suites (scripts/guest/), and says so. Quick when everything is already there.
#
# A Debian mirror in the middle of a sync can fail `apt-get update` for one index
# and leave an architecture's libraries a version behind the other's, so that
# wine32:i386 cannot be installed: update is tried a few times, and an install
# that then fails on dependencies is tried once more with the release's own
# suite preferred (-t CODENAME).
set -euo pipefail

native_pkgs=(cmake make g++ googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev imagemagick xauth
  python3 clang-format clang-tidy cppcheck llvm-14)
win_pkgs=(g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 g++-mingw-w64-x86-64
  mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb fonts-wine fonts-liberation)
# git dates receiver.exe by the last commit; zip and unzip make and check the release;
# pev (peres, pesec) and xmllint read back the manifest and the security flags of
# receiver.exe; softhsm2, opensc and the PKCS#11 engine give the signing test a
# key on a token.
release_pkgs=(git zip unzip pev libxml2-utils softhsm2 opensc libengine-pkcs11-openssl)
# reprotest and its variations: faketime (time), disorderfs (file order), sudo
# (user and group), locales (to make the locale below); diffoscope shows where
# two builds differ.
reprotest_pkgs=(reprotest faketime disorderfs sudo locales diffoscope-minimal)
# The locale reprotest's locales variation builds in, and the account its
# user_group variation builds as (scripts/checks/reproducible.sh).
locale=et_EE.UTF-8
builder=receiver-builder
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Some virtual machines run 64-bit user code only: their kernel refuses i386
# programs, 32-bit Wine's among them. The 32-bit suites then run in a guest
# system under QEMU, made from Debian's packages with debootstrap.
guest_pkgs=()
i386=0
"$here/wine/runs-i386.sh" || i386=$?
[ $i386 = 0 ] || guest_pkgs=(qemu-system-x86 debootstrap)

missing=()
for p in "${native_pkgs[@]}" "${win_pkgs[@]}" "${release_pkgs[@]}" "${reprotest_pkgs[@]}" "${guest_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
has_locale() { locale -a 2>/dev/null | grep -qi "^${locale%.*}\\.utf-\\?8$"; }
has_builder() { id -u "$builder" >/dev/null 2>&1; }
warn_i386() {
  [ $i386 != 1 ] ||
    echo "install-deps: this kernel runs no i386 programs (see dmesg): make test runs the 32-bit Windows" \
      "suites in an emulated guest (scripts/guest/), and make run and make bench use the 64-bit twin" >&2
}
# Empty when osslsigncode will do, else the version found ("none" when none).
signing_tool=$("$here/release/signing-tool.sh") && signing_tool=
if [ ${#missing[@]} -eq 0 ] && [ -z "$signing_tool" ] && has_locale && has_builder; then
  warn_i386
  exit 0
fi

# Without root nothing is installed: missing packages stop the build; what
# only signing or the reproducibility check needs is named, and the rest goes on.
if [ "$(id -u)" -ne 0 ]; then
  if [ ${#missing[@]} -ne 0 ]; then
    echo "install-deps: these packages are missing, and only root can install them (run this script as" \
      "root): ${missing[*]}" >&2
    exit 1
  fi
  warn_i386
  [ -z "$signing_tool" ] ||
    echo "install-deps: osslsigncode is $signing_tool here: signing a release and checking a signed one need" \
      "osslsigncode 2.9 or later (run this script as root to install it); building, make dist and checking" \
      "an unsigned release do not" >&2
  has_locale && has_builder ||
    echo "install-deps: the reproducibility check needs the locale $locale and the account $builder" \
      "(run this script as root to add them)" >&2
  exit 0
fi

log=$(mktemp "${TMPDIR:-/tmp}/install-deps.XXXXXX")
trap 'rm -f "$log"' EXIT
# apt's error lines from the last command, on one line.
apt_errors() { grep -E '^(E|Err):' "$log" | sed 's/  */ /g' | paste -sd' ' -; }

# Up to four tries, 30 s apart; index_failure holds apt's errors when all failed.
update() {
  index_failure=
  for try in 1 2 3 4; do
    if apt-get update -qq >"$log" 2>&1; then
      index_failure=
      return
    fi
    index_failure=$(apt_errors)
    if [ $try -lt 4 ]; then
      echo "install-deps: apt-get update failed (try $try of 4), again in 30 s: $index_failure" >&2
      sleep 30
    fi
  done
}

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
fi
if [ ${#missing[@]} -ne 0 ] || [ -n "$signing_tool" ]; then
  update
fi
if [ ${#missing[@]} -ne 0 ]; then
  install() { apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >"$log" 2>&1; }
  if ! install; then
    if [ -n "$index_failure" ] && grep -qE 'held broken packages|unmet dependencies' "$log"; then
      codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
      echo "install-deps: packages out of step after a failed index; installing with -t $codename" >&2
      if [ -n "$codename" ] && install -t "$codename"; then
        index_failure=done
      fi
    fi
    if [ "$index_failure" != done ]; then
      if [ -n "$index_failure" ]; then
        echo "install-deps: cannot install: a package index failed to download ($index_failure), so the" \
          "Debian mirror is mid-sync or there is no network; apt-get install then said: $(apt_errors)." \
          "Wait a while and run this again, or use another mirror in /etc/apt/sources.list.d." >&2
      else
        echo "install-deps: cannot install, though every package index downloaded: $(apt_errors)." \
          "Another apt or dpkg at work holds its lock, or the disk is full: see to it and run this again." >&2
      fi
      exit 1
    fi
  fi
fi

# osslsigncode: from the configured suites when they have 2.9 or later, else
# from the release's backports suite on the mirror the apt sources name for the
# release itself (apt-get indextargets reads both kinds of source file).
if [ -n "$signing_tool" ]; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  backports=$codename-backports
  candidate=$(apt-cache policy osslsigncode 2>/dev/null | sed -n 's/^ *Candidate: //p')
  from=()
  if ! printf '%s\n' 2.9 "${candidate%%-*}" | sort -V -C; then
    targets() { apt-get indextargets --no-release-info --format '$(TARGET_OF) $(RELEASE) $(REPO_URI)' | sort -u; }
    if ! targets | awk -v s="$backports" '$1 == "deb" && $2 == s { found = 1 } END { exit !found }'; then
      mirror=$(targets | awk -v s="$codename" '$1 == "deb" && $2 == s { print $3; exit }')
      if [ -z "$codename" ] || [ -z "$mirror" ]; then
        echo "install-deps: cannot install osslsigncode 2.9 (${signing_tool} here): no apt source names the" \
          "Debian mirror of the release ${codename:-(no code name in /etc/os-release)}" >&2
        exit 1
      fi
      eval "$(apt-config shell parts Dir::Etc::sourceparts/d)"
      echo "install-deps: adding $backports of $mirror to the apt sources (${parts}$backports.sources)," \
        "for osslsigncode 2.9"
      {
        echo "Types: deb"
        echo "URIs: $mirror"
        echo "Suites: $backports"
        echo "Components: main"
        keyring=/usr/share/keyrings/debian-archive-keyring.gpg
        if [ -f "$keyring" ]; then echo "Signed-By: $keyring"; fi
      } >"${parts}$backports.sources"
      update
    fi
    from=(-t "$backports")
  fi
  echo "install-deps: installing osslsigncode ${from[*]} (${signing_tool} here)"
  if ! apt-get install -y -qq --no-install-recommends "${from[@]}" osslsigncode >"$log" 2>&1; then
    echo "install-deps: cannot install osslsigncode: $(apt_errors)" >&2
    exit 1
  fi
  if ! found=$("$here/release/signing-tool.sh"); then
    echo "install-deps: osslsigncode is $found after installing it; signing needs 2.9 or later" >&2
    exit 1
  fi
fi

if ! has_locale; then
  echo "install-deps: making the locale $locale"
  grep -qx "$locale UTF-8" /etc/locale.gen || echo "$locale UTF-8" >>/etc/locale.gen
  locale-gen >/dev/null
fi
if ! has_builder; then
  echo "install-deps: adding the account $builder, for reprotest's builds as another user"
  useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$builder"
fi
warn_i386
