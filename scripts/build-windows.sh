#!/usr/bin/env bash
# Cross-compiles the toolkit-free core, the Win32 serial backend, velor-flash.exe, the Win32
# window velor-bootloader.exe with its driver, and the unit tests with mingw-w64, warnings as
# errors. The build folder is kept between runs (only what changed is rebuilt);
# VELOR_WINDOWS_BUILD_DIR moves it.
#
# The whole cross build is built, so every test that CTest lists has its .exe. Every target below
# must also exist: a missing one fails the script instead of leaving a program out unseen.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELOR_WINDOWS_BUILD_DIR:-build/windows}

windows_targets=(
    velor_skin_model velor_app velor_firmware velor_serial velor_protocol velor_mainform
    velor-flash velor-bootloader velor-window-driver velor velor_example_write_one
    velor_app_tests velor_firmware_tests mainform_controller_tests velor_protocol_tests
    serial_unit_tests serial_win32_port_tests cli_unit_tests
)

emulator=()
if [ -x /usr/lib/wine/wine64 ]; then
    emulator=(-DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVELOR_WERROR=ON "${emulator[@]}" \
    -DVELOR_BUILD_GUI=ON -DVELOR_BUILD_TESTS=ON -DVELOR_BUILD_TOOLS=OFF -DVELOR_BUILD_BENCH=OFF

known=$(ninja -C "$build" -t targets all)
missing=()
for t in "${windows_targets[@]}"; do
    grep -q "^$t: phony" <<<"$known" || missing+=("$t")
done
if [ ${#missing[@]} -ne 0 ]; then
    echo "build-windows: no such target in the Windows build: ${missing[*]}" >&2
    exit 1
fi
cmake --build "$build" -j "${VELOR_JOBS:-2}"
echo "Windows build: $build/src/cli/velor-flash.exe, $build/src/ui/win32/velor-bootloader.exe (targets: ${windows_targets[*]})"
