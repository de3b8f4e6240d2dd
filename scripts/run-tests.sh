#!/usr/bin/env bash
# Runs every test of the built presets: native ctest, Windows ctest under Wine,
# and each fuzz target for a few seconds. Runs them all; non-zero if any failed.
# Where this kernel runs no i386 programs, ctest reports the Windows programs'
# suites as skipped, and the run ends by saying so.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/wine-env.sh
failed=()

ctest --preset native || failed+=(native)

i386=yes
scripts/runs-i386.sh || i386=no
[ $i386 = yes ] && wine_prefix_ready
ctest --preset win32 || failed+=(win32)
for prefix in "$WINEPREFIX" "$WINEPREFIX"-*/; do
  [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
done

FUZZ_SECONDS=${FUZZ_SECONDS:-10} scripts/fuzz.sh || failed+=(fuzz)

if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
if [ $i386 = no ]; then
  echo "all tests passed that could run: this kernel runs no i386 programs, so the suites under Wine" \
    "were skipped (see ctest's list above and docs/testing.md#where-wine-cannot-run)"
  exit 0
fi
echo "all tests passed"
