#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) in
# build/fuzz and runs one of them for SECONDS, starting from its seed corpus in fuzz/corpus/.
#   scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
#   scripts/fuzz.sh all SECONDS        every target in turn (the test command's short runs)
# New inputs go to build/fuzz/corpus/TARGET; a finding is saved as build/fuzz/TARGET-crash-* and
# the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(fuzz_firmware_text fuzz_replies fuzz_devsim_frames fuzz_flash_options fuzz_library_image)
# A target that feeds the same entry as another starts from that one's seeds.
declare -A seeds=([fuzz_library_image]=fuzz_firmware_text)
if [ $# -lt 2 ]; then
    echo "usage: scripts/fuzz.sh TARGET|all SECONDS [libFuzzer options...]" >&2
    echo "targets: ${targets[*]}" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2

build=${VELOR_FUZZ_BUILD_DIR:-build/fuzz}
cc=$(command -v clang-14 || command -v clang)
cxx=$(command -v clang++-14 || command -v clang++)
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_WERROR=ON \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DVELOR_BUILD_FUZZ=ON -DVELOR_BUILD_TESTS=OFF -DVELOR_BUILD_GUI=OFF -DVELOR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null

if [ "$target" = all ]; then
    run=("${targets[@]}")
else
    run=("$target")
fi
cmake --build "$build" -j "${VELOR_JOBS:-$(nproc)}" --target "${run[@]}"

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
fuzz_one() {
    local t=$1
    shift
    mkdir -p "$build/corpus/$t"
    "$build/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/$t-" "$@" "$build/corpus/$t" "fuzz/corpus/${seeds[$t]:-$t}"
}
if [ ${#run[@]} -eq 1 ]; then
    echo "== ${run[0]} for ${seconds} s"
    fuzz_one "${run[0]}" "$@"
    exit 0
fi
# Several targets: as many at a time as there are jobs, each with its own log.
mkdir -p "$build/logs"
parallel=${VELOR_JOBS:-$(nproc)}
failed=()
for ((i = 0; i < ${#run[@]}; i += parallel)); do
    pids=()
    for t in "${run[@]:i:parallel}"; do
        echo "== $t for ${seconds} s"
        fuzz_one "$t" "$@" >"$build/logs/$t.log" 2>&1 &
        pids+=("$!:$t")
    done
    for entry in "${pids[@]}"; do
        if ! wait "${entry%%:*}"; then
            failed+=("${entry#*:}")
            tail -n 60 "$build/logs/${entry#*:}.log"
        fi
        grep -E "^Done|stat::number_of_executed_units" "$build/logs/${entry#*:}.log" || true
    done
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: findings in ${failed[*]} (inputs saved as $build/TARGET-crash-*)" >&2
    exit 1
fi
echo "fuzz: no findings."
