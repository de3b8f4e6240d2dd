#!/usr/bin/env bash
# Builds receiver.exe a second time, alone, from a copy of the source in another
# folder, under another umask, time zone and locale, with -j1, and fails unless
# its bytes are those of the first build. Then shows that the comparison sees a
# time stamp: the copy relinked with a date one day later must differ, and only
# in the PE header's time stamp and checksum. Last, when the source is a git
# clone, the date chosen without SOURCE_DATE_EPOCH must be the last commit's.
# Arguments: source folder, the first build's receiver.exe, its source-date-epoch file.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
first=$2
epoch=$(cat "$3")

work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy=$work/elsewhere/second-copy
second=$copy/build/win32/receiver.exe

fail() {
    echo "FAIL: $*"
    exit 1
}

# A 32-bit little-endian number at byte offset $2 of file $1.
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
pe_header() { u32 "$1" 60; }
pe_time() { u32 "$1" $(($(pe_header "$1") + 8)); }

# The second build: the program alone, in a copy without the first build or
# git, dated by SOURCE_DATE_EPOCH from the first build.
build_second() { # SOURCE_DATE_EPOCH
    (
        cd "$copy"
        [ "$(umask)" = 0077 ] && umask 0002 || umask 0077
        export TZ=XST-13:45 LC_ALL=C.UTF-8 LANG=C.UTF-8 SOURCE_DATE_EPOCH=$1
        cmake --preset win32 >>"$work/build.log" 2>&1
        cmake --build --preset win32 --target receiver -j 1 >>"$work/build.log" 2>&1
    ) || {
        tail -n 30 "$work/build.log"
        fail "the second build failed"
    }
}

for path in "$source_dir" "$(dirname "$first")"; do
    if grep -qF "$path" "$first"; then
        fail "$first holds the build path $path"
    fi
done

mkdir -p "$copy"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
build_second "$epoch"
if ! cmp "$first" "$second"; then
    echo "differing bytes (offset, first, second, octal):"
    cmp -l "$first" "$second" | head -n 20 || true
    echo "PE time stamps: $(pe_time "$first") and $(pe_time "$second")"
    fail "the second build of receiver.exe differs from the first"
fi
echo "second build in $copy: the same $(stat -c %s "$first") bytes"
[ "$(pe_time "$first")" = "$epoch" ] ||
    fail "$first has PE time stamp $(pe_time "$first"), not its source date $epoch"

# The same comparison with a time stamp let in.
build_second $((epoch + 86400))
if cmp -s "$first" "$second"; then
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
done < <(cmp -l "$first" "$second" || true)
[ "$(pe_time "$second")" = $((epoch + 86400)) ] || fail "the later build is not dated by SOURCE_DATE_EPOCH"
echo "dated a day later, it differs in the PE time stamp and checksum only, as it must"

# Without SOURCE_DATE_EPOCH the date is the last commit's.
if commit_time=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null); then
    env -u SOURCE_DATE_EPOCH cmake -DSOURCE_DIR="$source_dir" -DOUTPUT="$work/commit-date" \
        -P "$source_dir/cmake/SourceDateEpoch.cmake"
    [ "$(cat "$work/commit-date")" = "$commit_time" ] ||
        fail "without SOURCE_DATE_EPOCH the date is $(cat "$work/commit-date"), not the last commit's $commit_time"
    echo "without SOURCE_DATE_EPOCH the date is the last commit's, $commit_time"
fi
echo "receiver.exe is reproducible"
