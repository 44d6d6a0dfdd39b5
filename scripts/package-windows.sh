#!/usr/bin/env bash
# Packs the Windows programs of a mingw-w64 build (scripts/build-windows.sh) into a portable zip
# and an NSIS installer (per user, no administrator rights).
# Usage: scripts/package-windows.sh [WINDOWS_BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

# Absolute from here on: a relative or an absolute folder is the same to the steps below.
build=$(realpath -m "${1:-build/windows}")
out=$(realpath -m "${2:-build/packages}")
version=$(sed -n 's/^project(VelorBootloader VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# The programs the packages carry; a missing one fails the packing instead of shipping without it.
programs=(
    "$build/src/ui/win32/velor-bootloader.exe"
    "$build/src/cli/velor-flash.exe"
)
if [ ! -f "$build/src/lib/velor.dll" ]; then
    echo "package-windows: $build/src/lib/velor.dll is missing (run scripts/build-windows.sh)" >&2
    exit 1
fi
for program in "${programs[@]}"; do
    if [ ! -f "$program" ]; then
        echo "package-windows: $program is missing (run scripts/build-windows.sh)" >&2
        exit 1
    fi
done

stage=$build/package-stage
name=velor-bootloader-$version-win64
rm -rf "$stage"
mkdir -p "$stage/$name" "$out"
for program in "${programs[@]}"; do
    cp "$program" "$stage/$name/"
    x86_64-w64-mingw32-strip "$stage/$name/$(basename "$program")"
done
# Notepad reads UTF-8 reliably with a byte order mark, and wants CR LF.
for readme in packaging/windows/README-en.txt packaging/windows/README-uk.txt; do
    { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$readme"; } >"$stage/$name/$(basename "$readme")"
done

# libvelor for factory software: the DLL with its import library and header, and the Python
# package that finds the DLL beside it (docs/library.md). The DLL may import Windows' own DLLs only.
sdk=$stage/$name/sdk
mkdir -p "$sdk/include/velor" "$sdk/python"
cp "$build/src/lib/velor.dll" "$build/src/lib/libvelor.dll.a" "$sdk/"
x86_64-w64-mingw32-strip "$sdk/velor.dll"
cp include/velor/velor.h "$sdk/include/velor/"
cp -r python/velor "$sdk/python/"
rm -rf "$sdk/python/velor/__pycache__"
cp docs/library.md "$sdk/"
for dll in $(x86_64-w64-mingw32-objdump -p "$sdk/velor.dll" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case "$dll" in
        kernel32.dll | advapi32.dll | setupapi.dll | cfgmgr32.dll | user32.dll | msvcrt.dll | \
            api-ms-win-*) ;;
        *) echo "package-windows: velor.dll imports $dll" >&2; exit 1 ;;
    esac
done

rm -f "$out/$name.zip"
(cd "$stage" && zip -q -r -X "$out/$name.zip" "$name")

# The installer's file list, from what the stage holds.
{
    echo '!macro VelorInstallFiles'
    # The zip's sdk folder is for developers; the installer carries the programs.
    for f in "$stage/$name"/*; do
        [ -f "$f" ] || continue
        echo "    File \"$f\""
    done
    echo '!macroend'
    echo '!macro VelorRemoveFiles'
    for f in "$stage/$name"/*; do
        [ -f "$f" ] || continue
        echo "    Delete \"\$INSTDIR\\$(basename "$f")\""
    done
    echo '!macroend'
    echo '!macro VelorShortcuts'
    echo '    CreateShortcut "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk" "$INSTDIR\velor-bootloader.exe"'
    # The terminal tool opens in a command prompt that stays, in the install folder.
    echo '    CreateShortcut "$SMPROGRAMS\${APPNAME}\velor-flash.lnk" "$SYSDIR\cmd.exe" "/k velor-flash.exe --help" "" "" SW_SHOWNORMAL "" "velor-flash"'
    echo '!macroend'
} >"$stage/programs.nsh"

installer=$out/$name-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$installer" \
    packaging/windows/installer.nsi
echo "Windows packages: $out/$name.zip, $installer (programs: ${programs[*]##*/})"
