#!/usr/bin/env bash
# Makes the test guest that run.sh boots, once, and prints its folder: a Debian 12
# disk image with 32-bit Wine, Xvfb and ctest, its kernel and initrd, and the Wine
# prefixes the tests use, made on its first boot. The folder is named by a hash of
# what the guest is made from, so that a change to any of it makes a new guest.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
packages='linux-image-amd64 wine wine32:i386 xvfb xauth fonts-wine fonts-liberation cmake procps
  util-linux iproute2 python3-minimal'
fail() { echo "image.sh: $*" >&2 && exit 1; }

cache=${RECEIVER_GUEST_CACHE:-/var/cache/receiver-guest}
if [ -z "${RECEIVER_GUEST_CACHE:-}" ] && [ "$(id -u)" -ne 0 ] && [ ! -w "${cache%/*}" ] && [ ! -w "$cache" ]; then
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/receiver-guest
fi
hash=$(cd "$root/scripts" && cat guest/image.sh guest/init.sh guest/firstboot.sh wine/env.sh wine/fonts.reg |
  sha256sum | cut -c1-16)
mkdir -p "$cache"
exec 8>"$cache/.lock"
flock 8
if [ -d "$cache/$hash" ]; then
  echo "$cache/$hash"
  exit 0
fi
[ "$(id -u)" -eq 0 ] || fail "making the guest in $cache/$hash needs root (debootstrap, chroot)"

tmp=$(mktemp -d "$cache/.new-$hash.XXXXXX")
chmod 755 "$tmp"
rootfs=$tmp/root
log=$cache/build.log
cleanup() {
  mountpoint -q "$rootfs/proc" && umount "$rootfs/proc"
  rm -rf --one-file-system "$tmp"
}
trap cleanup EXIT
t=$SECONDS
took() { echo "image.sh: $1 took $((SECONDS - t)) s" >&2 && t=$SECONDS; }
logged() { "$@" >>"$log" 2>&1 || fail "$* failed; its output is in $log"; }
: >"$log"

# The host's own mirrors, as its apt sources name them.
mirror() {
  local site
  site=$(apt-get indextargets --format '$(SITE)' "Release: $1" 'Target-Of: deb' 2>/dev/null | head -n 1) || true
  echo "${site:-$2}"
}
debian=$(mirror bookworm http://deb.debian.org/debian)
security=$(mirror bookworm-security http://deb.debian.org/debian-security)
logged debootstrap --variant=minbase --arch=amd64 bookworm "$rootfs" "$debian"
took "debootstrap from $debian"

in_root() { chroot "$rootfs" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
mount -t proc proc "$rootfs/proc"
printf '%s\n' force-unsafe-io 'path-exclude=/usr/share/doc/*' 'path-exclude=/usr/share/man/*' \
  'path-exclude=/usr/share/info/*' >"$rootfs/etc/dpkg/dpkg.cfg.d/receiver-guest"
printf '#!/bin/sh\nexit 101\n' >"$rootfs/usr/sbin/policy-rc.d"
chmod +x "$rootfs/usr/sbin/policy-rc.d"
# An initrd with only what mounts the root disk is small and quick to boot.
mkdir -p "$rootfs/etc/initramfs-tools/conf.d"
echo MODULES=list >"$rootfs/etc/initramfs-tools/conf.d/receiver-guest"
printf '%s\n' virtio_pci virtio_blk ext4 >"$rootfs/etc/initramfs-tools/modules"
printf 'deb %s %s main\n' "$debian" bookworm "$debian" bookworm-updates "$security" bookworm-security \
  >"$rootfs/etc/apt/sources.list"
logged in_root dpkg --add-architecture i386
# A mirror in the middle of a sync can fail one index for a while; the release
# suite preferred in the install below still finds matching versions.
for try in 1 2 3; do
  in_root apt-get update -q >>"$log" 2>&1 && break
  echo "image.sh: apt-get update failed (try $try of 3)" >&2
done
# Maintainer scripts of i386 packages that run i386 programs fail here and are
# finished on the first boot.
# shellcheck disable=SC2086
in_root apt-get install -y -q -t bookworm --no-install-recommends -o Dpkg::Options::=--force-confold \
  $packages >>"$log" 2>&1 || echo "image.sh: some packages left to configure on the first boot" >&2
for package in $packages; do
  in_root dpkg-query -W -f '${db:Status-Status}\n' "$package" 2>/dev/null |
    grep -qE '^(installed|unpacked|half-configured)$' || fail "$package was not installed; see $log"
done
in_root apt-get clean
rm -rf "$rootfs"/var/lib/apt/lists/* "$rootfs"/usr/share/locale/*/LC_MESSAGES
took "packages"

umount "$rootfs/proc"
mv "$rootfs"/boot/vmlinuz-* "$tmp/vmlinuz"
mv "$rootfs"/boot/initrd.img-* "$tmp/initrd.img"
install -m 755 "$here/init.sh" "$rootfs/usr/local/sbin/receiver-guest-init"
printf '127.0.0.1 localhost receiver-guest\n::1 localhost\n' >"$rootfs/etc/hosts"
size=$(($(du -sm "$rootfs" | cut -f1) + 2048))
truncate -s "${size}M" "$tmp/disk.img"
logged mkfs.ext4 -q -F -L receiver-guest -d "$rootfs" "$tmp/disk.img"
rm -rf --one-file-system "$rootfs"
took "disk image (${size} MiB)"

"$here/run.sh" --guest "$tmp" --writable --timeout 1800 -- "$here/firstboot.sh" >&2 ||
  fail "the guest's first boot failed (status $?)"
took "first boot"

mv "$tmp" "$cache/$hash"
trap - EXIT
find "$cache" -mindepth 1 -maxdepth 1 -type d ! -name "$hash" -exec rm -rf --one-file-system {} +
echo "image.sh: the guest is $(du -sh "$cache/$hash" | cut -f1) on disk" >&2
echo "$cache/$hash"
