#!/usr/bin/env bash
# Runs a command in the test guest that image.sh makes: a whole emulated x86-64
# machine, in which 32-bit Wine runs where this kernel runs no i386 programs.
#   run.sh [--timeout SECONDS] [--] COMMAND [ARGS...]
# The project folder is shared with the guest at the same path; the command runs
# there as root, in the current folder when it is inside the project, with the
# RECEIVER_*, CTEST_* and GTEST_* variables passed on. Its output comes back live
# and run.sh exits with its status, or 124 when it ran past the time-out.
# image.sh uses --guest DIR (boot that guest, not the cached one) and --writable
# (keep what the command changes on the guest's disk) for a guest's first boot.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
timeout=3600 guest='' snapshot=on
while [ $# -gt 0 ]; do
  case $1 in
  --timeout) timeout=$2 && shift 2 ;;
  --guest) guest=$2 && shift 2 ;;
  --writable) snapshot=off && shift ;;
  --) shift && break ;;
  -*) echo "run.sh: unknown option $1" >&2 && exit 2 ;;
  *) break ;;
  esac
done
if [ $# -eq 0 ] || [[ ! $timeout =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: run.sh [--timeout SECONDS] [--] COMMAND [ARGS...]" >&2
  exit 2
fi
# The path goes on the kernel's command line and into QEMU's options.
if [[ ! $root =~ ^/[A-Za-z0-9._/+-]*$ ]]; then
  echo "run.sh: cannot share $root with the guest: its path may hold only letters, digits and . _ / + -" >&2
  exit 2
fi
[ -n "$guest" ] || guest=$("$here/image.sh" | tail -n 1)

mkdir -p "$root/build/guest"
job=$(mktemp -d "$root/build/guest/run.XXXXXX")
case $PWD/ in "$root"/*) cwd=$PWD ;; *) cwd=$root ;; esac
{
  printf 'cd -- %q || exit 125\n' "$cwd"
  # Not the host's prefix folder nor its choice of Wine: the guest has its own, made ready in the image.
  for name in $(compgen -e | grep -E '^(RECEIVER|CTEST|GTEST)_' | grep -vxE 'RECEIVER_WINE_(PREFIX_BASE|ARCH)' || true); do
    printf 'export %s=%q\n' "$name" "${!name}"
  done
  printf 'exec'
  printf ' %q' "$@"
  printf '\n'
} >"$job/job"
: >"$job/out"
: >"$job/err"

start=$(date +%s.%N)
timeout -k 10 "$timeout" qemu-system-x86_64 -accel tcg,thread=multi -smp 2 -m 6G -cpu Nehalem \
  -nodefaults -no-user-config -display none -no-reboot \
  -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
  -append "root=/dev/vda rw quiet console=ttyS0 panic=-1 mitigations=off fastboot init=/usr/local/sbin/receiver-guest-init receiver.root=$root receiver.job=${job#"$root"/}" \
  -drive "file=$guest/disk.img,format=raw,if=virtio,cache=unsafe,snapshot=$snapshot" \
  -fsdev "local,id=share,path=$root,security_model=none" \
  -device virtio-9p-pci,fsdev=share,mount_tag=receiver \
  -serial "file:$job/console.log" \
  -device virtio-serial-pci \
  -chardev "file,id=out,path=$job/out" -device virtconsole,chardev=out \
  -chardev "file,id=err,path=$job/err" -device virtconsole,chardev=err \
  </dev/null &
qemu=$!
trap 'kill "$qemu" 2>/dev/null; wait "$qemu"; rm -r "$job"; exit 130' INT TERM HUP
tail -q -c +1 -f -s 0.2 --pid=$qemu "$job/out" &
tail_out=$!
tail -q -c +1 -f -s 0.2 --pid=$qemu "$job/err" >&2 &
tail_err=$!
ended=0
wait $qemu || ended=$?
wait $tail_out $tail_err || true

if [ -f "$job/times" ]; then
  read -r up down <"$job/times"
  awk -v up="$up" -v down="$down" -v start="$start" -v now="$(date +%s.%N)" 'BEGIN {
    printf "run.sh: guest booted in %.1f s, the command took %.1f s (%.1f s in all)\n", up, down - up, now - start
  }' >&2
fi
if [ "$ended" -eq 124 ] || [ "$ended" -eq 137 ]; then
  echo "run.sh: the guest was stopped after $timeout s (--timeout); its console: $job/console.log" >&2
  exit 124
elif [ ! -f "$job/status" ]; then
  echo "run.sh: the guest ended without the command's exit status (QEMU's status $ended); its console: $job/console.log" >&2
  exit 125
fi
status=$(cat "$job/status")
rm -r "$job"
exit "$status"
