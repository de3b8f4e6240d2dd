#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest and the demo scripts, on a
# virtual X display when there is none: a 64-bit program under 64-bit Wine in
# its prefix, a 32-bit one under 32-bit Wine. Exits with the program's exit
# code. Where a 32-bit program cannot run (a kernel that runs no i386
# programs) it fails and says so: a suite that did not run has not passed.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"

arch=$(pe_arch "$1") || { echo "wine-run: $1 is no Windows program for x86 or x86-64" >&2; exit 2; }
wine_arch "$arch"

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
if [ $rc -ne 0 ] && [ "$arch" = win32 ] && ! "$receiver_root/scripts/wine/runs-i386.sh"; then
  echo "wine-run: ${1##*/} is a 32-bit program and this kernel runs no i386 programs, so 32-bit Wine" \
    "cannot run it here: make test runs such suites in an emulated guest (docs/testing.md#where-each-suite-runs)" >&2
fi
exit $rc
