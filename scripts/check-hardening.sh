#!/usr/bin/env bash
# Reads the hardening of built programs from their headers.
#   check-hardening.sh elf FILE...   Linux: stack protector, fortified calls, RELRO, BIND_NOW
#   check-hardening.sh pe FILE...    Windows: dynamic base, NX, high-entropy addresses, and the
#                                    DLL search limited to System32 (SetDefaultDllDirectories)
set -u
kind=${1:?elf or pe}
shift
failed=0
fail() { echo "check-hardening: $1: $2" >&2; failed=1; }

for file in "$@"; do
    case $kind in
        elf)
            dynamic=$(readelf -d "$file") || { fail "$file" "not an ELF file"; continue; }
            headers=$(readelf -lW "$file")
            symbols=$(readelf -sW --dyn-syms "$file")
            grep -Eq 'FLAGS.*BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "$file" "no BIND_NOW (-z now)"
            grep -q 'GNU_RELRO' <<<"$headers" || fail "$file" "no RELRO segment (-z relro)"
            grep -q '__stack_chk_fail' <<<"$symbols" || fail "$file" "no stack protector"
            grep -Eq '__[a-z_]+_chk(@|$| )' <<<"$(grep -v __stack_chk <<<"$symbols")" ||
                fail "$file" "no fortified call (_FORTIFY_SOURCE)"
            ;;
        pe)
            headers=$(x86_64-w64-mingw32-objdump -p "$file") || { fail "$file" "not a PE file"; continue; }
            for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
                grep -Eq "^[[:space:]]+(IMAGE_DLL_CHARACTERISTICS_)?$flag\$" <<<"$headers" ||
                    fail "$file" "no $flag"
            done
            grep -q 'SetDefaultDllDirectories' <<<"$headers" ||
                fail "$file" "the DLL search is not limited (no SetDefaultDllDirectories)"
            ;;
        *) echo "usage: check-hardening.sh elf|pe FILE..." >&2; exit 2 ;;
    esac
done
exit $failed
