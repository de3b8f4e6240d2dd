#!/usr/bin/env bash
# What receiver.exe declares to Windows, read back out of the built file: its
# application manifest (pe-resources.py finds it in the resource directory, as
# Windows does; xmllint checks it is well-formed and reads each element in its
# own namespace), its security flags as pesec reports them, and the DLLs it
# imports. Fails, naming each, when something is missing, extra or misplaced.
# Arguments: objdump, receiver.exe, the project version (two or three numbers),
# the architecture the manifest names (x86, or amd64 for the 64-bit twin).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
objdump=$1
exe=$(realpath "$2")
version=$3
arch=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/receiver-image.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$here/common.sh"

# The manifest: Windows reads a program's own from resource 1 of type
# RT_MANIFEST (24), and it must be the only one of its type.
resources=$(python3 "$here/pe-resources.py" "$exe") || {
    echo "FAIL: $exe's resource directory cannot be read"
    exit 1
}
mapfile -t manifests < <(awk -F'\t' '$1 == 24 { print $2 }' <<<"$resources")
if [ ${#manifests[@]} = 0 ]; then
    echo "FAIL: $exe carries no manifest (resources by type, name: $(cut -f1,2 <<<"$resources" | tr '\t\n' ' ;'))"
    exit 1
fi
[ ${#manifests[@]} = 1 ] || fail "$exe carries ${#manifests[@]} manifests, resources ${manifests[*]} of type 24"
[ "${manifests[0]}" = 1 ] || fail "the manifest is resource ${manifests[0]} of type 24, not 1"
manifest=$work/manifest.xml
python3 "$here/pe-resources.py" "$exe" 24 "${manifests[0]}" >"$manifest"
xmllint --noout "$manifest" || {
    echo "FAIL: the manifest is not well-formed XML"
    exit 1
}
query() { # the value of an XPath expression over the manifest
    xmllint --xpath "$1" "$manifest" 2>/dev/null
}
declare -A ns=([v1]=urn:schemas-microsoft-com:asm.v1 [v2]=urn:schemas-microsoft-com:asm.v2
    [v3]=urn:schemas-microsoft-com:asm.v3 [os]=urn:schemas-microsoft-com:compatibility.v1
    [dpi]=http://schemas.microsoft.com/SMI/2005/WindowsSettings)
xp() { # steps prefix:name, each element bound to the namespace ns[prefix] (* for any): an absolute path
    local step path=
    for step; do
        path+="/*[local-name()='${step#*:}'"
        [ "${step%%:*}" = '*' ] || path+=" and namespace-uri()='${ns[${step%%:*}]}'"
        path+=']'
    done
    printf %s "$path"
}
present() { # steps: fails, naming the first element missing or in another namespace
    local i any names=("${@#*:}") IFS=/
    for ((i = 1; i <= $#; i++)); do
        [ "$(query "count($(xp "${@:1:i}"))")" != 0 ] && continue
        any=$(xp "${@:1:i-1}" "*:${names[i - 1]}")
        if [ "$(query "count($any)")" = 0 ]; then
            fail "the manifest has no ${names[*]:0:i}"
        else
            fail "the manifest's ${names[*]:0:i} is in namespace \"$(query "namespace-uri($any)")\", not \"${ns[${!i%%:*}]}\""
        fi
        return 1
    done
}
expect() { # description, XPath, wanted value
    local got
    got=$(query "$2")
    [ "$got" = "$3" ] || fail "the manifest's $1 is \"$got\", not \"$3\""
}
present v1:assembly || exit 1
expect "manifestVersion" "string($(xp v1:assembly)/@manifestVersion)" 1.0
IFS=. read -r major minor patch <<<"$version"
quad=$major.$minor.${patch:-0}.0
[[ $quad =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the version $quad is not four numbers"
# Each group of elements is read once they are all in their namespaces.
steps=(v1:assembly v1:assemblyIdentity)
if present "${steps[@]}"; then
    id=$(xp "${steps[@]}")
    expect "identity's type" "string($id/@type)" win32
    expect "identity's name" "string($id/@name)" Zintra.Receiver
    expect "identity's architecture" "string($id/@processorArchitecture)" "$arch"
    expect "identity's version" "string($id/@version)" "$quad"
fi
steps=(v1:assembly v1:dependency v1:dependentAssembly v1:assemblyIdentity)
if present "${steps[@]}"; then
    controls=$(xp "${steps[@]}")
    expect "Common Controls' type" "string($controls/@type)" win32
    expect "dependency" "string($controls/@name)" Microsoft.Windows.Common-Controls
    expect "Common Controls' version" "string($controls/@version)" 6.0.0.0
    expect "Common Controls' architecture" "string($controls/@processorArchitecture)" "$arch"
    expect "Common Controls' key" "string($controls/@publicKeyToken)" 6595b64144ccf1df
    expect "Common Controls' language" "string($controls/@language)" '*'
fi
# trustInfo as Windows XP reads it (asm.v2) or as Vista's schema names it (asm.v3).
ns[trust]=$(query "namespace-uri($(xp v1:assembly '*:trustInfo'))")
[ -n "${ns[trust]}" ] || ns[trust]=${ns[v2]}
[ "${ns[trust]}" = "${ns[v2]}" ] || [ "${ns[trust]}" = "${ns[v3]}" ] ||
    fail "the manifest's trustInfo is in namespace \"${ns[trust]}\", not \"${ns[v2]}\" or \"${ns[v3]}\""
steps=(v1:assembly trust:trustInfo trust:security trust:requestedPrivileges trust:requestedExecutionLevel)
if present "${steps[@]}"; then
    level=$(xp "${steps[@]}")
    expect "execution level" "string($level/@level)" asInvoker
    expect "uiAccess" "string($level/@uiAccess)" false
fi
# Windows 7, 8, 8.1, and 10 and 11.
steps=(v1:assembly os:compatibility os:application os:supportedOS)
os=$(xp "${steps[@]}")
present "${steps[@]}" && expect "supported Windows versions" \
    "concat(${os}[1]/@Id, ' ', ${os}[2]/@Id, ' ', ${os}[3]/@Id, ' ', ${os}[4]/@Id, ' ', count($os))" \
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a} {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {1f676c76-80e1-4239-95bb-83d0f6d0da78} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a} 4'
steps=(v1:assembly v3:application v3:windowsSettings dpi:dpiAware)
present "${steps[@]}" && expect "DPI awareness" "normalize-space($(xp "${steps[@]}"))" true
[ "$(query "count(//*[local-name()='activeCodePage' or local-name()='dpiAwareness'])")" = 0 ] ||
    fail "the manifest sets a code page or per-monitor awareness: $(grep -n '<[^>]*\(activeCodePage\|dpiAwareness\)' "$manifest")"

# ASLR, DEP and no structured exception handlers, as pesec reads the headers.
flags=$(pesec "$exe" 2>&1)
for want in 'ASLR: +yes' 'DEP/NX: +yes' 'SEH: +no'; do
    grep -qE "^$want\$" <<<"$flags" || fail "pesec does not report \"$want\": $(tr '\n' ';' <<<"$flags")"
done

# The DLLs of Windows it needs and no others.
imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort | paste -sd' ')
[ "$imports" = "COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL USER32.DLL" ] ||
    fail "receiver.exe imports $imports"

passed "receiver.exe carries its manifest ($quad), ASLR, DEP, no SEH, and imports $imports"
