#!/usr/bin/env bash
# libvelor against velor-flash, timed from outside with farm-bench:
#  1. a write through the library (examples/c/write_one) beside `velor-flash write` on the same
#     simulated device paced at 115200 baud, in turn: the ratio should stay <= 1.02;
#  2. eight writes from eight Python threads at once (eight sessions, eight devices) beside one
#     alone: the ratio should stay <= 1.10.
# The devices are a page short of the release stamp at F0E0, so they keep describing the older
# release 241003 and every run writes all their 57,120 bytes.
# Usage: bench/library/run.sh [BUILD_DIR] [RUNS]   (BUILD_DIR built with velor, velor-flash,
# velor-devsim and velor_example_write_one; default build/test)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/test}")
runs=${2:-5}
devsim=$build/tools/devsim/velor-devsim
flash=$build/src/cli/velor-flash
write_one=$build/examples/velor_example_write_one
library=$(ls "$build"/src/lib/libvelor.so.1)
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# start_device VAR N: VAR gets the pty (not in a command substitution: the pid must reach the
# cleanup).
start_device() {
    local var=$1 n=$2
    "$devsim" --baud 115200 --geometry "${VELOR_BENCH_GEOMETRY:-32:255:7}" --description 241003 \
        >"$work/dev$n.out" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 1 200); do
        if [ -s "$work/dev$n.out" ]; then
            printf -v "$var" '%s' "$(head -n1 "$work/dev$n.out")"
            return
        fi
        sleep 0.05
    done
    echo "bench: velor-devsim printed no path" >&2
    exit 1
}

start_device port 0
echo "== one write: libvelor (A) against velor-flash write (B), same device"
farm-bench -n "$runs" --timeout 1200 --vs "$flash write --port $port --baud 115200 -q" -- \
    "$write_one" "$port" 115200

ports=()
for n in 1 2 3 4 5 6 7 8; do
    start_device one "$n"
    ports+=("$one")
done
echo "== eight Python threads at once (A) against one alone (B)"
VELOR_LIBRARY=$library PYTHONPATH=$PWD/python PYTHONDONTWRITEBYTECODE=1 farm-bench -n "$runs" \
    --timeout 1200 --vs "python3 bench/library/threads.py ${ports[0]}" -- \
    python3 bench/library/threads.py "${ports[@]}"
