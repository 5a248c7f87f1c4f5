#!/usr/bin/env bash
# Runs one Windows program under Wine (wine64), in the private prefix that the
# Windows check made, under a time limit, and passes its exit status on (53: a
# DLL was not found; 124 or 137: the time ran out). The Windows build's CMake
# runs its tests through it (CMAKE_CROSSCOMPILING_EMULATOR).
#
# Usage: scripts/wine-run.sh program.exe [arguments...]
#   QUILLBOX_WINEPREFIX  the Wine prefix (required; made on first use)
#   QUILLBOX_WINEPATH    folders of the DLLs the program needs, Unix paths
#                        separated by ':' (Qt's and MinGW's runtime)
#   WINE_RUN_TIMEOUT     seconds before the program is killed (default 120; 0: no
#                        limit, and the program runs in this process, so that a
#                        signal sent to it reaches the program itself)
#   QT_*                 passed on: Wine hands the program no QT_* variable of
#                        its own, but turns WINEQT_X into QT_X.
set -euo pipefail
: "${QUILLBOX_WINEPREFIX:?set QUILLBOX_WINEPREFIX to the Wine prefix}"
export WINEPREFIX=$QUILLBOX_WINEPREFIX
export WINELOADER=/usr/lib/wine/wine64
# Quiet, but for a DLL that is not found.
export WINEDEBUG=${WINEDEBUG:--all,err+module}
# No Wine Mono or Gecko, and so no question about installing them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Qt's messages and QtTest's report go to the debugger unless told otherwise.
: "${QT_FORCE_STDERR_LOGGING:=1}"
export QT_FORCE_STDERR_LOGGING
while IFS='=' read -r name _; do
    case "$name" in QT_*) export "WINE$name=${!name}" ;; esac
done < <(env)
if [ -n "${QUILLBOX_WINEPATH:-}" ]; then
    winpath=""
    IFS=: read -r -a dirs <<<"$QUILLBOX_WINEPATH"
    for d in "${dirs[@]}"; do winpath+="Z:${d//\//\\};"; done
    export WINEPATH="${winpath%;}"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    DISPLAY='' timeout -k 10 300 /usr/lib/wine/wine64 wineboot --init </dev/null >&2
    timeout -k 10 60 /usr/lib/wine/wineserver -w || true
fi
# Without a display (the tests), one Wine server serves a whole run, staying
# 30 s after its last program: each program then starts in a fraction of a
# second. Wine's own processes are started here, with no output attached:
# started by a test they would hold its output open until the server ends.
if [ -z "${DISPLAY:-}" ] &&
    /usr/lib/wine/wineserver -p30 </dev/null >/dev/null 2>&1; then
    timeout -k 10 120 /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
fi
[ "${WINE_RUN_TIMEOUT:-120}" = 0 ] && exec /usr/lib/wine/wine64 "$@"
exec timeout -k 10 "${WINE_RUN_TIMEOUT:-120}" /usr/lib/wine/wine64 "$@"
