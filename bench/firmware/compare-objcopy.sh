#!/usr/bin/env bash
# Whole-process time of `velor-flash check --image-out` against `objcopy -I ihex -O binary` on the
# embedded release and on a generated 4 MB HEX file, and the peak memory of velor-flash.
# Usage: compare-objcopy.sh VELOR_FLASH [RUNS]
set -euo pipefail
flash=${1:?usage: compare-objcopy.sh path/to/velor-flash [runs]}
runs=${2:-50}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

release="$root/resources/firmware/KALMIRA-5K-2_241004.hex"
big="$work/big.hex"
python3 - "$big" <<'PY'
import sys
# 16-byte data records over consecutive 64 KiB banks until the text reaches 4 MB.
out, bank, state = [], 0, 1
size = 0
while size < 4 * 1024 * 1024:
    body = bytes((2, 0, 0, 4, bank >> 8, bank & 0xFF))
    line = ":" + (body + bytes(((-sum(body)) & 0xFF,))).hex().upper() + "\r\n"
    out.append(line); size += len(line)
    for address in range(0, 0x10000, 16):
        data = bytearray()
        for _ in range(16):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            data.append(state >> 16 & 0xFF)
        body = bytes((16, address >> 8, address & 0xFF, 0)) + data
        line = ":" + (body + bytes(((-sum(body)) & 0xFF,))).hex().upper() + "\r\n"
        out.append(line); size += len(line)
        if size >= 4 * 1024 * 1024:
            break
    bank += 1
out.append(":00000001FF\r\n")
open(sys.argv[1], "w", newline="").write("".join(out))
PY

TIMEFORMAT=%R
timed() {  # prints the mean seconds per run of "$@"
    local total
    total=$( { time (for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done) ; } 2>&1 )
    python3 -c "print(f'{$total / $runs * 1000:.2f} ms')"
}

for hex in "$release" "$big"; do
    echo "$(basename "$hex") ($(stat -c %s "$hex") bytes), $runs runs each:"
    echo "  velor-flash check:            $(timed "$flash" check "$hex")"
    echo "  velor-flash check --image-out: $(timed "$flash" check "$hex" --image-out "$work/ours.bin")"
    echo "  objcopy -O binary:            $(timed objcopy -I ihex -O binary --gap-fill 0xff "$hex" "$work/theirs.bin")"
    if [ -x /usr/bin/time ]; then
        peak=$(/usr/bin/time -f %M "$flash" check "$hex" --image-out "$work/ours.bin" 2>&1 >/dev/null | tail -1)
        echo "  velor-flash peak memory:      $((peak / 1024)) MB"
    fi
done
