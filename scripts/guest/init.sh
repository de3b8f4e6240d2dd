#!/bin/bash
# The test guest's first process (image.sh installs it, run.sh boots it): mounts
# the kernel's file systems and the project folder the host shares, runs the job
# the host wrote there with its output on two virtio consoles, records the job's
# exit status and times beside it, and powers the guest off whatever happens.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
say() { echo "receiver-guest-init: $*" >/dev/console; }

ensure_mount() { # TYPE PATH OPTIONS
  mkdir -p "$2"
  mountpoint -q "$2" || mount -t "$1" -o "$3" "$1" "$2" || say "cannot mount $1 on $2"
}
ensure_mount proc /proc nosuid,nodev,noexec
ensure_mount sysfs /sys nosuid,nodev,noexec
ensure_mount devtmpfs /dev mode=0755
ensure_mount devpts /dev/pts gid=5,mode=620,ptmxmode=666
ensure_mount tmpfs /dev/shm mode=1777,nosuid,nodev
ensure_mount tmpfs /tmp mode=1777,nosuid,nodev
ensure_mount tmpfs /run mode=0755,nosuid,nodev
echo receiver-guest >/proc/sys/kernel/hostname
ip link set lo up || say "no loopback network"

read -ra words </proc/cmdline
for word in "${words[@]}"; do
  case $word in
  receiver.root=*) root=${word#*=} ;;
  receiver.job=*) job=${word#*=} ;;
  esac
done

# Output and exit status go back over devices made for them; the job runs only
# when they and the share are there, so the host never mistakes a broken boot for
# the job's own result. A console forgets its raw mode (no CR added before each
# LF) when its last user closes it, so it is held open here from the start.
# The share is cached loosely: with cache=mmap or none, Wine mapped programs
# from it with pages of zeros.
modprobe -a 9pnet_virtio 9p virtio_console || say "cannot load the 9p and console modules"
if [ -n "${root:-}" ] && [ -n "${job:-}" ] && mkdir -p "$root" &&
  mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose receiver "$root" &&
  exec 3>/dev/hvc0 4>/dev/hvc1 && stty raw -echo <&3 && stty raw -echo <&4; then
  read -r up _ </proc/uptime
  (cd "$root" && exec env -i PATH="$PATH" HOME=/root LANG=C.UTF-8 \
    WINEPREFIX=/var/lib/receiver-guest/wineprefix bash "$root/$job/job") \
    </dev/null >&3 2>&4 3>&- 4>&-
  echo $? >"$root/$job/status.new" && mv "$root/$job/status.new" "$root/$job/status"
  read -r down _ </proc/uptime
  echo "$up $down" >"$root/$job/times"
else
  say "cannot set up the job (receiver.root=${root:-} receiver.job=${job:-})"
fi

# What the job left running is stopped, so that the root file system can be
# left clean (it is kept after the guest's first boot).
kill -KILL -1 2>/dev/null
for _ in $(seq 50); do
  mount -o remount,ro / 2>/dev/null && break
  sleep 0.1
done
sync
echo o >/proc/sysrq-trigger
# Should the power-off not come, this process's end stops the kernel, and
# panic=-1 with QEMU's -no-reboot ends the machine.
exec sleep 60
