#!/usr/bin/env bash
# Runs every test of the built presets and says where each Windows suite ran:
#   - native ctest;
#   - the 64-bit twin's ctest, every suite under 64-bit Wine;
#   - the 32-bit build's ctest under 32-bit Wine where this kernel runs i386
#     programs; where it does not, its checks of built files here, the guest's
#     own check, and the suites labelled guest (the program that ships, run
#     whole, and the scoring of both compilers) in the emulated guest
#     (scripts/guest/run.sh), its other suites on the twin alone;
#   - each fuzz target for a few seconds.
# Runs them all; non-zero if any failed or did not run. RECEIVER_WINDOWS_SUITES=skip
# leaves out every suite under Wine on request, and the last line names them.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/wine/env.sh
failed=()
notes=()
# ctest that fails when it finds no test to run, as when a label matches none.
run_ctest() { ctest --no-tests=error "$@"; }
# The names of a preset's tests with a label, on one line.
labelled() { ctest --preset "$1" -N -L "$2" | sed -n 's/^ *Test *#[0-9]*: //p' | paste -sd' ' -; }

run_ctest --preset native || failed+=(native)

case ${RECEIVER_WINDOWS_SUITES:-run} in
run)
  run_ctest --preset win64 || failed+=(win64)
  scripts/wine/runs-i386.sh
  case $? in
  0)
    run_ctest --preset win32 || failed+=(win32)
    ;;
  1)
    run_ctest --preset win32 -LE wine || failed+=(win32)
    scripts/guest/check.sh || failed+=(guest-check)
    scripts/guest/run.sh -- ctest --test-dir build/win32 --no-tests=error --output-on-failure -j2 -L guest ||
      failed+=(win32-in-the-guest)
    notes+=("this kernel runs no i386 programs: the 32-bit suites labelled guest ($(labelled win32 guest))"\
" ran in the emulated guest, the 32-bit build's other suites under Wine on the 64-bit twin alone")
    ;;
  *)
    failed+=("win32 (whether this kernel runs i386 programs could not be told)")
    ;;
  esac
  ;;
skip)
  run_ctest --preset win32 -LE wine || failed+=(win32)
  skipped="$(labelled win64 wine) (64-bit); $(labelled win32 wine) (32-bit)"
  ;;
*)
  echo "run-tests: RECEIVER_WINDOWS_SUITES is '$RECEIVER_WINDOWS_SUITES'; leave it unset, or set it to skip" >&2
  failed+=("the suites under Wine (RECEIVER_WINDOWS_SUITES)")
  ;;
esac
for prefix in "$RECEIVER_WINE_PREFIX_BASE"*/; do
  [ -d "$prefix" ] || continue
  [[ $prefix == "$RECEIVER_WINE_PREFIX_BASE"64* ]] && wine_arch win64 || wine_arch win32
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
done

FUZZ_SECONDS=${FUZZ_SECONDS:-10} scripts/fuzz/run.sh || failed+=(fuzz)

for note in "${notes[@]}"; do echo "note: $note"; done
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
if [ -n "${skipped:-}" ]; then
  echo "all tests passed that ran, but NOT RUN, as RECEIVER_WINDOWS_SUITES=skip asked: the suites under Wine: $skipped"
  exit 0
fi
echo "all tests passed"
