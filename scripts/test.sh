#!/usr/bin/env bash
# Builds everything from scratch and runs every test: the unit, integration and GUI tests, the
# serial tests under ThreadSanitizer, and the cross-compiled Windows build.
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

for extra in scripts/test-tsan.sh scripts/test-tsan-gang.sh scripts/build-windows.sh \
    scripts/test-windows-gang.sh; do
    if [ -f "$extra" ]; then
        bash "$extra"
    fi
done
echo "All tests passed."
