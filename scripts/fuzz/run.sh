#!/usr/bin/env bash
# Runs every built libFuzzer target (or those named in FUZZ_TARGETS) for
# FUZZ_SECONDS seconds each, or for FUZZ_RUNS executions when that is set.
# Each run starts from the corpus kept in fuzz/corpus/<target> and writes what
# it finds to build/fuzz/corpus/<target> only, so the checkout never changes;
# `make fuzz-merge` takes findings into the kept corpus. Logs go to
# build/fuzz/<target>.log (<target>-<runs>-runs.log for a count). Non-zero when any target finds a failure.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
seconds=${FUZZ_SECONDS:-60}
status=0
found=0
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then
    continue
  fi
  found=1
  mkdir -p "build/fuzz/corpus/$name" "build/fuzz/crashes/$name"
  kept=()
  [ -d "fuzz/corpus/$name" ] && kept=("fuzz/corpus/$name")
  if [ -n "${FUZZ_RUNS:-}" ]; then
    limit=(-runs="$FUZZ_RUNS")
    log=build/fuzz/$name-$FUZZ_RUNS-runs.log
    echo "fuzzing $name for $FUZZ_RUNS executions"
  else
    limit=(-max_total_time="$seconds")
    log=build/fuzz/$name.log
    echo "fuzzing $name for ${seconds}s"
  fi
  if ! "$target" "${limit[@]}" -print_final_stats=1 -artifact_prefix="build/fuzz/crashes/$name/" \
      "build/fuzz/corpus/$name" "${kept[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    status=1
  else
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" || true
  fi
done
if [ $found -eq 0 ]; then
  echo "no fuzz targets built under build/fuzz/fuzz"
  exit 1
fi
exit $status
