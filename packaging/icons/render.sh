#!/usr/bin/env bash
# Redraws the PNG sizes of the icon from its SVG (run by hand after changing the SVG; needs
# rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" velor-bootloader.svg -o "velor-bootloader-$size.png"
done
