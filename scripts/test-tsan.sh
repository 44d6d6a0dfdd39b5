#!/usr/bin/env bash
# Builds the serial tests alone with ThreadSanitizer and runs them: the port's event thread and
# the main thread must meet without a single report.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELOR_TSAN_BUILD_DIR:-build/tsan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_WERROR=ON \
    -DVELOR_BUILD_GUI=OFF -DVELOR_BUILD_TOOLS=OFF -DVELOR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build "$build" -j "${VELOR_JOBS:-2}" --target serial_unit_tests serial_pty_tests

export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
for t in "$build/tests/unit/serial/serial_unit_tests" \
         "$build/tests/integration/serial/serial_pty_tests"; do
    echo "== $(basename "$t") under ThreadSanitizer"
    "$t" --gtest_brief=1
done
echo "ThreadSanitizer: no reports."
