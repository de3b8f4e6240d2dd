#!/usr/bin/env bash
# Fails when the program, stripped, is larger than its size limit, so that the
# size it ships at cannot grow unnoticed. Arguments: strip, executable, limit in bytes.
set -u
strip=$1
exe=$2
limit=$3
stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
if ! "$strip" -o "$stripped" "$exe"; then
  echo "cannot strip $exe"
  exit 1
fi
size=$(stat -c %s "$stripped")
echo "$(basename "$exe") stripped: $size bytes (limit $limit)"
[ "$size" -le "$limit" ]
