#!/usr/bin/env bash
# The wire-efficiency benchmark for both builds: the Linux velor-flash and, under Wine,
# velor-flash.exe, each writing velor-devsim --baud 115200; prints the two ratios to the line time.
#
#   bash bench/protocol/run-windows.sh [LINUX_BUILD_DIR]   (default build/test)
set -euo pipefail
cd "$(dirname "$0")/../.."

linux=${1:-build/test}
if [ ! -f "$linux/build.ninja" ]; then
    cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_BUILD_GUI=OFF \
        -DVELOR_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$linux" -j "${VELOR_JOBS:-2}" --target velor_protocol_bench
bash scripts/build-windows.sh >/dev/null

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start "${VELOR_WINDOWS_BUILD_DIR:-build/windows}"
"$linux/bench/protocol/velor_protocol_bench" \
    --windows "${VELOR_WINDOWS_BUILD_DIR:-build/windows}/src/cli/velor-flash.exe"
