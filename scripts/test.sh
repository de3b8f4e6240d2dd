#!/usr/bin/env bash
# `make test`: installs what is missing, builds the native, Windows (32-bit with
# gcc and clang, and the 64-bit twin) and fuzz presets, and runs every test on
# one display, with idle CPUs polling (scripts/wine/no-idle-latency.sh). Where this
# kernel runs no i386 programs, the emulated guest for the 32-bit suites is
# made (once; it is kept) while the presets build. Non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
guest=
if [ "${RECEIVER_WINDOWS_SUITES:-run}" = run ] && { scripts/wine/runs-i386.sh; [ $? = 1 ]; }; then
  mkdir -p build
  scripts/guest/image.sh >build/guest-image.log 2>&1 &
  guest=$!
  trap 'kill $guest 2>/dev/null' EXIT
fi
scripts/build.sh native win32 win32-clang win64 fuzz
if [ -n "$guest" ] && ! wait $guest; then
  echo "test: the emulated guest could not be made (build/guest-image.log):" >&2
  tail -n 20 build/guest-image.log >&2
fi
trap - EXIT
scripts/wine/no-idle-latency.sh scripts/wine/with-display.sh scripts/run-tests.sh
