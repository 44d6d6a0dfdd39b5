#!/usr/bin/env bash
# The Windows build, tested under Wine: the cross build (cached in build/windows), the unit tests
# run as .exe files, the Win32 port on two joined Wine COM ports, and velor-flash.exe against
# velor-devsim behind COM7. The prefix lives in build/windows/wineprefix, created once.
#
# velor-devsim is the Linux one from VELOR_LINUX_BUILD_DIR (default build/test, which
# scripts/test.sh has just built); it is built there when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

build=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
linux=${VELOR_LINUX_BUILD_DIR:-build/test}
export VELOR_WINDOWS_BUILD_DIR=$build
bash scripts/build-windows.sh

devsim=$linux/tools/devsim/velor-devsim
if [ ! -x "$devsim" ]; then
    if [ ! -f "$linux/build.ninja" ]; then
        cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_BUILD_GUI=OFF \
            -DVELOR_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$linux" -j "${VELOR_JOBS:-2}" --target velor-devsim
fi
flash=$build/src/cli/velor-flash.exe

source scripts/wine-env.sh
work=$(mktemp -d)
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    wine_env_stop
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
wine_env_start "$build"

failures=0
pass() { echo "  ok    $1"; }
fail() {
    echo "  FAIL  $1" >&2
    failures=$((failures + 1))
}

echo "== Windows unit tests under Wine"
ctest --test-dir "$build" -LE wine-com --output-on-failure -j "${VELOR_JOBS:-2}" --timeout 120

echo "== Win32 port on two joined COM ports (COM5, COM6)"
pids+=("$(wine_pty_pair "$work/pairA" "$work/pairB")")
wine_map_com 5 "$work/pairA"
wine_map_com 6 "$work/pairB"
VELOR_WINE_PORT_A=COM5 VELOR_WINE_PORT_B=COM6 \
    wine_run "$build/tests/integration/win32/serial_win32_port_tests.exe" --gtest_brief=1

echo "== velor-flash.exe against velor-devsim"
objcopy -I ihex -O binary --gap-fill 0xff resources/firmware/KALMIRA-5K-2_241004.hex \
    "$work/release.bin"

# start_device NAME COM ARGS...: a simulated device in $work/NAME behind COMn.
start_device() {
    local name=$1 com=$2
    shift 2
    mkdir -p "$work/$name"
    "$devsim" "$@" --dump "$work/$name/device.bin" --link "$work/$name/tty" \
        >"$work/$name/devsim.out" 2>&1 &
    pids+=("$!")
    eval "pid_$name=$!"
    local i
    for i in $(seq 100); do
        [ -e "$work/$name/tty" ] && break
        sleep 0.05
    done
    wine_map_com "$com" "$work/$name/tty"
}

