#!/bin/sh
# Draws the program icon as PNG (64 and 128 pixels) with ImageMagick, the same picture as
# lexitangle.svg (written by hand): a green square with two letter tiles, L and T, the L
# framed as the first tile of a word. Writes next to this script.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for size in 64 128; do
    convert -size 128x128 xc:none \
        -fill '#527852' -stroke '#243624' -strokewidth 2 -draw 'roundrectangle 4,4 123,123 22,22' \
        -fill '#F6E6B8' -stroke '#8C7446' -draw 'roundrectangle 16,16 67,67 9,9' \
        -draw 'roundrectangle 60,60 111,111 9,9' \
        -stroke none -fill '#8B0A0A' -draw 'polygon 31,26 41,26 41,54 57,54 57,62 31,62' \
        -draw 'polygon 73,70 99,70 99,78 91,78 91,104 81,104 81,78 73,78' \
        -fill none -stroke '#D61414' -strokewidth 4 -draw 'roundrectangle 12,12 71,71 11,11' \
        -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
        "PNG32:$here/lexitangle-$size.png"
done
