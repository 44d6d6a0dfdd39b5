#!/usr/bin/env bash
# Cross-compiles the toolkit-free core, the Win32 serial backend and velor-flash.exe with
# mingw-w64, warnings as errors, so the Windows code is built on every test run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVELOR_WERROR=ON \
    -DVELOR_BUILD_GUI=ON -DVELOR_BUILD_TESTS=OFF -DVELOR_BUILD_TOOLS=OFF -DVELOR_BUILD_BENCH=OFF

known=$(ninja -C "$build" -t targets all)
targets=()
for t in velor_app velor_skin_model velor_firmware velor_serial velor_protocol velor-flash velor_mainform velor-bootloader velor-window-driver; do
    if grep -q "^$t: phony" <<<"$known"; then
        targets+=("$t")
    fi
done
cmake --build "$build" -j "${VELOR_JOBS:-2}" --target "${targets[@]}"
echo "Windows build: $build/src/cli/velor-flash.exe, $build/src/ui/win32/velor-bootloader.exe (targets: ${targets[*]})"
