#!/usr/bin/env bash
# Renders the application icon, desktop/servalo.svg, into the PNG sizes that
# are installed beside it, and into the raw RGBA pixels that the program
# embeds as its window icon (read without an image decoder, so that no image
# plugin is loaded at start). Run it after changing the SVG and commit what
# it writes; the build does not need it. Needs rsvg-convert (librsvg2-bin)
# and ImageMagick's convert (imagemagick).
set -euo pipefail
cd "$(dirname "$0")/../desktop"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" servalo.svg -o "icons/servalo-$size.png"
done
# The window icon's sizes: what title bars, task bars and window switchers
# show. Each is sent to the X server with every window, so no larger ones.
for size in 16 32 48 64; do
  convert "icons/servalo-$size.png" -depth 8 "RGBA:icons/servalo-$size.rgba"
done
