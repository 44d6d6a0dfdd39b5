#!/usr/bin/env bash
# Builds everything from scratch and runs every test: the unit, integration and GUI tests, the
# serial tests under ThreadSanitizer, and the Windows build run under Wine (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
build=build/test
rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_WERROR=ON \
    -DVELOR_BUILD_BENCH=ON
cmake --build "$build" -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600

bash scripts/test-tsan.sh
bash scripts/test-tsan-gang.sh
bash scripts/test-windows.sh
bash scripts/test-windows-gui.sh
bash scripts/test-windows-gang.sh
bash scripts/test-packages.sh "$build"
# The whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, and a short run of every
# fuzz target from its seed corpus.
bash scripts/test-sanitize.sh
bash scripts/fuzz.sh all "${VELOR_FUZZ_SECONDS:-20}"
echo "All tests passed."
