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
source tests/integration/lib/devsims.sh
# The paced device of every run here.
device=(--baud 115200 --geometry "${VELOR_BENCH_GEOMETRY:-32:255:7}" --description 241003)

start_device port 0 "${device[@]}"
echo "== one write: libvelor (A) against velor-flash write (B), same device"
farm-bench -n "$runs" --timeout 1200 --vs "$flash write --port $port --baud 115200 -q" -- \
    "$write_one" "$port" 115200

ports=()
for n in 1 2 3 4 5 6 7 8; do
    start_device one "$n" "${device[@]}"
    ports+=("$one")
done
echo "== eight Python threads at once (A) against one alone (B)"
VELOR_LIBRARY=$library PYTHONPATH=$PWD/python PYTHONDONTWRITEBYTECODE=1 farm-bench -n "$runs" \
    --timeout 1200 --vs "python3 bench/library/threads.py ${ports[0]}" -- \
    python3 bench/library/threads.py "${ports[@]}"
