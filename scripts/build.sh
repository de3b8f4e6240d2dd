#!/usr/bin/env bash
# Configures and builds the named presets (native, win32, fuzz).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in "$@"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
