#!/usr/bin/env bash
# Shows that image.sh refuses manifests Windows refuses (and Wine would run):
# plants each fault into a copy of receiver.exe, by a same-length change to the
# embedded manifest or to the resource directory, and wants image.sh to exit 1
# naming the fault; the unaltered copy must pass.
# Arguments: as image.sh's: objdump, receiver.exe, project version, architecture.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
objdump=$1
version=$3
arch=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-plants.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/clean.exe"
. "$here/common.sh"
check() { # exe: image.sh's output, and its exit status in $rc
    out=$("$here/image.sh" "$objdump" "$1" "$version" "$arch" 2>&1)
    rc=$?
}
check "$work/clean.exe"
[ $rc = 0 ] || { fail "the unaltered copy: expected exit 0, got $rc: $out"; exit 1; }
# The manifest's directory entries: type 24's, name 1's; where its bytes are.
IFS=$'\t' read -r _ _ _ size data type_entry name_entry < <(python3 "$here/pe-resources.py" "$work/clean.exe" |
    awk -F'\t' '$1 == 24')
# what, offset and length of the bytes to change, their text and the new (\x escapes allowed),
# what image.sh must then say (an extended regular expression).
plant() {
    cp "$work/clean.exe" "$work/planted.exe"
    python3 -c '
import sys
path, at, length, old, new = sys.argv[1:]
old, new = (s.encode().decode("unicode_escape").encode("latin-1") for s in (old, new))
image = bytearray(open(path, "rb").read())
found = image.find(old, int(at), int(at) + int(length))
if found < 0 or len(old) != len(new):
    sys.exit(1)
image[found:found + len(old)] = new
open(path, "wb").write(image)' "$work/planted.exe" "$2" "$3" "$4" "$5" ||
        { fail "$1: expected \"$4\" in the copy, got none to change into \"$5\""; return; }
    check "$work/planted.exe"
    [ $rc = 1 ] || fail "$1: expected exit 1, got $rc: $out"
    grep -qE "^FAIL: .*$6" <<<"$out" || fail "$1: expected a FAIL matching \"$6\", got: $out"
}
v1='xmlns="urn:schemas-microsoft-com:asm.v1"'
plant "root namespace" "$data" "$size" "<assembly $v1" "<assembly ${v1/v1/v9}" \
    'assembly is in namespace "urn:schemas-microsoft-com:asm.v9"'
plant "manifestVersion" "$data" "$size" 'manifestVersion="1.0"' 'manifestVersion="7.0"' 'manifestVersion is "7.0", not "1.0"'
plant "DPI namespace" "$data" "$size" SMI/2005/WindowsSettings SMI/2016/WindowsSettings \
    'dpiAware is in namespace "http://schemas.microsoft.com/SMI/2016/WindowsSettings"'
plant "compatibility namespace" "$data" "$size" compatibility.v1 compatibility.v7 \
    'compatibility is in namespace "urn:schemas-microsoft-com:compatibility.v7"'
plant "trustInfo namespace" "$data" "$size" '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v2' \
    '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v7' 'trustInfo is in namespace "urn:schemas-microsoft-com:asm.v7"'
plant "application namespace" "$data" "$size" '<application xmlns="urn:schemas-microsoft-com:asm.v3' \
    '<application xmlns="urn:schemas-microsoft-com:asm.v1' 'application is in namespace "urn:schemas-microsoft-com:asm.v1"'
plant "dependency type" "$data" "$size" 'type="win32" name="Microsoft' 'type="other" name="Microsoft' \
    "Common Controls' type is \"other\", not \"win32\""
plant "manifest as resource 2" "$name_entry" 4 '\x01\x00\x00\x00' '\x02\x00\x00\x00' 'resource 2 of type 24, not 1'
plant "no manifest" "$type_entry" 4 '\x18\x00\x00\x00' '\x19\x00\x00\x00' 'carries no manifest'
plant "two manifests (version info as a second)" "$((type_entry - 8))" 4 '\x10\x00\x00\x00' '\x18\x00\x00\x00' \
    'carries 2 manifests'
passed "image.sh passes receiver.exe and refuses each of its planted faults"
