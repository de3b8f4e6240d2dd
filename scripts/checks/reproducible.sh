#!/usr/bin/env bash
# Checks with Debian's reprotest that `make dist` gives the same release (the
# zip, receiver.exe, the build record and SHA256SUMS) whoever builds it,
# wherever and whenever. reprotest copies the source without build/ (its CMake
# cache and Wine prefix belong to this folder's path) but with .git, which dates
# the build, and builds it once as it is and then again under every variation
# that works on this machine:
#   - environment, build path, kernel personality, ASLR, number of CPUs (1, then
#     all), time (faketime), file ordering (disorderfs), domain and host name
#     (unshare), HOME, locale (et_EE.UTF-8), PATH, time zone and umask;
#   - then the same but as another user and group, the account receiver-builder
#     that install-deps.sh adds, and without disorderfs: /dev/fuse is root's
#     alone here, so the other user cannot mount it. Left out, with a note, when
#     not run as root or without that account.
# The release must also hold the bytes of this folder's own receiver.exe. Then,
# what reprotest does not do: a comparison must be seen to catch a time stamp.
# receiver.exe built with a date one day later must differ from reprotest's,
# and only in the PE header's time stamp and checksum. Last, when the source is
# a git clone, the date chosen without SOURCE_DATE_EPOCH must be the last
# commit's.
# Arguments: source folder, this folder's receiver.exe, its source-date-epoch file.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
first=$2
epoch=$(cat "$3")
builder=receiver-builder

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

# A 32-bit little-endian number at byte offset $2 of file $1.
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
pe_header() { u32 "$1" 60; }
pe_time() { u32 "$1" $(($(pe_header "$1") + 8)); }

mkdir "$work/source" "$work/bin"
tar -C "$source_dir" --exclude=./build -cf - . | tar -C "$work/source" -xf -

variations=(--variations "+all,-user_group")
if [ "$(id -u)" = 0 ] && id -u "$builder" >/dev/null 2>&1; then
    variations+=(--extra-build "+user_group,-fileordering,user_group.available+=$builder:$builder,domain_host.use_sudo=1")
    # reprotest 0.7.23 runs `sudo -h localhost COMMAND`, which Debian 12's sudo
    # refuses ("a remote host may only be specified when listing privileges").
    printf '#!/bin/sh\n[ "$1 $2" = "-h localhost" ] && shift 2\nexec /usr/bin/sudo "$@"\n' >"$work/bin/sudo"
    chmod +x "$work/bin/sudo"
else
    echo "note: user and group not varied: that needs root and the account $builder (install-deps.sh adds it)"
fi
if ! PATH=$work/bin:$PATH reprotest --verbosity 1 --min-cpus 1 "${variations[@]}" --store-dir "$work/store" \
    --diffoscope-arg=--max-text-report-size=20000 -s "$work/source" 'make dist' 'build/dist/*' \
    >"$work/reprotest.log" 2>&1; then
    grep -vE '^(gmake|\[)' "$work/reprotest.log" | tail -n 80
    fail "reprotest found builds of the release that differ, or could not build it"
fi
grep -E '^INFO:reprotest:build "' "$work/reprotest.log" | sed 's/^INFO:reprotest://' || true
release=$work/store/control/source-root/build/dist
echo "reprotest: the same $(ls "$release" | paste -sd' ' -)"
cmp "$first" "$release/receiver.exe" || fail "this folder's receiver.exe is not the release's"
[ "$(pe_time "$first")" = "$epoch" ] ||
    fail "$first has PE time stamp $(pe_time "$first"), not its source date $epoch"

# The comparison with a time stamp let in: receiver.exe alone, dated a day later.
later=$work/source/build/win32/receiver.exe
(
    cd "$work/source"
    export SOURCE_DATE_EPOCH=$((epoch + 86400))
    cmake --preset win32 && cmake --build --preset win32 --target receiver -j "$(nproc)"
) >"$work/build.log" 2>&1 || {
    tail -n 30 "$work/build.log"
    fail "the build dated a day later failed"
}
if cmp -s "$first" "$later"; then
    fail "a build dated a day later has the same bytes: the comparison cannot see a time stamp"
fi
header=$(pe_header "$first")
stamp_at=$((header + 8))
checksum_at=$((header + 88))
while read -r offset _; do
    at=$((offset - 1))
    if [ $at -lt $stamp_at ] || [ $at -ge $((stamp_at + 4)) ]; then
        if [ $at -lt $checksum_at ] || [ $at -ge $((checksum_at + 4)) ]; then
            fail "dated a day later, byte $at differs too, outside the time stamp and checksum"
        fi
    fi
done < <(cmp -l "$first" "$later" || true)
[ "$(pe_time "$later")" = $((epoch + 86400)) ] || fail "the later build is not dated by SOURCE_DATE_EPOCH"
echo "dated a day later, it differs in the PE time stamp and checksum only, as it must"

# Without SOURCE_DATE_EPOCH the date is the last commit's.
if commit_time=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null); then
    env -u SOURCE_DATE_EPOCH cmake -DSOURCE_DIR="$source_dir" -DOUTPUT="$work/commit-date" \
        -P "$source_dir/cmake/SourceDateEpoch.cmake"
    [ "$(cat "$work/commit-date")" = "$commit_time" ] ||
        fail "without SOURCE_DATE_EPOCH the date is $(cat "$work/commit-date"), not the last commit's $commit_time"
    echo "without SOURCE_DATE_EPOCH the date is the last commit's, $commit_time"
fi
echo "the release is reproducible"
