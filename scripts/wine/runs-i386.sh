#!/usr/bin/env bash
# Whether this kernel runs i386 programs, as Wine's 32-bit loader is: some
# virtual machines run 64-bit user code only. It runs a 96-byte static i386
# program that exits with 42 and tells by what happened:
#   0  it ran: i386 programs run here;
#   1  execve refused it as no program it knows (ENOEXEC): they do not;
#   2  anything else (no python3, a folder it may not run programs from, an
#      odd result): the check itself failed, and it says why.
# A shell's 126 would not do: it means "permission denied" as well.
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/runs-i386.XXXXXX") || exit 2
trap 'rm -rf "$dir"' EXIT
# ELF header, one loadable segment at 0x08048000, and: mov ebx,42; mov eax,1 (exit); int 0x80.
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'`
  `'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
  `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00'`
  `'\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$dir/exit42"
chmod 755 "$dir/exit42"
# execv itself, not execvp, which would hand a refused file to /bin/sh.
python3 - "$dir/exit42" <<'PY'
import errno, os, sys
try:
    pid = os.fork()
    if pid == 0:
        try:
            os.execv(sys.argv[1], [sys.argv[1]])
        except OSError as e:
            os._exit(200 if e.errno == errno.ENOEXEC else 201)
    status = os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1])
except OSError as e:
    print(f"runs-i386: cannot tell whether i386 programs run here: {e}", file=sys.stderr)
    sys.exit(2)
if status == 42:
    sys.exit(0)
if status == 200:
    sys.exit(1)
why = "it may not be run from there (set TMPDIR to another folder)" if status == 201 else f"it ended with {status}"
print(f"runs-i386: cannot tell whether i386 programs run here: a test program in {os.path.dirname(sys.argv[1])}: {why}",
      file=sys.stderr)
sys.exit(2)
PY
rc=$?
[ $rc -le 2 ] || { echo "runs-i386: cannot tell whether i386 programs run here: python3 exited with $rc" >&2; exit 2; }
exit $rc
