#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from lexoquill.svg. The PNGs are kept
# in the repository so that building and installing never need the renderer; run this
# again after changing the SVG (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "png/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --output "png/${size}x${size}/lexoquill.png" \
    lexoquill.svg
done
