#!/usr/bin/env bash
# `make run`: starts build/win32/receiver.exe under Wine. On a display it simply
# runs. Without one it runs on a virtual display in a Wine virtual desktop (which
# draws caption bars), saves a screenshot of the dialog to build/receiver.png,
# closes the program through its close box and prints its exit code.
# RECEIVER_BUILD names another Windows build folder (default build/win32).
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/wine-env.sh

build=${RECEIVER_BUILD:-build/win32}
exe=$build/receiver.exe
poke=$build/tools/poke.exe
shot=build/receiver.png
for f in "$exe" "$poke"; do
  if [ ! -f "$f" ]; then
    echo "run: $f is not built; run scripts/build.sh win32 first" >&2
    exit 1
  fi
done

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

wine_prefix_ready
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
mapfile -t w < <(winepath -w "$PWD/$poke" "$PWD/$exe" "$work/rect" "$work/ready" "$work/shot" "$work/rc" 2>/dev/null)

# poke starts the program, waits for its dialog to be up and painted, reports
# where it stands, waits for the screenshot, closes it by its close box and
# writes its exit code. Both run on the same virtual desktop.
wine explorer /desktop=Receiver,1024x768 "${w[0]}" start "${w[1]}" \
  find 'Zintra Receiver v1.11*' 20000 rect "${w[2]}" signal "${w[3]}" \
  await "${w[4]}" 30000 close exit 10000 "${w[5]}" >"$work/wine.log" 2>&1 </dev/null &
desktop=$!

if ! await "$work/ready" 600; then
  echo "run: the dialog did not come up" >&2
  cat "$work/wine.log" >&2
  kill "$desktop" 2>/dev/null
  exit 1
fi
import -window root "$work/desktop.png"
convert "$work/desktop.png" -crop "$(cat "$work/rect")" +repage "$shot"
echo "screenshot of the dialog ($(cat "$work/rect")) saved to $shot"
touch "$work/shot"

if ! await "$work/rc" 300; then
  echo "run: the program did not end after its close box" >&2
  cat "$work/wine.log" >&2
  kill "$desktop" 2>/dev/null
  exit 1
fi
rc=$(tr -d '\r\n' <"$work/rc")
# The desktop closes by itself once its last program is gone.
for ((i = 0; i < 100; i++)); do
  kill -0 "$desktop" 2>/dev/null || break
  sleep 0.1
done
kill "$desktop" 2>/dev/null
echo "receiver.exe exited with code $rc"
exit "$rc"
