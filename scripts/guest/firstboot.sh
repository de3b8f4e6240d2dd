#!/usr/bin/env bash
# The test guest's first boot (image.sh runs it inside the guest): finishes the
# packages whose maintainer scripts could not run where the guest was made, then
# makes the Wine prefixes, one for each variant scripts/wine/env.sh knows, so that every
# later boot finds them ready.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
t=$SECONDS
dpkg --configure -a
echo "firstboot.sh: packages configured in $((SECONDS - t)) s"

# env.sh is written for scripts without errexit: each of its steps marks the
# prefix when it has succeeded, and the marks are checked here instead. Making a
# prefix from nothing is slow on an emulated processor, so the variants start as
# copies of the default one and wine_prefix_ready adds what they differ in. A
# prefix is 600 MB, nearly all of it system32's DLLs, which Wine only reads: the
# copies share those files (hard links) and have their own of the rest, as Wine
# rewrites its registry files in place.
copy_prefix() { # FROM TO
  mkdir -p "$2"
  tar -C "$1" --exclude ./drive_c/windows/system32 -c . | tar -C "$2" -x
  cp -al "$1/drive_c/windows/system32" "$2/drive_c/windows/"
}
set +e
default=${WINEPREFIX:?}
for variant in '' RECEIVER_WINDOWS_VERSION=winxp RECEIVER_WINDOWS_VERSION=win7 \
  RECEIVER_WINDOWS_VERSION=win10 RECEIVER_DPI=144 RECEIVER_ANNOTATION_STANDIN=1; do
  t=$SECONDS
  (
    [ -z "$variant" ] || export "${variant?}"
    . scripts/wine/env.sh
    [ "$WINEPREFIX" = "$default" ] || [ -e "$WINEPREFIX" ] || copy_prefix "$default" "$WINEPREFIX"
    wine_prefix_ready
    wineserver -k
    wineserver -w
    for mark in ready fonts ${RECEIVER_WINDOWS_VERSION:+version} ${RECEIVER_DPI:+dpi}; do
      [ -f "$WINEPREFIX/.receiver-$mark" ] || { echo "firstboot.sh: $WINEPREFIX lacks .receiver-$mark" >&2 && exit 1; }
    done
    echo "firstboot.sh: $WINEPREFIX made in $((SECONDS - t)) s"
  ) || exit 1
done
