#!/usr/bin/env bash
# `make fuzz-merge`: takes what earlier runs found (build/fuzz/corpus/<target>)
# into the corpus kept in the repository (fuzz/corpus/<target>), minimised:
# each target's kept corpus is rebuilt from both with libFuzzer's -merge=1,
# which keeps the fewest inputs that reach every feature either reached.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  merged=build/fuzz/merged/$name
  rm -rf "$merged"
  mkdir -p "$merged" "fuzz/corpus/$name" "build/fuzz/corpus/$name"
  "$target" -merge=1 "$merged" "fuzz/corpus/$name" "build/fuzz/corpus/$name" \
    >"build/fuzz/$name-merge.log" 2>&1 || { tail -n 20 "build/fuzz/$name-merge.log"; exit 1; }
  before=$(find "fuzz/corpus/$name" -type f | wc -l)
  rm -rf "fuzz/corpus/$name"
  mv "$merged" "fuzz/corpus/$name"
  echo "$name: $before kept inputs before, $(find "fuzz/corpus/$name" -type f | wc -l) now"
done
