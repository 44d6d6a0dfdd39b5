#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks it (desktop entry, AppStream metainfo,
# lintian), installs it with dpkg, runs the installed programs, and removes it again. Then, when
# the Windows build is there, builds the Windows zip and installer and tries them under Wine.
# Usage: scripts/test-packages.sh [BUILD_DIR]   (default build/test, configured and built)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/test}
out=build/packages
package_name=velor-bootloader
# libvelor's packages, installed and removed with the programs' one.
lib_packages="python3-velor libvelor-dev libvelor1"

cmake --build "$build" -j "${VELOR_JOBS:-2}" \
    --target velor-flash velor-devsim velor-bootloader velor velor_compressed_docs
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$out"
rm -f "$out"/*.deb
cp "$build"/packages/*.deb "$out"/
deb=$(ls "$out"/"$package_name"_*.deb)
debs=$(ls "$out"/*.deb)
echo "Debian packages: $debs"

desktop-file-validate packaging/linux/*.desktop
appstreamcli validate --no-net packaging/linux/*.metainfo.xml >/dev/null
lint=$(lintian $debs 2>&1 | grep -v "root privileges" || true)
[ -z "$lint" ] || echo "$lint"
if grep -q "^E:" <<<"$lint"; then
    echo "test-packages: lintian reports errors" >&2
    exit 1
fi

# dpkg waits for nobody: another apt or dpkg run on the machine holds the lock for a while.
dpkg_retry() {
    for _ in $(seq 1 60); do
        local result
        if result=$(dpkg "$@" 2>&1); then
            return 0
        fi
        if ! grep -q "lock" <<<"$result"; then
            echo "$result" >&2
            return 1
        fi
        sleep 2
    done
    echo "dpkg $*: the dpkg lock stayed taken" >&2
    return 1
}

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
installed=0
cleanup() {
    if [ "$installed" -eq 1 ]; then
        "${as_root[@]}" bash -c "$(declare -f dpkg_retry); dpkg_retry -r $lib_packages $package_name" || true
    fi
}
trap cleanup EXIT

"${as_root[@]}" bash -c "$(declare -f dpkg_retry); dpkg_retry -i $(echo $debs)"
installed=1
for program in velor-flash velor-devsim velor-bootloader; do
    [ -x /usr/bin/$program ] || { echo "test-packages: /usr/bin/$program missing" >&2; exit 1; }
done
bash scripts/check-hardening.sh elf /usr/bin/velor-flash /usr/bin/velor-devsim \
    /usr/bin/velor-bootloader
/usr/bin/velor-flash check >/dev/null
/usr/bin/velor-flash --help | grep -q "Usage: velor-flash"
man -w velor-flash | grep -q "/usr/share/man/man1/velor-flash.1"
man -w velor-devsim >/dev/null
man -w velor-bootloader >/dev/null
[ -f /usr/share/applications/ua.velor.Bootloader.desktop ]
[ -f /usr/share/icons/hicolor/scalable/apps/velor-bootloader.svg ]
# Where the installed window looks for its sound modules.
[ -f /usr/lib/velor-bootloader/modules/velor-tones.so ]
[ -f /usr/lib/velor-bootloader/modules/velor-event-sounds.so ]
# libvelor as a program that embeds it finds it: Debian's python3, pkg-config, the linker.
/usr/bin/python3 -c "import velor; assert velor.version() == '$(sed -n 's/^project(VelorBootloader VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)'; assert len(velor.embedded().sha256) == 64"
[ "$(readelf -d /usr/lib/x86_64-linux-gnu/libvelor.so.1 | sed -n 's/.*soname: \[\(.*\)\]/\1/p')" = libvelor.so.1 ]
lib_probe=$(mktemp -d)
cc -std=c99 -o "$lib_probe/write_one" examples/c/write_one.c $(pkg-config --cflags --libs velor)
"$lib_probe/write_one" 2>/dev/null || [ $? -eq 2 ]
rm -rf "$lib_probe"
"${as_root[@]}" bash -c "$(declare -f dpkg_retry); dpkg_retry -r $lib_packages $package_name"
installed=0
if [ -e /usr/bin/velor-flash ]; then
    echo "test-packages: /usr/bin/velor-flash left behind by the removal" >&2
    exit 1
fi
echo "Debian package installed, ran and removed."

windows_build=${VELOR_WINDOWS_BUILD_DIR:-build/windows}
if [ -f "$windows_build/src/cli/velor-flash.exe" ]; then
    # Absolute folders, as a packaging job outside the checkout gives them.
    bash scripts/package-windows.sh "$(realpath "$windows_build")" "$(realpath -m "$out")"
    bash scripts/test-windows-package.sh "$out"
else
    echo "test-packages: no Windows build in $windows_build; Windows package skipped"
fi

(cd "$out" && sha256sum -- *.deb $(ls -- *.zip *.exe 2>/dev/null) >SHA256SUMS)
echo "Packages and SHA256SUMS in $out:"
cat "$out/SHA256SUMS"
