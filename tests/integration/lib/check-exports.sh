#!/usr/bin/env bash
# libvelor's export table holds only velor_* functions, and the library names itself
# libvelor.so.1. Usage: check-exports.sh LIBRARY
set -euo pipefail
lib=$1
soname=$(readelf -d "$lib" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
if [ "$soname" != "libvelor.so.1" ]; then
    echo "check-exports: SONAME is '$soname', not libvelor.so.1" >&2
    exit 1
fi
# Defined dynamic symbols, without the version node's own entry.
exported=$(nm -D --defined-only "$lib" | awk '{print $3}' | sed 's/@.*//' | grep -v '^VELOR_1$' | sort -u)
count=$(grep -c . <<<"$exported" || true)
stray=$(grep -v '^velor_' <<<"$exported" || true)
if [ -n "$stray" ]; then
    echo "check-exports: symbols other than velor_* exported:" >&2
    echo "$stray" | head -20 >&2
    exit 1
fi
for needed in velor_version velor_image_load velor_session_open velor_session_write \
    velor_session_stop velor_session_free; do
    grep -qx "$needed" <<<"$exported" || { echo "check-exports: $needed missing" >&2; exit 1; }
done
echo "libvelor.so.1 exports $count functions, all velor_*"
