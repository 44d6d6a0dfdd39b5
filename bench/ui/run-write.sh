#!/usr/bin/env bash
# The desktop window's write (from "Прошити") against velor-flash's on the same simulated device
# at 115200 baud, side by side: the whole write's time and the host's turn between exchanges
# (from the device's log) of each front end.
#
#   bash bench/ui/run-write.sh [ROUNDS] [BUILD_DIR]    (default 1 round, build/dev)
set -euo pipefail
cd "$(dirname "$0")/../.."

rounds=${1:-1}
build=${2:-build/dev}
baud=${VELOR_BENCH_BAUD:-115200}
[ -n "${VELOR_BENCH_NO_BUILD:-}" ] || cmake --build "$build" --target velor-devsim velor-flash velor-bench-window-write >/dev/null
work=$(mktemp -d)
devsim_pid=
cleanup() {
    [ -z "$devsim_pid" ] || { kill "$devsim_pid" 2>/dev/null || true; wait "$devsim_pid" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT
start_device() {
    [ -z "$devsim_pid" ] || { kill "$devsim_pid"; wait "$devsim_pid" 2>/dev/null || true; }
    rm -f "$work/tty"
    "$build/tools/devsim/velor-devsim" --description 241003 --baud "$baud" --link "$work/tty" \
        --log "$work/device.log" >/dev/null &
    devsim_pid=$!
    for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
}
now() { date +%s.%N; }

echo "64 KiB write, simulated line $baud baud"
for round in $(seq "$rounds"); do
    start_device
    t0=$(now)
    "$build/src/cli/velor-flash" write --port "$work/tty" --quiet >/dev/null
    t1=$(now)
    printf 'round %d velor-flash       %6.1f s; ' "$round" "$(echo "$t1 - $t0" | bc)"
    python3 bench/host-turns.py "$work/device.log"
    start_device
    t0=$(now)
    QT_QPA_PLATFORM=offscreen "$build/bench/ui/velor-bench-window-write" "$work/tty" >"$work/window.out"
    t1=$(now)
    printf 'round %d velor-bootloader  %6.1f s (%s); ' "$round" "$(echo "$t1 - $t0" | bc)" \
        "$(sed -n 's/^write took \([0-9.]* s\).*/\1 from the click/p' "$work/window.out")"
    python3 bench/host-turns.py "$work/device.log"
done
