#!/usr/bin/env bash
# `make run`: starts receiver.exe under Wine from build/demo/, which also holds
# the practice Trainer as ZINTRA.EXE, so that "&Run Tamsor" starts it as it
# would start the real Trainer. On a display the program simply runs. Without
# one a scripted practice round is played on a virtual display in a Wine virtual
# desktop (which draws caption bars): Run Tamsor, Begin CW, a few seconds of
# sending, Stop CW, a copy with one mistake typed into the lower box, Compare.
# It brings the Receiver to the front as a click on its caption would (the
# Trainer it started is in front then; a click in the dialog would move the
# caret and lose the marks), prints the score line, saves a screenshot of the
# scored dialog to build/receiver.png, quits by "&Quit" and prints the exit code.
# It runs the 32-bit build (build/win32), or where this kernel runs no i386
# programs its 64-bit twin (build/win64) under 64-bit Wine, and says so;
# RECEIVER_BUILD names another Windows build folder.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
. scripts/wine/env.sh

build=${RECEIVER_BUILD:-}
if [ -z "$build" ]; then
  build=build/win32
  if ! scripts/wine/runs-i386.sh; then
    build=build/win64
    echo "run: this kernel runs no i386 programs: the 64-bit twin ($build) plays, under 64-bit Wine"
    export RECEIVER_BUILD=$build
  fi
fi
poke=$build/tools/poke.exe
demo=build/demo
shot=build/receiver.png
for f in "$build/receiver.exe" "$build/practice/zintra_practice.exe" "$poke"; do
  if [ ! -f "$f" ]; then
    echo "run: $f is not built; run scripts/build.sh ${build##*/} first" >&2
    exit 1
  fi
done
wine_arch "$(pe_arch "$build/receiver.exe")"
mkdir -p "$demo"
cp "$build/receiver.exe" "$demo/receiver.exe"
cp "$build/practice/zintra_practice.exe" "$demo/ZINTRA.EXE"
exe=$demo/receiver.exe

if [ -z "${RECEIVER_RUN_HEADLESS:-}" ]; then
  if [ -n "${DISPLAY:-}" ]; then
    wine_prefix_ready
    wine "$exe" >/dev/null 2>&1 </dev/null
    rc=$?
    echo "receiver.exe exited with code $rc"
    exit $rc
  fi
  RECEIVER_RUN_HEADLESS=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Waits up to $2 tenths of a second for file $1.
await() {
  local i
  for ((i = 0; i < $2; i++)); do
    [ -e "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Ends the run with a message and poke's log; the desktop goes with it.
fail() {
  echo "run: $1" >&2
  cat "$work"/*.log >&2
  kill "$desktop" 2>/dev/null
  exit 1
}

wine_prefix_ready
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
mapfile -t w < <(winepath -w "$PWD/$poke" "$PWD/$exe" "$work/sending" "$work/stop" "$work/sent" \
  "$work/copied" "$work/shot" "$work/rc" "$work/score" "$work/rect" "$work/scored" 2>/dev/null)
if [ ${#w[@]} -ne 11 ]; then
  echo "run: Wine did not start in $WINEPREFIX (winepath gave ${#w[@]} of 11 paths)" >&2
  exit 1
fi
receiver='Zintra Receiver v*'
trainer=' Zintra Method CW Trainer - Tamsor'

# The first poke plays the person at the dialog up to the end of the sending,
# then, once the copy is scored and photographed, quits, closes the Trainer
# and writes the receiver's exit code. Both programs run on the same desktop.
wine explorer /desktop=Receiver,1024x768 "${w[0]}" start "${w[1]}" \
  find "$receiver" 20000 click 108 find "$trainer" 20000 \
  find "$receiver" 5000 click 105 signal "${w[2]}" await "${w[3]}" 30000 click 106 \
  find "$trainer" 5000 gettextclass TRichEdit "${w[4]}" \
  await "${w[6]}" 60000 find "$receiver" 5000 click 2 exit 10000 "${w[7]}" \
  find "$trainer" 5000 close >"$work/round.log" 2>&1 </dev/null &
desktop=$!

await "$work/sending" 600 || fail "the round did not begin"
sleep 4 # the practice Trainer sends a character every 80 ms
touch "$work/stop"
await "$work/sent" 100 || fail "the Trainer's text could not be read"
sent=$(cat "$work/sent")
[ ${#sent} -ge 15 ] || fail "the Trainer sent only '$sent'"

# The copy: what was sent, with its eighth character (a letter) wrong.
wrong=${sent:7:1}
[ "$wrong" = Q ] && mistake=X || mistake=Q
copy="${sent:0:7}$mistake${sent:8}"

wine explorer /desktop=Receiver,1024x768 "${w[0]}" find "$receiver" 5000 \
  type 102 "$copy" click 107 gettext 103 "${w[8]}" find "$receiver" 5000 front rect "${w[9]}" \
  signal "${w[10]}" >"$work/copy.log" 2>&1 </dev/null
await "$work/scored" 100 || fail "the copy was not scored"
echo "sent:   $sent"
echo "copied: $copy"
echo "score: $(cat "$work/score")"
import -window root "$work/desktop.png"
convert "$work/desktop.png" -crop "$(cat "$work/rect")" +repage "$shot"
echo "screenshot of the scored round ($(cat "$work/rect")) saved to $shot"
touch "$work/shot"

await "$work/rc" 300 || fail "the program did not end after Quit"
rc=$(tr -d '\r\n' <"$work/rc")
# The desktop closes by itself once its last program is gone.
for ((i = 0; i < 100; i++)); do
  kill -0 "$desktop" 2>/dev/null || break
  sleep 0.1
done
kill "$desktop" 2>/dev/null
echo "receiver.exe exited with code $rc"
exit "$rc"