# stop_device NAME: ends the simulator politely, so its dump is final.
stop_device() {
    local pid
    eval "pid=\$pid_$1"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# flash NAME ARGS...: velor-flash.exe ARGS; stdout, stderr and exit code in $work/NAME.*
flash() {
    local name=$1
    shift
    local rc=0
    wine_run "$flash" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null || rc=$?
    echo "$rc" >"$work/$name.rc"
}

# expect NAME CODE STREAM TEXT: the run ended with CODE and its STREAM (out/err) holds TEXT.
expect() {
    local name=$1 code=$2 stream=$3 text=$4 rc
    rc=$(cat "$work/$name.rc")
    if [ "$rc" = "$code" ] && grep -qF -- "$text" "$work/$name.$stream"; then
        pass "$name (exit $rc)"
    else
        fail "$name: exit $rc (want $code), $stream lacks \"$text\""
        sed 's/^/        /' "$work/$name.out" "$work/$name.err" >&2
    fi
}

# expect_image NAME: the device's memory equals the release image.
expect_image() {
    if cmp -s "$work/release.bin" "$work/$1/device.bin"; then
        pass "$1: device memory equals the release image"
    else
        fail "$1: device memory differs from the release image"
    fi
}

wine_register_com 7
flash ports ports
expect ports 0 out COM7
echo "        listed: $(tr '\r\n' '  ' <"$work/ports.out")"

start_device plain 7 --description 241003
flash detect detect --port COM7
expect detect 0 out "Визначино:"
flash write write --port COM7
expect write 0 out "успішно завантажена"
flash same write --port COM7
expect same 1 out "Дана версія вже записана в прилад!"
flash reset reset --port COM7
expect reset 0 out "Скинуто прилад!!!"
stop_device plain
expect_image plain

start_device newer 7 --description 241005
flash newer write --port COM7
expect newer 1 out "В прилад вже записана новіша версія!"
stop_device newer

wine_unmap_com 99
flash missing detect --port COM99
expect missing 3 err "Спроба відкрити неіснуючий СОМ-порт"
expect missing 3 err "The COM ports present:"

# On a console the Ukrainian texts read as Ukrainian, on stdout and stderr, with a Ukrainian
# file name as argument; into a pipe the same text stays UTF-8 bytes.
console_started=$SECONDS
# expect_screen NAME CODE TEXT: the console run NAME ended with CODE and its screen shows TEXT.
expect_screen() {
    local name=$1 code=$2 text=$3 rc
    rc=$(cat "$work/$name.rc")
    if [ "$rc" = "$code" ] && grep -qF -- "$text" "$work/$name.screen"; then
        pass "$name: the console shows \"$text\""
    else
        fail "$name: exit $rc (want $code), the console lacks \"$text\""
        sed 's/^/        /' "$work/$name.screen" >&2
    fi
}
cp resources/firmware/KALMIRA-5K-2_241004.hex "$work/Мікропрограма.hex"
windows_flash=$(realpath "$flash")
console_run() {
    local name=$1 rc=0
    shift
    wine_console_run "$work/$name.screen" "$@" || rc=$?
    echo "$rc" >"$work/$name.rc"
}
console_run console-check "$flash" check
expect_screen console-check 0 "Мікропрограма готова до запису"
console_run console-error "$flash" detect --port COM99
expect_screen console-error 3 "Спроба відкрити неіснуючий СОМ-порт"
(cd "$work" && console_run console-name "$windows_flash" check Мікропрограма.hex)
expect_screen console-name 0 "Мікропрограма : Мікропрограма.hex - відкрита."
flash piped check
if grep -qF "$(printf 'Мікропрограма готова до запису\r')" "$work/piped.out"; then
    pass "piped: the text is UTF-8 bytes"
else
    fail "piped: no UTF-8 \"Мікропрограма готова до запису\": $(od -c "$work/piped.out" | head -3)"
fi
echo "        console checks: $((SECONDS - console_started)) s"

# Windows names, not Linux ones: COM ports in the help, no English filler in the long list.
flash help write --help
expect help 0 out "COM name (COM3, COM12)"
if grep -q "/dev" "$work/help.out"; then fail "write --help names /dev paths"; else pass "write --help names no /dev path"; fi
flash long ports --long
expect long 0 out COM7
if grep -q "nothing more is known" "$work/long.out"; then
    fail "ports --long prints English filler: $(cat "$work/long.out")"
else
    pass "ports --long: $(tr '\r\n' '  ' <"$work/long.out")"
fi

# Paced like a real line at 115200 baud, three devices at once; while the first write runs, a
# second program asks for its port.
for n in 1 2 3; do
    start_device "paced$n" $((10 + n)) --description 241003 --baud 115200
done
for n in 1 2 3; do
    flash "paced$n" write --port "COM$((10 + n))" --baud 115200 &
    eval "flash_pid_$n=$!"
done
sleep 4
flash held detect --port COM11
expect held 3 err "Порт зайнятий іншою програмою"
for n in 1 2 3; do
    eval "wait \$flash_pid_$n" || true
    expect "paced$n" 0 out "успішно завантажена"
    stop_device "paced$n"
    expect_image "paced$n"
done

# Lost and garbled frames, and a device that answers later than the 21 ms read window.
start_device dropped 21 --description 241003 --drop-every 97
start_device garbled 22 --description 241003 --garbage-every 89
start_device late 23 --description 241003 --reply-delay-ms 30
flash dropped write --port COM21 &
drop_pid=$!
flash garbled write --port COM22 &
garble_pid=$!
flash late write --port COM23
wait "$drop_pid" "$garble_pid" || true
expect dropped 0 out "успішно завантажена"
expect garbled 0 out "успішно завантажена"
expect late 0 out "успішно завантажена"
for name in dropped garbled late; do
    stop_device "$name"
    expect_image "$name"
done

echo "== libvelor: velor.dll with the C example, against velor-devsim behind COM24"
mkdir -p "$work/sdk"
cp "$build/src/lib/velor.dll" "$build/examples/velor_example_write_one.exe" "$work/sdk/"
start_device library 24 --description 241003
flash=$work/sdk/velor_example_write_one.exe flash library COM24
expect library 0 out "done (done): "
stop_device library
expect_image library

echo "== Windows part: $((SECONDS - started)) s"
if [ "$failures" -ne 0 ]; then
    echo "test-windows: $failures scenario(s) failed" >&2
    exit 1
fi
echo "Windows tests passed."
