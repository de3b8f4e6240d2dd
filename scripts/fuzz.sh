#!/usr/bin/env bash
# Runs every built libFuzzer target for FUZZ_SECONDS seconds each, keeping its
# corpus under build/fuzz/corpus. Non-zero when any target finds a failure.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${FUZZ_SECONDS:-60}
status=0
found=0
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  found=1
  name=$(basename "$target")
  mkdir -p "build/fuzz/corpus/$name"
  echo "fuzzing $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 "build/fuzz/corpus/$name" \
      >"build/fuzz/$name.log" 2>&1; then
    tail -n 40 "build/fuzz/$name.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units' "build/fuzz/$name.log" || true
  fi
done
if [ $found -eq 0 ]; then
  echo "no fuzz targets built under build/fuzz/fuzz"
  exit 1
fi
exit $status
