#!/usr/bin/env bash
# Saves PNGs of the main window (normal and service layout) and of the About window into
# docs/screenshots/, rendered on a virtual X display (Xvfb) as a desktop would draw them.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/ui; configured with the GUI)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/ui}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DVELOR_WERROR=ON
fi
cmake --build "$build" -j 2 --target velor-screenshots

out=docs/screenshots
mkdir -p "$out"
# A port to show in the list: the simulator's link when it runs, else a name that reads well.
export VELOR_EXTRA_PORTS=${VELOR_EXTRA_PORTS:-/dev/ttyUSB0}
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$build/src/ui/qt/velor-screenshots" "$out"
