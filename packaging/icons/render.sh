#!/bin/sh
# Renders the PNG sizes of the icon from org.tunedeck.Tunedeck.svg with ImageMagick.
# The PNGs are kept in the repository; run this again only after changing the drawing.
set -eu
cd "$(dirname "$0")"
for size in 48 64 128 256; do
    dir=hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    # Drawn at 1024 pixels and scaled down, so the small sizes are smoothly edged.
    convert -background none -density 384 org.tunedeck.Tunedeck.svg \
        -resize "${size}x${size}" -depth 8 -strip "PNG32:$dir/org.tunedeck.Tunedeck.png"
done
