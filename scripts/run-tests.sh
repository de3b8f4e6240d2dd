#!/usr/bin/env bash
# Runs every test of the built presets: native ctest, Windows ctest under Wine,
# and each fuzz target for a few seconds. Runs them all; non-zero if any failed.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/wine-env.sh
failed=()

ctest --preset native || failed+=(native)

wine_prefix_ready
ctest --preset win32 || failed+=(win32)
for prefix in "$WINEPREFIX" "$WINEPREFIX"-*/; do
  [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
done

FUZZ_SECONDS=${FUZZ_SECONDS:-10} scripts/fuzz.sh || failed+=(fuzz)

if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all tests passed"
