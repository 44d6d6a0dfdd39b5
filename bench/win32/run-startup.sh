#!/usr/bin/env bash
# Builds the Windows programs and compares the start-up of velor-bootloader.exe with a bare Win32
# window under Wine + Xvfb on this machine: bash bench/win32/run-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."

win=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
bash scripts/build-windows.sh >/dev/null
cmake --build "$win" -j "${VELOR_JOBS:-2}" --target velor-bench-bare-win32 velor-bench-win32-startup

wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=$PWD/$win/wineprefix-gui WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; "$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wineserver" -w
fi
"$wineserver" -p >/dev/null 2>&1

winpath() { echo "Z:${1//\//\\}"; }
"$wine" "$win/bench/win32/velor-bench-win32-startup.exe" \
    "$(winpath "$PWD/$win/src/ui/win32/velor-bootloader.exe")" \
    "$(winpath "$PWD/$win/bench/win32/velor-bench-bare-win32.exe")" "${1:-10}"
