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

work=$(mktemp -d)
xvfb_pid= window_pid=
cleanup() {
    for pid in $window_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "test-windows-package: $*" >&2; exit 1; }

# The display comes first: Wine's desktop takes the display its first program found, and the
# window must be on one (the uninstaller looks for it, this script waits for it).
source scripts/wine-env.sh
wine_xvfb_start "$work"
xvfb_pid=$WINE_XVFB_PID
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
fi

user_dir=$(ls -d "$WINEPREFIX/drive_c/users"/*/ | grep -v /Public/ | head -n 1)
install_dir="${user_dir}AppData/Local/Programs/Velor Bootloader"
start_menu="${user_dir}AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velor Bootloader"

# A Ukrainian system: the installer speaks Ukrainian, and the Start menu's README opens the
# Ukrainian readme.
LC_ALL=uk_UA.UTF-8 "$wine" "$installer" /S
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

python3 - "$start_menu/README.lnk" <<'PY' || fail "the Start menu's README does not open README-uk.txt"
import sys
link = open(sys.argv[1], "rb").read()
sys.exit(0 if "README-uk".encode("utf-16-le") in link or b"README-uk" in link else 1)
PY

check=$("$wine" "$install_dir/velor-flash.exe" check | tr -d '\r')
echo "$check" | head -n 3
grep -q "Release stamp at F0E0: 241004" <<<"$check" || { echo "test-windows-package: check failed" >&2; exit 1; }

# While the window runs, the uninstaller refuses (silently, exit code 2) and leaves everything;
# once it is closed, the uninstall a user starts removes everything.
# The refusing run stays in place (_?=) so that its exit code is its own: NSIS honours _?= only
# unquoted, and wine quotes an argument with spaces, so a batch file passes the command line.
install_dir_windows="C:\\users\\$(basename "$user_dir")\\AppData\\Local\\Programs\\Velor Bootloader"
printf '@"%s\\Uninstall.exe" /S _?=%s\r\n@exit /b %%ERRORLEVEL%%\r\n' \
    "$install_dir_windows" "$install_dir_windows" >"$work/uninstall-in-place.bat"
"$wine" "$install_dir/velor-bootloader.exe" &
window_pid=$!
# A first start in a fresh prefix can take long under load: wait for the window itself.
window_is_up() { grep -q "KALMIRA-5K-2 Bootloader" <<<"$(xwininfo -root -tree 2>/dev/null)"; }
for _ in $(seq 240); do
    window_is_up && break
    sleep 0.5
done
window_is_up || fail "the installed window did not come up"
refused=0
"$wine" cmd /c "Z:$(sed 's|/|\\|g' <<<"$work")\\uninstall-in-place.bat" || refused=$?
[ "$refused" -eq 2 ] || fail "the uninstaller did not refuse while the window ran (exit code $refused)"
for f in velor-bootloader.exe velor-flash.exe Uninstall.exe; do
    [ -f "$install_dir/$f" ] || fail "an uninstall while the window ran removed $f"
done
[ -f "$start_menu/Velor Bootloader.lnk" ] || fail "an uninstall while the window ran removed the Start-menu entry"
"$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelorBootloader' \
    /v UninstallString >/dev/null 2>&1 || fail "an uninstall while the window ran removed the uninstall entry"
echo "The uninstaller refused while the window ran and left the installation whole."
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
window_pid=

# As a user runs it: the uninstaller copies itself away and the call returns at once, so wait
# for every program of the prefix to end.
"$wine" "$install_dir/Uninstall.exe" /S
"$wineserver" -w
if [ -e "$install_dir" ] || [ -e "$start_menu" ]; then
    echo "test-windows-package: the uninstaller left files behind" >&2
    exit 1
fi
echo "Windows installer installed, ran and uninstalled under Wine."
