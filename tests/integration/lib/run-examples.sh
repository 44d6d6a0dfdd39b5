#!/usr/bin/env bash
# Runs the examples of docs/library.md against velor-devsim: the C one on one device (done, then
# refused by a device holding a newer release), the Python one on three devices at once.
# Usage: run-examples.sh DEVSIM WRITE_ONE LIBRARY SOURCE_DIR
set -euo pipefail
devsim=$1
write_one=$2
library=$3
tree=$4
source "$(dirname "$0")/devsims.sh"

start_device port 1 --geometry 32:255:8
out=$("$write_one" "$port")
grep -q "^progress 100%" <<<"$out" || { echo "$out"; echo "no 100% progress" >&2; exit 1; }
grep -q "^done (done): " <<<"$out" && grep -q "Мікропрограма успішно завантажена в " <<<"$out" ||
    { echo "$out" >&2; exit 1; }

start_device newer 2 --geometry 32:255:8 --description 241005
set +e
out=$("$write_one" "$newer")
rc=$?
set -e
[ "$rc" -eq 1 ] || { echo "$out"; echo "refused write exited $rc, not 1" >&2; exit 1; }
grep -q "^refused (newer-release): " <<<"$out" || { echo "$out" >&2; exit 1; }
echo "C example: done and refused as expected"

start_device a 3 --geometry 32:255:8
start_device b 4 --geometry 32:255:8
start_device c 5 --geometry 32:255:8 --description 241005
set +e
csv=$(PYTHONDONTWRITEBYTECODE=1 VELOR_LIBRARY="$library" PYTHONPATH="$tree/python" \
    python3 "$tree/examples/python/three_devices.py" "$a" "$b" "$c")
rc=$?
set -e
echo "$csv"
[ "$rc" -eq 1 ] || { echo "three devices exited $rc, not 1 (one refusal)" >&2; exit 1; }
[ "$(sed -n 1p <<<"$csv")" = "port,outcome,reason,seconds,failed_attempts,message" ]
grep -q "^$a,done,done,[0-9.]*,[0-9]*,Мікропрограма успішно завантажена в " <<<"$csv"
grep -q "^$b,done,done," <<<"$csv"
grep -q "^$c,refused,newer-release," <<<"$csv"
echo "Python example: three devices, a CSV line each"
