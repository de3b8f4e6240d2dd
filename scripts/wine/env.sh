# Sourced by the scripts that run Windows programs: which Wine runs them (32-
# or 64-bit), the project's Wine prefix inside build/, Wine's own messages off,
# and wine_prefix_ready, which creates the prefix once (no crash dialog,
# Windows' fonts) and keeps its server alive for the run.
receiver_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The prefix the others are named after: build/wineprefix unless one is given.
wine_prefix_base=${RECEIVER_WINE_PREFIX_BASE:-${WINEPREFIX:-$receiver_root/build/wineprefix}}
wine_prefix_base=${wine_prefix_base%/}
export RECEIVER_WINE_PREFIX_BASE=$wine_prefix_base

# The Windows architecture a program was built for, from its PE header:
# win32 (i386), win64 (x86-64), or nothing when it is neither.
pe_arch() {
  local at machine
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  machine=$(od -An -tx2 -j$((${at:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
  014c) echo win32 ;;
  8664) echo win64 ;;
  *) return 1 ;;
  esac
}

# wine_arch win32|win64: the Wine that runs programs of that architecture and
# the prefix it keeps them in. Debian's /usr/bin/wine starts the 32-bit loader
# whenever wine32 is installed, even for a 64-bit program, so wine and its
# tools are called here through the loader itself: wine, wineserver, wineboot,
# winepath and winecfg below are shell functions. The 64-bit prefixes are the
# 32-bit ones' names with 64 added (build/wineprefix64, build/wineprefix64-win7).
#
# RECEIVER_WINDOWS_VERSION (a version name winecfg knows: winxp, win7, win10)
# runs in a prefix of its own beside the default one, set to report that version.
# RECEIVER_ANNOTATION_STANDIN runs in one of its own too, "-annotations", where a
# test registers its stand-in for Windows' accessibility annotation service.
# RECEIVER_DPI (dots per inch, 144 for 150 %) runs in one set to that display
# scale, "-dpi144".
wine_arch() {
  local suffix=${RECEIVER_WINDOWS_VERSION:-}
  [ -n "${RECEIVER_ANNOTATION_STANDIN:-}" ] && suffix=annotations
  [ -n "${RECEIVER_DPI:-}" ] && suffix=dpi$RECEIVER_DPI
  export RECEIVER_WINE_ARCH=$1 WINEARCH=$1 WINEPREFIX=$wine_prefix_base
  if [ "$1" = win64 ]; then
    WINEPREFIX+=64
    export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  else
    export WINELOADER=/usr/lib/wine/wine
    unset WINESERVER
  fi
  [ -z "$suffix" ] || WINEPREFIX+=-$suffix
}
wine() { "$WINELOADER" "$@"; }
wineserver() { "${WINESERVER:-/usr/bin/wineserver}" "$@"; }
wineboot() { wine wineboot.exe "$@"; }
winepath() { wine winepath.exe "$@"; }
winecfg() { wine winecfg.exe "$@"; }
wine_arch "${RECEIVER_WINE_ARCH:-win32}"

# Debian's Wine looks for fonts in the prefix's C:\windows\Fonts and in the
# system's font folders, not among its own fonts in /usr/share/wine/fonts: without
# them the dialog font MS Sans Serif falls back to another face and the caption
# buttons, drawn with Marlett, show as the letters 0, 1 and r. They are copied
# into the prefix, and the Liberation fonts stand in for Arial and its kin.
wine_prefix_fonts() {
  cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" &&
    wine reg import "$receiver_root/scripts/wine/fonts.reg" >/dev/null 2>&1 </dev/null 9>&- &&
    touch "$WINEPREFIX/.receiver-fonts"
}

wine_dpi() {
  wine reg add "$1" /v LogPixels /t REG_DWORD /d "$RECEIVER_DPI" /f >/dev/null 2>&1 </dev/null 9>&-
}

wine_prefix_ready() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.receiver-ready" ]; then
      wineboot -i >/dev/null 2>&1 </dev/null 9>&-
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1 </dev/null 9>&-
      wineserver -w 9>&-
      # Only a prefix that wineboot finished is marked: one it left half made
      # (a full disk) is made again by the next run, not used. The fonts are
      # copied into its Fonts folder next.
      [ -d "$WINEPREFIX/drive_c/windows/system32" ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ] &&
        touch "$WINEPREFIX/.receiver-ready"
    fi
    # A prefix wineboot could not make (no Wine that runs here) gets no fonts:
    # the program's own start then says what is wrong.
    [ ! -f "$WINEPREFIX/.receiver-ready" ] || [ -f "$WINEPREFIX/.receiver-fonts" ] || wine_prefix_fonts
    if [ -n "${RECEIVER_WINDOWS_VERSION:-}" ] && [ ! -f "$WINEPREFIX/.receiver-version" ]; then
      wine winecfg /v "$RECEIVER_WINDOWS_VERSION" >/dev/null 2>&1 </dev/null 9>&- &&
        touch "$WINEPREFIX/.receiver-version"
    fi
    # The display scale is read when the prefix's server starts: set under
    # both keys, then the server restarted.
    if [ -n "${RECEIVER_DPI:-}" ] && [ ! -f "$WINEPREFIX/.receiver-dpi" ]; then
      if wine_dpi 'HKCU\Control Panel\Desktop' && wine_dpi 'HKCC\Software\Fonts'; then
        wineserver -k 9>&-
        wineserver -w 9>&-
        touch "$WINEPREFIX/.receiver-dpi"
      fi
    fi
    # A server that outlives each program makes the next start quick; its
    # output goes nowhere, so no caller's pipe (nor the lock) is held open by it.
    # When one is already running this start fails, and that one serves.
    wineserver -p60 >/dev/null 2>&1 </dev/null 9>&- || true
  ) 9>"$WINEPREFIX.lock"
}
