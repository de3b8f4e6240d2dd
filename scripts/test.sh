#!/usr/bin/env bash
# `make test`: installs what is missing, builds the native, Windows (gcc and
# clang) and fuzz presets, and runs every test on one display, with idle CPUs
# polling (scripts/no-idle-latency.sh). Non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
scripts/build.sh native win32 win32-clang fuzz
scripts/no-idle-latency.sh scripts/with-display.sh scripts/run-tests.sh
