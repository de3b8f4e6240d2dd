#!/usr/bin/env bash
# Runs a command on the current X display, or on a new virtual one when there is none.
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
