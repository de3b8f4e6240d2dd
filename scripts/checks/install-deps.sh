#!/usr/bin/env bash
# Runs install-deps.sh against stand-ins on PATH for apt-get, apt-cache,
# apt-config, dpkg, dpkg-query, id, locale, osslsigncode and sleep (no network,
# nothing installed) and checks what it does when a package is missing and the
# Debian mirror is mid-sync: it tries `apt-get update` again after a pause,
# installs once more with -t and the release's code name when the install then
# fails on held broken packages, and otherwise stops with one message that names
# the failure. And when osslsigncode is older than 2.9, also the candidate: it
# adds the backports suite of the release's own mirror and installs from there.
# Without root it installs nothing, and stops only for a missing package.
set -u
script=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/install-deps.sh
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-install-deps.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
export CALLS=$work/calls
stand_in() {
    printf '#!/bin/sh\n%s\n' "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
# zip is the one package not installed, unless MISSING says none is.
stand_in dpkg-query '[ "$3" = "${MISSING-zip}" ] || echo "install ok installed"'
stand_in dpkg 'echo i386'
stand_in id 'echo "${ID_U:-0}"'
stand_in locale 'echo et_EE.utf8'
stand_in sleep 'echo "sleep $1" >>"$CALLS"'
# osslsigncode is OSSLSIGNCODE (by default 2.9) until installed from backports;
# the candidate from the configured suites is 2.5; the sources name a mirror for
# the release, another its security updates, and a vendor's its own suite.
export BACKPORTED=$work/backported SOURCES=$work/sources.list.d
mkdir "$SOURCES"
stand_in osslsigncode 'v=${OSSLSIGNCODE:-2.9}; [ -e "$BACKPORTED" ] && v=2.9; echo "osslsigncode $v, using:"'
stand_in apt-cache 'echo "  Candidate: 2.5-4"'
stand_in apt-config 'echo "parts='"'"'$SOURCES/'"'"'"'
# update fails UPDATE_FAILS times; install succeeds (ok), fails on held broken
# packages (held) unless given -t (held-unless-t), or finds dpkg locked (lock).
stand_in apt-get 'if [ "$1" = indextargets ]; then
  echo "deb apps http://vendor.example/apt/"
  echo "deb '"$codename"'-security http://security.example/debian-security/"
  echo "deb '"$codename"' http://mirror.example/debian/"
  [ -e "$SOURCES/'"$codename"'-backports.sources" ] && echo "deb '"$codename"'-backports http://mirror.example/debian/"
  exit 0
fi
echo "apt-get $*" >>"$CALLS"
case "$*" in *" -t '"$codename"'-backports osslsigncode") touch "$BACKPORTED" ;; esac
if [ "$1" = update ]; then
  [ "$(grep -c "^apt-get update" "$CALLS")" -gt "$UPDATE_FAILS" ] && exit 0
  echo "E: Failed to fetch http://mirror/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  exit 100
fi
case "$INSTALL:$*" in
ok:* | held-unless-t:*" -t "*) exit 0 ;;
held*) echo "E: Unable to correct problems, you have held broken packages." ;;
lock:*) echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)" ;;
esac
exit 100'

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# run NAME UPDATE_FAILS INSTALL WANT_STATUS WANT_CALLS [WANT_MESSAGE]: WANT_CALLS
# is the apt-get and sleep calls, one a line, without install's fixed options.
run() {
    : >"$CALLS"
    UPDATE_FAILS=$2 INSTALL=$3 PATH=$work/bin:$PATH "$script" >"$work/out" 2>&1
    local got=$? calls
    calls=$(sed 's/ -y -qq --no-install-recommends//' "$CALLS")
    if [ $got != "$4" ] || [ "$calls" != "$5" ] || { [ -n "${6:-}" ] && ! tail -n 1 "$work/out" | grep -qF "$6"; }; then
        fail "$1: exit $got (want $4); calls:"
        printf '%s\n' "$calls" "output:"
        cat "$work/out"
    fi
}
updates() { for ((i = 1; i <= $1; i++)); do
    echo "apt-get update -qq"
    [ $i = 4 ] || echo "sleep 30"
done; }

MISSING=none run "everything installed" 0 lock 0 ""
run "update fails twice" 2 ok 0 "$(updates 2)
apt-get update -qq
apt-get install zip"
run "index failed, held broken packages" 9 held-unless-t 0 "$(updates 4)
apt-get install zip
apt-get install -t $codename zip"
run "held broken packages with -t too" 9 held 1 "$(updates 4)
apt-get install zip
apt-get install -t $codename zip" "a package index failed to download (E: Failed to fetch"
run "dpkg locked" 0 lock 1 "apt-get update -qq
apt-get install zip" "every package index downloaded: E: Could not get lock"
MISSING=none OSSLSIGNCODE=2.5 run "osslsigncode 2.5" 0 ok 0 "apt-get update -qq
apt-get update -qq
apt-get install -t $codename-backports osslsigncode"
if ! grep -qx "URIs: http://mirror.example/debian/" "$SOURCES/$codename-backports.sources" ||
    ! grep -qx "Suites: $codename-backports" "$SOURCES/$codename-backports.sources"; then
    fail "the backports source is not the release's mirror's:"
    cat "$SOURCES/$codename-backports.sources"
fi

# Without root: nothing installed; a missing package stops it, an old osslsigncode does not.
ID_U=1000 run "not root, a package missing" 0 ok 1 "" "only root can install them (run this script as root): zip"
rm -f "$BACKPORTED"
ID_U=1000 MISSING=none OSSLSIGNCODE=2.5 run "not root, osslsigncode 2.5" 0 ok 0 "" "checking an unsigned release do not"

passed "install-deps survives a lagging mirror, names what stops it, takes osslsigncode from backports" \
    "and needs root only to install"
