#!/usr/bin/env bash
# `make bench`: measures the Receiver against baselines run on the same machine
# in the same run, and prints one table, also written to build/bench.md.
# Needs a display (make bench provides one) and the native and win32 builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/wine-env.sh
runs=${BENCH_RUNS:-20}
idle_seconds=${BENCH_IDLE_SECONDS:-10}
idle_runs=${BENCH_IDLE_RUNS:-5}
idle_settle=${BENCH_IDLE_SETTLE:-2}
win=${RECEIVER_BUILD:-build/win32}
work=build/bench-work
rm -rf "$work" && mkdir -p "$work"
wine_prefix_ready

winpath() { winepath -w "$PWD/$1" 2>/dev/null; }
driver() { wine "$win/bench/bench_driver.exe" "$@" </dev/null 2>"$work/driver.err" | tr -d '\r'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }

# Practice sendings as the Trainer sends them: five-letter groups, a blank
# between, a line break after every tenth, cut to the length wanted.
for n in 1000 10000 27999; do
  python3 -c "
import random, sys
random.seed($n)
line = lambda: ' '.join(''.join(random.choice('ABCDEFGHIJKLMNOPQRSTUVWXYZ') for _ in range(5)) for _ in range(10))
text = ''
while len(text) < $n:
    text += line() + '\r\n'
sys.stdout.write(text[:$n])" >"$work/text$n.txt"
done

receiver=$(winpath $win/receiver.exe)
same=$(winpath $win/bench/bench_same_dialog.exe)
bare=$(winpath $win/bench/bench_bare_dialog.exe)
classic=$(winpath $win/bench/bench_same_dialog_classic.exe)
trainer=$(winpath $win/practice/zintra_practice.exe)

echo "bench: start-up, $runs runs each" >&2
driver startup "$runs" "\"$receiver\"" "\"$same\"" "\"$bare\"" "\"$classic\"" >"$work/startup.txt"
startup_rx=$(awk 'NR==1 {print $NF}' "$work/startup.txt")
startup_same=$(awk 'NR==2 {print $NF}' "$work/startup.txt")
startup_bare=$(awk 'NR==3 {print $NF}' "$work/startup.txt")
startup_classic=$(awk 'NR==4 {print $NF}' "$work/startup.txt")

: >"$work/compare.txt"
for n in 1000 10000 27999; do
  echo "bench: Compare at $n characters, $runs runs each" >&2
  driver compare "$runs" "$(winpath "$work/text$n.txt")" "$trainer" "\"$receiver\"" \
    "\"$same\" --compare-floor" >>"$work/compare.txt"
done

# The CPU time a Linux process has run, in nanoseconds: the scheduler's own
# count (not clock ticks of 10 ms), summed over its threads. Fails when the
# process is gone.
cpu_ns() {
  [ -d "/proc/$1/task" ] || return 1
  cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { printf "%d", ns }'
}
# The CPU time one run of the program takes while idle. wine becomes the
# program's own process, so its process id is the one to read.
idle_cpu_once() {
  wine "$1" >/dev/null 2>&1 </dev/null &
  local pid=$! before after
  # Let start-up finish before the idle period begins.
  sleep "$idle_settle"
  before=$(cpu_ns "$pid") || { echo "bench: $1 ended during start-up" >&2; exit 1; }
  sleep "$idle_seconds"
  after=$(cpu_ns "$pid") || { echo "bench: $1 ended while idle" >&2; exit 1; }
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo $((after - before))
}
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] / 1e9 }'; }
echo "bench: idle CPU over ${idle_seconds}s, $idle_runs runs each, alternated" >&2
: >"$work/idle-rx.txt"
: >"$work/idle-base.txt"
for ((run = 0; run < idle_runs; run++)); do
  idle_cpu_once "$win/receiver.exe" >>"$work/idle-rx.txt"
  idle_cpu_once "$win/bench/bench_idle_loop.exe" >>"$work/idle-base.txt"
done
idle_rx=$(median <"$work/idle-rx.txt")
idle_base=$(median <"$work/idle-base.txt")
wineserver -k >/dev/null 2>&1 || true

i686-w64-mingw32-strip -o "$work/receiver-stripped.exe" "$win/receiver.exe"
size=$(stat -c %s "$work/receiver-stripped.exe")
imports=$(i686-w64-mingw32-objdump -p "$win/receiver.exe" | sed -n 's/^\tDLL Name: //p' | sort -f | paste -sd, -)

echo "bench: scoring core (native)" >&2
${RECEIVER_NATIVE_BUILD:-build/native}/bench/scoring_bench --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null \
  >"$work/scoring.csv"
core=$(awk -F, '/BM_CompareAndScore/ {printf "%.1f", $4 / 1000}' "$work/scoring.csv")
pass=$(awk -F, '/BM_UpperCaseBothTexts/ {printf "%.1f", $4 / 1000}' "$work/scoring.csv")

{
  echo "# Receiver benchmarks"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -m) Linux, $(wine --version), $runs runs (median)."
  echo
  echo "| measure | Receiver | baseline | ratio | target |"
  echo "|---|---|---|---|---|"
  while read -r _ n a b; do
    echo "| Compare at $n characters (ms, click to score shown) | $a | $b (same messages, no comparison) | $(ratio "$a" "$b") | ≤ 1.05 |"
  done <"$work/compare.txt"
  echo "| Start-up to dialog visible (ms) | $startup_rx | $startup_same (same dialog, no commands) | $(ratio "$startup_rx" "$startup_same") | ≤ 1.05 |"
  echo "| Start-up, bare empty dialog (ms) | $startup_rx | $startup_bare (one empty dialog) | $(ratio "$startup_rx" "$startup_bare") | for scale |"
  echo "| Start-up, the visual style (ms) | $startup_rx | $startup_classic (same dialog, no manifest) | $(ratio "$startup_rx" "$startup_classic") | ≤ 1.5 |"
  echo "| Idle CPU over ${idle_seconds} s (s, median of $idle_runs) | $idle_rx | $idle_base (PeekMessageA / Sleep(1) loop) | $(ratio "$idle_rx" "$idle_base") | ≤ 1.1 |"
  echo "| Size of stripped receiver.exe (bytes) | $size | 102400 | $(ratio "$size" 102400) | ≤ 1 |"
  echo "| Scoring core, 27,999 characters (µs, native) | $core | $pass (upper-casing both texts once) | $(ratio "$core" "$pass") | for scale |"
  echo
  echo "receiver.exe imports: $imports."
} >build/bench.md
cat build/bench.md
