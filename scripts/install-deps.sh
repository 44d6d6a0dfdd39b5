#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need (Debian 12, as root). Idempotent:
# does nothing when every package is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-multimedia-dev libgl-dev
    xvfb xauth x11-utils socat binutils
    g++-mingw-w64-x86-64
    python3
    dpkg-dev lintian desktop-file-utils appstream man-db nsis wine64 zip
    libcanberra-dev libglib2.0-dev sound-theme-freedesktop
    clang-14 libfuzzer-14-dev
    libcli11-dev nlohmann-json3-dev gettext
    # libvelor: its ABI checked against the baseline (abidw, abidiff)
    abigail-tools
    # the station's record databases; postgresql runs the tests' own server
    libsqlite3-dev libpq-dev postgresql postgresql-client libudev-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}; run as root (or with sudo)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
