#!/usr/bin/env bash
# `make bench`: measures the Receiver against baselines run on the same machine
# in the same run, and prints one table, also written to build/bench.md.
# It measures the 32-bit build (build/win32), or where this kernel runs no i386
# programs the 64-bit twin (build/win64) against its own 64-bit baselines, and
# the table names which; RECEIVER_BUILD names another Windows build folder.
# Needs a display (make bench provides one), root for the idle row's control
# groups, and the native and Windows builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
. scripts/wine/env.sh
runs=${BENCH_RUNS:-20}
idle_seconds=${BENCH_IDLE_SECONDS:-10}
idle_runs=${BENCH_IDLE_RUNS:-5}
idle_settle=${BENCH_IDLE_SETTLE:-1}
win=${RECEIVER_BUILD:-}
if [ -z "$win" ]; then
  win=build/win32
  scripts/wine/runs-i386.sh || win=build/win64
fi
arch=$(pe_arch "$win/receiver.exe")
wine_arch "$arch"
shipped=build/win32/receiver.exe
work=build/bench-work
rm -rf "$work" && mkdir -p "$work"
echo "bench: measuring $win ($arch) under $(wine --version)" >&2
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

# Idle CPU: each program runs whole in a control group of its own (cgroup v2),
# with a wineserver of its own started inside it first, so that the count takes
# in every process and thread of its run, those that ended included, and the
# server's work for it (every PeekMessageA is a round trip to the server). The
# count begins idle_settle seconds after its window shows, found by poke from
# outside the group, and lasts idle_seconds.
cgroups=$(awk '$3 == "cgroup2" { print $2; exit }' /proc/mounts)
if [ -z "$cgroups" ] || ! [ -w "$cgroups" ]; then
  echo "bench: the idle row needs a cgroup v2 hierarchy this user may write to (${cgroups:-none mounted})" >&2
  exit 1
fi
group_us() { awk '$1 == "usage_usec" { print $2 }' "$1/cpu.stat"; }
stop_server() { wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; }
poke=$(winpath "$win/tools/poke.exe")
idle_cpu_once() { # PROGRAM WINDOW-TITLE
  local group=$cgroups/receiver-bench-$$ pid before after i
  stop_server
  mkdir "$group"
  (echo "$BASHPID" >"$group/cgroup.procs" && wineserver -p60 >/dev/null 2>&1 </dev/null)
  (echo "$BASHPID" >"$group/cgroup.procs" && exec "$WINELOADER" "$1" >/dev/null 2>&1 </dev/null) &
  pid=$!
  wine "$poke" find "$2" 60000 >/dev/null 2>&1 </dev/null || { echo "bench: $1 showed no window" >&2; exit 1; }
  sleep "$idle_settle"
  before=$(group_us "$group")
  sleep "$idle_seconds"
  kill -0 "$pid" 2>/dev/null || { echo "bench: $1 ended while idle" >&2; exit 1; }
  after=$(group_us "$group")
  stop_server
  wait "$pid" 2>/dev/null || true
  for ((i = 0; i < 100; i++)); do
    rmdir "$group" 2>/dev/null && break
    sleep 0.1
  done
  echo $((after - before))
}
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] / 1e6 }'; }
echo "bench: idle CPU over ${idle_seconds}s, $idle_runs runs each, alternated" >&2
: >"$work/idle-rx.txt"
: >"$work/idle-base.txt"
for ((run = 0; run < idle_runs; run++)); do
  idle_cpu_once "$win/receiver.exe" 'Zintra Receiver v*' >>"$work/idle-rx.txt"
  idle_cpu_once "$win/bench/bench_idle_loop.exe" 'idle loop baseline' >>"$work/idle-base.txt"
done
idle_rx=$(median <"$work/idle-rx.txt")
idle_base=$(median <"$work/idle-base.txt")
stop_server

# The size and imports of the program that ships, the 32-bit one.
i686-w64-mingw32-strip -o "$work/receiver-stripped.exe" "$shipped"
size=$(stat -c %s "$work/receiver-stripped.exe")
imports=$(i686-w64-mingw32-objdump -p "$shipped" | sed -n 's/^\tDLL Name: //p' | sort -f | paste -sd, -)

echo "bench: scoring core (native)" >&2
${RECEIVER_NATIVE_BUILD:-build/native}/bench/scoring_bench --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null \
  >"$work/scoring.csv"
core=$(awk -F, '/BM_CompareAndScore/ {printf "%.1f", $4 / 1000}' "$work/scoring.csv")
pass=$(awk -F, '/BM_UpperCaseBothTexts/ {printf "%.1f", $4 / 1000}' "$work/scoring.csv")

{
  echo "# Receiver benchmarks"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -m) Linux, $(wine --version), $runs runs (median)," \
    "the $arch build in $win."
  echo
  echo "| measure | Receiver | baseline | ratio | target |"
  echo "|---|---|---|---|---|"
  while read -r _ n a b; do
    echo "| Compare at $n characters (ms, click to score shown) | $a | $b (same messages, no comparison) | $(ratio "$a" "$b") | ≤ 1.05 |"
  done <"$work/compare.txt"
  echo "| Start-up to dialog visible (ms) | $startup_rx | $startup_same (same dialog, no commands) | $(ratio "$startup_rx" "$startup_same") | ≤ 1.05 |"
  echo "| Start-up, bare empty dialog (ms) | $startup_rx | $startup_bare (one empty dialog) | $(ratio "$startup_rx" "$startup_bare") | for scale |"
  echo "| Start-up, the visual style (ms) | $startup_rx | $startup_classic (same dialog, no manifest) | $(ratio "$startup_rx" "$startup_classic") | ≤ 1.5 |"
  echo "| Idle CPU over ${idle_seconds} s, with its wineserver (s, median of $idle_runs) | $idle_rx | $idle_base (PeekMessageA / Sleep(1) loop) | $(ratio "$idle_rx" "$idle_base") | ≤ 1.1 |"
  echo "| Size of the stripped 32-bit receiver.exe (bytes) | $size | 102400 | $(ratio "$size" 102400) | ≤ 1 |"
  echo "| Scoring core, 27,999 characters (µs, native) | $core | $pass (upper-casing both texts once) | $(ratio "$core" "$pass") | for scale |"
  echo
  echo "The 32-bit receiver.exe imports: $imports."
} >build/bench.md
cat build/bench.md
