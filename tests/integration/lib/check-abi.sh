#!/usr/bin/env bash
# Compares libvelor's ABI with the committed baseline; an incompatible change fails, an added
# function does not. After an intended, compatible addition, renew the baseline:
#   abidw --headers-dir include/velor --drop-private-types --drop-undefined-syms --no-show-locs \
#       --no-corpus-path --exported-interfaces-only --out-file src/lib/abi/libvelor.so.1.abi LIB
# Usage: check-abi.sh LIBRARY HEADERS_DIR BASELINE
set -uo pipefail
lib=$1
headers=$2
baseline=$3
report=$(abidiff --headers-dir2 "$headers" --exported-interfaces-only --no-added-syms "$baseline" "$lib" 2>&1)
rc=$?
# abidiff's exit status is a bit set: 1 error, 2 usage, 4 a change, 8 an incompatible change.
if (( rc & 1 || rc & 2 || rc & 8 )); then
    echo "$report" >&2
    echo "check-abi: libvelor's ABI changed incompatibly against $baseline (abidiff $rc)" >&2
    exit 1
fi
if (( rc & 4 )); then
    echo "$report"
fi
echo "libvelor's ABI is compatible with its baseline"
