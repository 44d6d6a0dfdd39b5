#!/usr/bin/env bash
# Runs velor-bootloader.exe under Wine + Xvfb against velor-devsim behind COM7: checks the exe's
# import table (Windows' own DLLs only), then the window driver's scenarios. With --shots DIR it
# also saves pictures of both layouts and the About window (PNG) into DIR.
set -euo pipefail
cd "$(dirname "$0")/.."

native=${VELOR_NATIVE_BUILD_DIR:-build/test}
win=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
shots=
if [ "${1:-}" = --shots ]; then
    shots=$(realpath -m "$2")
fi
exe=$PWD/$win/src/ui/win32/velor-bootloader.exe
driver=$PWD/$win/tests/win32/velor-window-driver.exe
devsim=$PWD/$native/tools/devsim/velor-devsim
[ -x "$devsim" ] || cmake --build "$native" --target velor-devsim
[ -f "$exe" ] && [ -f "$driver" ] || { echo "test-windows-gui: build $win first" >&2; exit 1; }

# One file, nothing to ship beside it.
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z')
for dll in $dlls; do
    case $dll in
        advapi32.dll | comctl32.dll | comdlg32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | \
            setupapi.dll | shell32.dll | user32.dll | winmm.dll | ole32.dll) ;;
        *) echo "test-windows-gui: $exe imports $dll" >&2; exit 1 ;;
    esac
done
size=$(stat -c %s "$exe")
[ "$size" -le $((4 * 1024 * 1024)) ] || { echo "test-windows-gui: exe is $size bytes" >&2; exit 1; }
echo "velor-bootloader.exe: $size bytes, imports: $(echo $dlls)"
bash scripts/check-hardening.sh pe "$exe" "$PWD/$win/src/cli/velor-flash.exe"

wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=${VELOR_WINEPREFIX:-$PWD/$win/wineprefix-gui} WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
xvfb_pid= devsim_pid=
cleanup() {
    for pid in $(cat "$work/devsim.pid" 2>/dev/null) $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "test-windows-gui: failed at line $LINENO" >&2' ERR

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wineserver" -w  # the new prefix is complete once its first server has ended
fi
"$wineserver" -p >/dev/null 2>&1  # keeps the registry's HARDWARE key alive until the end

winpath() { echo "Z:${1//\//\\}"; }
objcopy -I ihex -O binary --gap-fill 0xff resources/firmware/KALMIRA-5K-2_241004.hex \
    "$work/release.bin"

devsim_args=()
start_device() {
    devsim_pid=$(cat "$work/devsim.pid" 2>/dev/null || true)
    [ -z "$devsim_pid" ] || { kill "$devsim_pid" 2>/dev/null || true; wait "$devsim_pid" 2>/dev/null || true; }
    rm -f "$work/device.bin" "$work/devsim.out"
    "$devsim" --description 241003 --dump "$work/device.bin" "${devsim_args[@]}" \
        >"$work/devsim.out" &
    devsim_pid=$!
    echo "$devsim_pid" >"$work/devsim.pid"  # the request server starts devices of its own
    for _ in $(seq 100); do [ -s "$work/devsim.out" ] && break; sleep 0.05; done
    ln -sfn "$(head -n1 "$work/devsim.out")" "$WINEPREFIX/dosdevices/com7"
    "$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial7' /d COM7 /f \
        >/dev/null 2>&1
    # A port listed before COM7 with nothing behind it: a write that went there would fail.
    "$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial5' /d COM5 /f \
        >/dev/null 2>&1
}

shot_args=()
if [ -n "$shots" ]; then
    mkdir -p "$work/shots"
    shot_args=(--shots "$(winpath "$work/shots")")
fi
# The driver's requests, served while it runs: the device killed (SIGKILL: the line vanishes
# under the program) or a new one plugged behind COM7, COM8 mapped or unmapped.
serve_requests() {
    local request=$work/control/request line
    while :; do
        if [ -f "$request" ]; then
            line=$(tr -d '\r\n' <"$request")
            case $line in
                kill) kill -9 "$(cat "$work/devsim.pid")" 2>/dev/null || true ;;
                plug) start_device ;;
                add-com8)
                    ln -sfn "$(head -n1 "$work/devsim.out")" "$WINEPREFIX/dosdevices/com8"
                    "$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial8' \
                        /d COM8 /f >/dev/null 2>&1 ;;
                remove-com8)
                    "$wine" reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial8' \
                        /f >/dev/null 2>&1 || true
                    rm -f "$WINEPREFIX/dosdevices/com8" ;;
                *) line="unknown request: $line" ;;
            esac
            echo "$line" >"$work/control/done"  # what was done, read by the driver
            rm -f "$request"
        fi
        sleep 0.1
    done
}
run_with_requests() {
    mkdir -p "$work/control"
    serve_requests 2>/dev/null &  # not the shell's notices of the devices it killed
    local server=$!
    local code=0
    "$wine" "$driver" --exe "$(winpath "$exe")" --port COM7 --control "$(winpath "$work/control")" \
        "$@" || code=1
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    return "$code"
}

status=0
suites=${VELOR_GUI_SUITES:-main early-port stop replug ports dpi}
if [[ " $suites " == *" main "* ]]; then
    start_device
    "$wine" "$driver" --exe "$(winpath "$exe")" --suite main --port COM7 \
        --image "$(winpath "$work/release.bin")" --dump "$(winpath "$work/device.bin")" \
        "${shot_args[@]}" || status=1
fi
if [[ " $suites " == *" early-port "* ]]; then
    start_device
    "$wine" "$driver" --exe "$(winpath "$exe")" --suite early-port --port COM7 || status=1
fi
if [[ " $suites " == *" stop "* ]]; then
    start_device  # a device that does not yet hold the release
    "$wine" "$driver" --exe "$(winpath "$exe")" --suite stop --port COM7 || status=1
fi
if [[ " $suites " == *" replug "* ]]; then
    # A smaller device: writes of 8 KiB, long enough to be stopped or cut, the last one compared
    # byte for byte.
    devsim_args=(--geometry 4:32:64)
    head -c 8192 "$work/release.bin" >"$work/small.bin"
    start_device
    run_with_requests --suite replug --image "$(winpath "$work/small.bin")" \
        --dump "$(winpath "$work/device.bin")" || status=1
    devsim_args=()
fi
if [[ " $suites " == *" ports "* ]]; then
    start_device
    run_with_requests --suite ports || status=1
fi
if [[ " $suites " == *" dpi "* ]]; then
    # The same start-up at 144 DPI: the layout scales with the monitor.
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
    "$wine" "$driver" --exe "$(winpath "$exe")" --suite startup "${shot_args[@]}" || status=1
    "$wine" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null
fi
if [ -n "$shots" ]; then
    "$wine" "$driver" --exe "$(winpath "$exe")" --suite about-shot "${shot_args[@]}" || status=1
    mkdir -p "$shots"
    for bmp in "$work"/shots/*.bmp; do
        python3 tools/pictures/bmp-to-png.py "$bmp" "$shots/$(basename "${bmp%.bmp}").png"
    done
fi
[ "$status" -eq 0 ] && echo "Windows window scenarios passed."
exit "$status"
