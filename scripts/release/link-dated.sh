#!/usr/bin/env bash
# The linker launcher of receiver.exe: runs the link command that follows the
# first argument with SOURCE_DATE_EPOCH read from the file that argument names,
# so the PE header carries that time and not the time of the build.
set -eu
SOURCE_DATE_EPOCH=$(cat "$1")
export SOURCE_DATE_EPOCH
shift
exec "$@"
