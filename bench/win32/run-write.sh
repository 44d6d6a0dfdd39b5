#!/usr/bin/env bash
# The write of velor-bootloader.exe (from "Прошити", through the window driver) against
# velor-flash.exe on the same simulated device, side by side under Wine + Xvfb: the whole write's
# time and the host's turn between exchanges (from the device's log) of each front end.
#
#   bash bench/win32/run-write.sh [ROUNDS]     (default 1 round: flash, then window)
#
# VELOR_BENCH_BAUD paces the simulated line (default 115200; 0: unpaced). VELOR_BENCH_LOAD=N keeps
# N busy loops running beside (a loaded PC). VELOR_BENCH_ONLY=window skips velor-flash.exe (repeated
# window writes when hunting a stall).
set -euo pipefail
cd "$(dirname "$0")/../.."

rounds=${1:-1}
baud=${VELOR_BENCH_BAUD:-115200}
native=${VELOR_NATIVE_BUILD_DIR:-build/dev}
win=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
exe=$PWD/$win/src/ui/win32/velor-bootloader.exe
flash=$PWD/$win/src/cli/velor-flash.exe
driver=$PWD/$win/tests/win32/velor-window-driver.exe
devsim=$PWD/$native/tools/devsim/velor-devsim
for f in "$exe" "$flash" "$driver" "$devsim"; do
    [ -f "$f" ] || { echo "run-write: $f is missing (scripts/build-windows.sh, $native)" >&2; exit 1; }
done

wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=${VELOR_WINEPREFIX:-$PWD/$win/wineprefix-gui} WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
pids=()
devsim_pid=
cleanup() {
    for pid in $devsim_pid "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
source scripts/wine-env.sh
wine_xvfb_start "$work"
pids+=("$WINE_XVFB_PID")
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wineserver" -w
fi
"$wineserver" -p >/dev/null 2>&1
for _ in $(seq "${VELOR_BENCH_LOAD:-0}"); do
    (while :; do :; done) &
    pids+=($!)
done

winpath() { echo "Z:${1//\//\\}"; }
start_device() {
    [ -z "$devsim_pid" ] || { kill "$devsim_pid"; wait "$devsim_pid" 2>/dev/null || true; }
    local pace=()
    [ "$baud" = 0 ] || pace=(--baud "$baud")
    "$devsim" --description 241003 "${pace[@]}" --log "$work/device.log" >"$work/devsim.out" &
    devsim_pid=$!
    for _ in $(seq 100); do [ -s "$work/devsim.out" ] && break; sleep 0.05; done
    ln -sfn "$(head -n1 "$work/devsim.out")" "$WINEPREFIX/dosdevices/com7"
    "$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial7' /d COM7 /f \
        >/dev/null 2>&1
}
now() { date +%s.%N; }

echo "64 KiB write, simulated line ${baud} baud (0: unpaced), ${VELOR_BENCH_LOAD:-0} busy loops"
for round in $(seq "$rounds"); do
    if [ "${VELOR_BENCH_ONLY:-}" != window ]; then
        start_device
        t0=$(now)
        "$wine" "$flash" write --port COM7 --quiet >"$work/flash.out" 2>&1 || {
            cat "$work/flash.out"
            echo "run-write: velor-flash.exe failed" >&2
        }
        t1=$(now)
        printf 'round %d velor-flash.exe         %6.1f s; ' "$round" "$(echo "$t1 - $t0" | bc)"
        python3 bench/host-turns.py "$work/device.log"
    fi
    start_device
    t0=$(now)
    "$wine" "$driver" --exe "$(winpath "$exe")" --suite write --port COM7 >"$work/window.out" 2>&1 ||
        { cat "$work/window.out"; echo "run-write: the window's write failed" >&2; }
    t1=$(now)
    printf 'round %d velor-bootloader.exe    %6.1f s (%s); ' "$round" "$(echo "$t1 - $t0" | bc)" \
        "$(sed -n 's/^write took \([0-9.]*\) s; \(.*\)$/\1 s from the click, \2/p' "$work/window.out")"
    python3 bench/host-turns.py "$work/device.log"
done
