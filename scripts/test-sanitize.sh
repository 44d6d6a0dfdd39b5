#!/usr/bin/env bash
# Builds the whole test suite (unit, integration, offscreen GUI) with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it: the first report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELOR_ASAN_BUILD_DIR:-build/asan}
jobs=${VELOR_JOBS:-$(nproc)}
# -O1 and line tables only: the build is the larger part of this run's time. GCC's
# maybe-uninitialized analysis misfires inside std::regex and std::function under the sanitizers'
# instrumentation, so that one warning stays a warning here (the main build keeps it an error).
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
flags+=" -Wno-error=maybe-uninitialized"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DVELOR_WERROR=ON \
    -DVELOR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$build" -j "$jobs"

# Child processes (velor-devsim, velor-flash) inherit these and fail their tests the same way.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:${LSAN_OPTIONS:-}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 900
echo "AddressSanitizer and UndefinedBehaviorSanitizer: no reports."
