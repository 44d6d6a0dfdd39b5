#!/usr/bin/env bash
# velor-flash.exe under Wine with two COM ports mapped to two simulators: a write to both at once,
# then a station that takes two fresh devices and records them in a CSV file, and one with named
# slots recording into an SQLite file (the amalgamation built into the exe), read back by report.
set -euo pipefail
cd "$(dirname "$0")/.."

win=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
exe=$PWD/$win/src/cli/velor-flash.exe
devsim=${VELOR_DEVSIM:-$PWD/build/test/tools/devsim/velor-devsim}
hex=$PWD/resources/firmware/KALMIRA-5K-2_241004.hex
for f in "$exe" "$devsim"; do
    if [ ! -x "$f" ]; then
        echo "test-windows-gang: $f is missing (build it first)" >&2
        exit 1
    fi
done

wine=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
export WINEPREFIX=$PWD/build/wine-gang WINEDEBUG=-all
work=$(mktemp -d /tmp/velor-wine-gang-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ ! -d "$WINEPREFIX/dosdevices" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
fi

# Starts a simulator whose memory goes to $work/$1.bin and maps its terminal to COM$2.
start_device() {
    local name=$1 com=$2 out=$work/$1.path
    "$devsim" --geometry 32:255:8 --dump "$work/$name.bin" >"$out" &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$out" ] && break
        sleep 0.05
    done
    ln -sfn "$(head -n1 "$out")" "$WINEPREFIX/dosdevices/com$com"
}

# The device memory must be the release, byte for byte (0xFF past its end).
expect_release() {
    local dump=$1 size
    size=$(stat -c %s "$dump")
    objcopy -I ihex -O binary --gap-fill 0xff "$hex" "$work/release.bin"
    truncate -s "$size" "$work/release.bin"
    if ! cmp -s "$work/release.bin" "$dump"; then
        echo "test-windows-gang: $dump does not hold the release" >&2
        exit 1
    fi
}

start_device a 5
start_device b 6
timeout 120 "$wine" "$exe" write --ports COM5,COM6 >"$work/write.out" 2>"$work/write.err" || {
    echo "test-windows-gang: the write to COM5 and COM6 failed" >&2
    cat "$work/write.out" "$work/write.err" >&2
    exit 1
}
for com in COM5 COM6; do
    grep -q "^$com *done " "$work/write.out" || {
        echo "test-windows-gang: no done row for $com" >&2
        cat "$work/write.out" >&2
        exit 1
    }
done
kill "${pids[@]}"
wait "${pids[@]}" 2>/dev/null || true
pids=()
expect_release "$work/a.bin"
expect_release "$work/b.bin"

start_device c 5
start_device d 6
timeout 120 "$wine" "$exe" station --ports COM5,COM6 --count 2 --record 'Z:'"$work"'/line.csv' \
    >"$work/station.out" 2>"$work/station.err" || {
    echo "test-windows-gang: the station failed" >&2
    cat "$work/station.out" "$work/station.err" >&2
    exit 1
}
records=$(grep -c ',done,' "$work/line.csv" || true)
if [ "$records" != 2 ] || ! head -n1 "$work/line.csv" | grep -q $'^\xEF\xBB\xBFtime,port,'; then
    echo "test-windows-gang: the record file is not one header and two done records" >&2
    cat "$work/line.csv" >&2
    exit 1
fi
kill "${pids[@]}"
wait "${pids[@]}" 2>/dev/null || true
pids=()

start_device e 5
start_device f 6
timeout 120 "$wine" "$exe" station --slot "left 'A'=COM5" --slot right=COM6 --count 2 \
    --record 'Z:'"$work"'/line.db' >"$work/station-db.out" 2>"$work/station-db.err" || {
    echo "test-windows-gang: the station with an SQLite record failed" >&2
    cat "$work/station-db.out" "$work/station-db.err" >&2
    exit 1
}
"$wine" "$exe" report 'Z:'"$work"'/line.db' --json >"$work/report.json" 2>&1
if ! grep -q '"records":2,"done":2' "$work/report.json" ||
    ! grep -q '"slot":"[^"]*/left '"'A'"'"' "$work/report.json"; then
    echo "test-windows-gang: the SQLite record does not hold the two devices by slot" >&2
    cat "$work/report.json" "$work/station-db.err" >&2
    exit 1
fi
cat "$work/write.out" "$work/station.out" "$work/station-db.out"
echo "Windows gang write and station: passed"
