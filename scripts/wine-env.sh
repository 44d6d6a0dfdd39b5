#!/usr/bin/env bash
# Wine set-up shared by the scripts that run our Windows programs here (source it, then call the
# functions). The prefix lives in a build folder and is created once; COM ports are symbolic links
# in the prefix's dosdevices/ folder to Linux pseudo-terminals.
#
#   source scripts/wine-env.sh
#   wine_env_start build/windows      # WINEPREFIX=build/windows/wineprefix, wineserver kept alive
#   wine_map_com 7 /dev/pts/5         # COM7 is that pseudo-terminal
#   wine_register_com 7               # ... and is listed in HARDWARE\DEVICEMAP\SERIALCOMM
#   wine_run program.exe args...      # runs a console program (its exit code is returned)
#   wine_console_run screen.txt program.exe args...  # ... on a console; the screen as text
#   wine_env_stop                     # ends the wineserver (the HARDWARE key goes with it)

WINE_BIN=${WINE_BIN:-/usr/lib/wine/wine64}
WINESERVER_BIN=${WINESERVER_BIN:-/usr/lib/wine/wineserver}

# wine_env_start BUILD_DIR: exports the prefix settings, creates the prefix on first use (no
# window, no Mono or Gecko installers) and starts a wineserver that stays up between programs.
wine_env_start() {
    local build=$1
    mkdir -p "$build"
    export WINEPREFIX
    WINEPREFIX=$(cd "$build" && pwd)/wineprefix
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEARCH=win64
    # Programs run without a display; a GUI driver sets DISPLAY itself (e.g. to an Xvfb).
    export DISPLAY=${WINE_DISPLAY:-}
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-env: creating the prefix $WINEPREFIX"
        "$WINE_BIN" wineboot -i >/dev/null 2>&1 </dev/null
        "$WINESERVER_BIN" -w
    fi
    # A fresh server, persistent: the registry's HARDWARE key lives only as long as the server,
    # and one left over from an interrupted run would refuse to start a second one.
    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -p >/dev/null 2>&1 </dev/null
    # Wine's own services (services.exe, winedevice.exe, ...) start with the first program and
    # outlive it, keeping whatever output it had open: a pipe to ctest would then never close.
    # Started here, they hold /dev/null instead.
    "$WINE_BIN" wineboot >/dev/null 2>&1 </dev/null
}

# wine_env_stop: ends the wineserver of the prefix and waits for it.
wine_env_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        "$WINESERVER_BIN" -k 2>/dev/null || true
        "$WINESERVER_BIN" -w 2>/dev/null || true
    fi
}

# wine_map_com N PATH: COMn becomes the device PATH (links followed, so a pty's link name works).
wine_map_com() {
    local n=$1 target
    target=$(readlink -f "$2")
    mkdir -p "$WINEPREFIX/dosdevices"
    ln -sfn "$target" "$WINEPREFIX/dosdevices/com$n"
}

# wine_unmap_com N: COMn no longer exists.
wine_unmap_com() {
    rm -f "$WINEPREFIX/dosdevices/com$1"
}

# wine_register_com N: lists COMn where programs look for ports. A port mapped by hand is usable
# by name but absent from this list until entered.
wine_register_com() {
    "$WINE_BIN" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "\\Device\\Serial$1" /d "COM$1" \
        /f >/dev/null 2>&1
}

# wine_run PROGRAM ARGS...: runs a Windows console program; returns its exit code.
wine_run() {
    "$WINE_BIN" "$@"
}

# wine_console_run SCREEN PROGRAM ARGS...: runs a console program on a real Wine console drawn
# on a pseudo-terminal (util-linux script, UTF-8 locale) and writes what the screen shows, as
# text, to SCREEN; returns the program's exit code.
wine_console_run() {
    local screen=$1 rc=0
    shift
    LANG=C.UTF-8 script -qfe -c "$(printf '%q ' "$WINE_BIN" "$@")" "$screen.typescript" \
        </dev/null >/dev/null || rc=$?
    # The console draws a space as "erase, one column on" and hides the cursor around each cell.
    python3 - "$screen.typescript" "$screen" <<'PY'
import re, sys
raw = open(sys.argv[1], "rb").read().decode("utf-8", "replace")
raw = raw.split("\n", 1)[1].rsplit("\nScript done", 1)[0]
raw = re.sub(r"\x1b\[(\d*)C", lambda m: " " * int(m.group(1) or 1), raw)
raw = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", raw).replace("\r", "")
open(sys.argv[2], "w", encoding="utf-8").write(raw)
PY
    return "$rc"
}

# wine_pty_pair LINK_A LINK_B: two pseudo-terminals joined end to end (raw, no echo) behind the
# two link names; prints socat's pid. Ends when that pid is killed.
wine_pty_pair() {
    socat "pty,rawer,link=$1" "pty,rawer,link=$2" >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 100); do
        [ -e "$1" ] && [ -e "$2" ] && break
        sleep 0.05
    done
    echo "$pid"
}

# wine_xvfb_start WORK_DIR: a private X display for windows (Xvfb, no window manager), exported
# as DISPLAY; its pid in WINE_XVFB_PID for the caller to end.
wine_xvfb_start() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
    WINE_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.05
    done
    export DISPLAY=:$(cat "$1/display")
}
