#!/usr/bin/env bash
# Whether this kernel runs i386 programs, as Wine's 32-bit loader is. Some
# virtual machines run 64-bit user code only: execve of an i386 program fails
# with ENOEXEC (the shell's 126). Exit status 1 there, 0 otherwise: also when
# the i386 C library is missing, so that the tests then fail on it, not skip.
loader=/lib/ld-linux.so.2
[ -e "$loader" ] || exit 0
"$loader" --version >/dev/null 2>&1
[ $? -ne 126 ]
