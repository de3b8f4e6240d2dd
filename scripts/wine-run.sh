#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest and the demo scripts, on a
# virtual X display when there is none. Exits with the program's exit code, or
# 77, which ctest counts as skipped, where this kernel runs no i386 programs.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if ! "$receiver_root/scripts/runs-i386.sh"; then
  echo "skipped: this kernel runs no i386 programs, so Wine cannot run ${1##*/} here" \
    "(docs/testing.md#where-wine-cannot-run)" >&2
  exit 77
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
wine_prefix_ready

# Wine's helper processes inherit the output descriptors of the program that
# started them and keep them open after it ends; a pipe (ctest's) would then
# never close. The program writes to a file instead, which is copied out.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
tr -d '\r' <"$out"
exit $rc
