#!/usr/bin/env bash
# Runs the examples of docs/library.md against velor-devsim: the C one on one device (done, then
# refused by a device holding a newer release), the Python one on three devices at once.
# Usage: run-examples.sh DEVSIM WRITE_ONE LIBRARY SOURCE_DIR
set -euo pipefail
devsim=$1
write_one=$2
library=$3
source=$4
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# start_device VAR N OPTIONS...: a simulator with the given options; VAR gets its pty. (Not in a
# command substitution: its pid must reach the cleanup.)
start_device() {
    local var=$1 n=$2
    shift 2
    "$devsim" --geometry 32:255:8 "$@" >"$work/dev$n.out" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 1 200); do
        if [ -s "$work/dev$n.out" ]; then
            printf -v "$var" '%s' "$(head -n1 "$work/dev$n.out")"
            return
        fi
        sleep 0.05
    done
    echo "run-examples: velor-devsim printed no path" >&2
    exit 1
}

start_device port 1
out=$("$write_one" "$port")
grep -q "^progress 100%" <<<"$out" || { echo "$out"; echo "no 100% progress" >&2; exit 1; }
grep -q "^done (done): " <<<"$out" && grep -q "Мікропрограма успішно завантажена в " <<<"$out" ||
    { echo "$out" >&2; exit 1; }

start_device newer 2 --description 241005
set +e
out=$("$write_one" "$newer")
rc=$?
set -e
[ "$rc" -eq 1 ] || { echo "$out"; echo "refused write exited $rc, not 1" >&2; exit 1; }
grep -q "^refused (newer-release): " <<<"$out" || { echo "$out" >&2; exit 1; }
echo "C example: done and refused as expected"

start_device a 3
start_device b 4
start_device c 5 --description 241005
set +e
csv=$(PYTHONDONTWRITEBYTECODE=1 VELOR_LIBRARY="$library" PYTHONPATH="$source/python" \
    python3 "$source/examples/python/three_devices.py" "$a" "$b" "$c")
rc=$?
set -e
echo "$csv"
[ "$rc" -eq 1 ] || { echo "three devices exited $rc, not 1 (one refusal)" >&2; exit 1; }
[ "$(sed -n 1p <<<"$csv")" = "port,outcome,reason,seconds,failed_attempts,message" ]
grep -q "^$a,done,done,[0-9.]*,[0-9]*,Мікропрограма успішно завантажена в " <<<"$csv"
grep -q "^$b,done,done," <<<"$csv"
grep -q "^$c,refused,newer-release," <<<"$csv"
echo "Python example: three devices, a CSV line each"
