#!/usr/bin/env bash
# What receiver.exe declares to Windows, read back out of the built file: its
# application manifest (peres extracts it; xmllint checks it is well-formed and
# reads its elements), its security flags as pesec reports them, and the DLLs
# it imports. Fails, naming each, when something is missing or extra.
# Arguments: objdump, receiver.exe, the project version (two or three numbers),
# the architecture the manifest names (x86, or amd64 for the 64-bit twin).
set -uo pipefail
objdump=$1
exe=$(realpath "$2")
version=$3
arch=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-image.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

# The manifest: resource 1 of type RT_MANIFEST, the only one of its type.
(cd "$work" && peres -x "$exe" >/dev/null 2>&1)
manifests=("$work"/resources/manifests/*)
if [ ${#manifests[@]} != 1 ] || [ ! -f "${manifests[0]}" ]; then
    echo "FAIL: $exe carries no one manifest: $(find "$work/resources" -type f 2>/dev/null | sed "s|$work/||")"
    exit 1
fi
manifest=${manifests[0]}
xmllint --noout "$manifest" || fail "the manifest is not well-formed XML"
# The value of an XPath expression over the manifest with its namespace
# declarations taken out, so that elements are named plainly.
query() {
    xmllint --xpath "$1" <(sed 's/ xmlns="[^"]*"//g' "$manifest") 2>/dev/null
}
expect() { # description, XPath, wanted value
    local got
    got=$(query "$2")
    [ "$got" = "$3" ] || fail "the manifest's $1 is \"$got\", not \"$3\""
}
IFS=. read -r major minor patch <<<"$version"
quad=$major.$minor.${patch:-0}.0
expect "identity's type" 'string(/assembly/assemblyIdentity/@type)' win32
expect "identity's name" 'string(/assembly/assemblyIdentity/@name)' Zintra.Receiver
expect "identity's architecture" 'string(/assembly/assemblyIdentity/@processorArchitecture)' "$arch"
expect "identity's version" 'string(/assembly/assemblyIdentity/@version)' "$quad"
[[ $quad =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the version $quad is not four numbers"
controls=/assembly/dependency/dependentAssembly/assemblyIdentity
expect "dependency" "string($controls/@name)" Microsoft.Windows.Common-Controls
expect "Common Controls' version" "string($controls/@version)" 6.0.0.0
expect "Common Controls' architecture" "string($controls/@processorArchitecture)" "$arch"
expect "Common Controls' key" "string($controls/@publicKeyToken)" 6595b64144ccf1df
expect "Common Controls' language" "string($controls/@language)" '*'
level=/assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel
expect "execution level" "string($level/@level)" asInvoker
expect "uiAccess" "string($level/@uiAccess)" false
# Windows 7, 8, 8.1, and 10 and 11.
expect "supported Windows versions" \
    'concat(/assembly/compatibility/application/supportedOS[1]/@Id, " ",
            /assembly/compatibility/application/supportedOS[2]/@Id, " ",
            /assembly/compatibility/application/supportedOS[3]/@Id, " ",
            /assembly/compatibility/application/supportedOS[4]/@Id, " ",
            count(/assembly/compatibility/application/supportedOS))' \
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a} {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {1f676c76-80e1-4239-95bb-83d0f6d0da78} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a} 4'
expect "DPI awareness" 'normalize-space(/assembly/application/windowsSettings/dpiAware)' true
grep -q 'xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' "$manifest" ||
    fail "dpiAware is not in the 2005 WindowsSettings namespace"
grep -n '<activeCodePage\|<dpiAwareness' "$manifest" &&
    fail "the manifest sets a code page or per-monitor awareness"

# ASLR, DEP and no structured exception handlers, as pesec reads the headers.
flags=$(pesec "$exe" 2>&1)
for want in 'ASLR: +yes' 'DEP/NX: +yes' 'SEH: +no'; do
    grep -qE "^$want\$" <<<"$flags" || fail "pesec does not report \"$want\": $(tr '\n' ';' <<<"$flags")"
done

# The DLLs of Windows it needs and no others.
imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort | paste -sd' ')
[ "$imports" = "COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL USER32.DLL" ] ||
    fail "receiver.exe imports $imports"

[ $status = 0 ] && echo "receiver.exe carries its manifest ($quad), ASLR, DEP, no SEH, and imports $imports"
exit $status
