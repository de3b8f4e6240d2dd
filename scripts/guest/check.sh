#!/usr/bin/env bash
# Checks run.sh end to end: a command's output, exit status, folder and
# environment come back from the guest unchanged, a command past its time-out
# and a guest that ends early fail with 124 and 125, and the image's Wine
# prefixes are apart. (The 32-bit suites make test runs there show that Wine
# runs.) run-tests.sh runs it before them where the kernel runs no i386 programs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
run=scripts/guest/run.sh
scripts/guest/image.sh >/dev/null
out=$(mktemp -d)
trap 'rm -r "$out"' EXIT
failed=0
check() { # NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1"; else
    printf 'FAIL: %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3" && failed=1
  fi
}

# Arguments and variables with quotes, spaces, a newline and $ reach the
# command as they are; stdout and stderr stay apart.
status=0
(cd scripts && RECEIVER_CHECK=$'it\'s a $test\nline 2' OTHER_CHECK=no "../$run" -- \
  sh -c 'echo "$1"; echo to-stderr >&2; echo "$PWD|$RECEIVER_CHECK|${OTHER_CHECK:-unset}"; exit 3' \
  sh 'one "arg"  *') >"$out/stdout" 2>"$out/stderr" || status=$?
check "exit status" 3 "$status"
check "stdout" "one \"arg\"  *
$PWD/scripts|it's a \$test
line 2|unset" "$(cat "$out/stdout")"
check "stderr" "to-stderr" "$(grep -v '^run.sh: ' "$out/stderr")"

# A command past its time-out, and a guest that ends without the command's
# status, fail (never 0) and name the console log, kept for a look.
status=0
$run --timeout 30 -- sleep 600 2>"$out/stderr" || status=$?
check "time-out status" 124 "$status"
check "time-out message" 1 "$(grep -c 'stopped after 30 s' "$out/stderr")"
status=0
$run -- sh -c 'echo o >/proc/sysrq-trigger; sleep 60' 2>>"$out/stderr" || status=$?
check "status of a guest that ended early" 125 "$status"
for log in $(sed -n 's/.*its console: //p' "$out/stderr"); do
  rm -r -- "${log%/console.log}"
done

# Each of the image's prefixes has its own registry: one variant's Windows
# version or display scale shows in no other.
# shellcheck disable=SC2016
$run -- bash -c 'cd /var/lib/receiver-guest && for p in wineprefix*/; do
  dpi=$(grep -q "^\"LogPixels\"=dword:00000090" "$p/user.reg" && echo dpi144 || echo dpi96)
  echo "${p%/} $(sed -n "s/^\"ProductName\"=\"Microsoft Windows \(.*\)\"$/\1/p" "$p/system.reg") $dpi"
done' 2>/dev/null | sort >"$out/stdout" || true
check "the prefixes' versions and scales" "wineprefix 7 dpi96
wineprefix-annotations 7 dpi96
wineprefix-dpi144 7 dpi144
wineprefix-win10 10 dpi96
wineprefix-win7 7 dpi96
wineprefix-winxp XP dpi96" "$(cat "$out/stdout")"

exit $failed
