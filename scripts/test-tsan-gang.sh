#!/usr/bin/env bash
# velor-flash built with ThreadSanitizer writes three simulators at once, one of them refusing,
# and is stopped by Ctrl+C in a second run: the sessions' threads must share nothing unguarded.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELOR_TSAN_BUILD_DIR:-build/tsan}
devsim=${VELOR_DEVSIM:-$PWD/build/test/tools/devsim/velor-devsim}
if [ ! -x "$devsim" ]; then
    echo "test-tsan-gang: $devsim is missing (build it first)" >&2
    exit 1
fi
# The same configuration as scripts/test-tsan.sh, so that both share one build.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_WERROR=ON \
    -DVELOR_BUILD_GUI=OFF -DVELOR_BUILD_TOOLS=OFF -DVELOR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$build" -j "${VELOR_JOBS:-2}" --target velor-flash

work=$(mktemp -d /tmp/velor-tsan-gang-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
start_device() {
    "$devsim" --link "$work/$1" "${@:2}" >/dev/null &
    pids+=($!)
    for _ in $(seq 100); do
        [ -e "$work/$1" ] && return
        sleep 0.05
    done
}
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}"
flash=$build/src/cli/velor-flash

start_device a --geometry 16:64:8
start_device b --geometry 16:64:8
start_device c --description 241005
code=0
"$flash" write --ports "$work/a,$work/b,$work/c" >"$work/write.out" 2>&1 || code=$?
if [ "$code" != 1 ] || [ "$(grep -c ' done ' "$work/write.out")" != 2 ]; then
    echo "test-tsan-gang: the write ended with $code" >&2
    cat "$work/write.out" >&2
    exit 1
fi

start_device d --geometry 16:64:64 --baud 115200
start_device e --geometry 16:64:64 --baud 115200
"$flash" write --ports "$work/d,$work/e" >"$work/stop.out" 2>&1 &
flash_pid=$!
sleep 4
kill -INT "$flash_pid"
code=0
wait "$flash_pid" || code=$?
if [ "$code" != 4 ]; then
    echo "test-tsan-gang: the stopped write ended with $code" >&2
    cat "$work/stop.out" >&2
    exit 1
fi
echo "ThreadSanitizer, several devices at once: no reports."
