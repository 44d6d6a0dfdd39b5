#!/usr/bin/env bash
# The main job, end to end: builds velor-flash and velor-devsim from scratch, starts a simulated
# KALMIRA-5K-2 that holds an older release (241003), writes the embedded release 241004 into it
# through the bootloader protocol, and checks the device memory against the release image.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/demo
rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_BUILD_GUI=OFF \
    -DVELOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target velor-flash velor-devsim

work=$(mktemp -d)
devsim_pid=
cleanup() {
    if [ -n "$devsim_pid" ] && kill -0 "$devsim_pid" 2>/dev/null; then
        kill "$devsim_pid" 2>/dev/null || true
        wait "$devsim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$build/tools/devsim/velor-devsim" --description 241003 --baud 115200 \
    --dump "$work/device.bin" --link "$work/ttyKALMIRA" >"$work/devsim.out" &
devsim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/devsim.out" ] && break
    sleep 0.05
done
[ -s "$work/devsim.out" ] || { echo "demo: velor-devsim did not start" >&2; exit 1; }
echo "Simulated device (release 241003) on $(head -n1 "$work/devsim.out")"
echo
echo "\$ velor-flash write --port $work/ttyKALMIRA"
"$build/src/cli/velor-flash" write --port "$work/ttyKALMIRA"

# The device writes its memory out at every reset; the write ends with one.
kill "$devsim_pid"
wait "$devsim_pid" || true
devsim_pid=
objcopy -I ihex -O binary --gap-fill 0xff resources/firmware/KALMIRA-5K-2_241004.hex \
    "$work/release.bin"
echo
if cmp -s "$work/release.bin" "$work/device.bin"; then
    echo "Device memory equals the release image ($(stat -c %s "$work/device.bin") bytes)."
else
    echo "demo: device memory differs from the release image" >&2
    exit 1
fi
