#!/usr/bin/env bash
# Installs the Windows installer silently under Wine in a private prefix, runs the installed
# velor-flash.exe, checks the Start-menu entry and the uninstall entry, and uninstalls it.
# Usage: scripts/test-windows-package.sh [PACKAGE_DIR]   (default build/packages)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=${1:-build/packages}
installer=$(ls "$packages"/velor-bootloader-*-win64-setup.exe)
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=$PWD/build/wine-package
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
fi
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT

user_dir=$(ls -d "$WINEPREFIX/drive_c/users"/*/ | grep -v /Public/ | head -n 1)
install_dir="${user_dir}AppData/Local/Programs/Velor Bootloader"
start_menu="${user_dir}AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velor Bootloader"

"$wine" "$installer" /S
"$wineserver" -w
for f in velor-bootloader.exe velor-flash.exe Uninstall.exe README-en.txt README-uk.txt; do
    [ -f "$install_dir/$f" ] || { echo "test-windows-package: $f not installed" >&2; exit 1; }
done
[ -f "$start_menu/velor-flash.lnk" ] || { echo "test-windows-package: no Start-menu entry" >&2; exit 1; }
if [ ! -f "$start_menu/Velor Bootloader.lnk" ]; then
    echo "test-windows-package: no Start-menu entry for the window" >&2
    exit 1
fi
"$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelorBootloader' \
    /v UninstallString | grep -q Uninstall.exe

check=$("$wine" "$install_dir/velor-flash.exe" check | tr -d '\r')
echo "$check" | head -n 3
grep -q "Release stamp at F0E0: 241004" <<<"$check" || { echo "test-windows-package: check failed" >&2; exit 1; }

"$wine" "$install_dir/Uninstall.exe" /S
"$wineserver" -w
if [ -e "$install_dir" ] || [ -e "$start_menu" ]; then
    echo "test-windows-package: the uninstaller left files behind" >&2
    exit 1
fi
echo "Windows installer installed, ran and uninstalled under Wine."
