# Sourced by the scripts that run Windows programs: the project's Wine prefix
# inside build/, Wine's own messages off, and wine_prefix_ready, which creates
# the prefix once (no crash dialog) and keeps its server alive for the run.
receiver_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$receiver_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=${WINEARCH:-win32}

wine_prefix_ready() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.receiver-ready" ]; then
      wineboot -i >/dev/null 2>&1 </dev/null 9>&-
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1 </dev/null 9>&-
      wineserver -w 9>&-
      touch "$WINEPREFIX/.receiver-ready"
    fi
    # A server that outlives each program makes the next start quick; its
    # output goes nowhere, so no caller's pipe (nor the lock) is held open by it.
    wineserver -p60 >/dev/null 2>&1 </dev/null 9>&-
  ) 9>"$WINEPREFIX.lock"
}
