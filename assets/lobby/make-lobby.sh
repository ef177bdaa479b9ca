#!/bin/sh
# Makes the picture of the lobby download window (lobby.jpg, 440 x 220) and lobby.qrc.
# Needs ImageMagick's convert and the Liberation fonts (fonts-liberation). Writes next to
# this script. Noise is seeded and metadata stripped, so every run gives the same file.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

BOLD=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
[ -r "$BOLD" ] || { echo "missing $BOLD (install fonts-liberation)" >&2; exit 1; }

# A deep green field, lit from the top, with a little seeded grain.
convert -size 440x220 gradient:'#6E9A6E'-'#2E462E' \
    \( -seed 22 -size 440x220 xc:gray50 +noise Gaussian -colorspace Gray +level 47%,53% \) \
    -compose SoftLight -composite "$work/field.png"

# tile LETTER X: adds a cream letter tile of 46 pixels with a dark red letter at (X, 34).
cp "$work/field.png" "$work/tiles.png"
tile() {
    convert "$work/tiles.png" -stroke '#8C7446' -strokewidth 1 -fill '#F4E2B0' \
        -draw "roundrectangle $2,34 $(($2 + 45)),79 7,7" \
        -stroke none -fill '#8B0A0A' -font "$BOLD" -pointsize 32 \
        -annotate "+$(($2 + 12))+69" "$1" "$work/tiles.png"
}
x=50
for letter in O R V O 2 2; do
    tile "$letter" "$x"
    x=$((x + 58))
done

convert "$work/tiles.png" -font "$BOLD" -gravity north \
    -pointsize 30 -fill '#1E2E1E' -annotate +2+112 'GAMES LOBBY' \
    -fill '#FFFFC6' -annotate +0+110 'GAMES LOBBY' \
    -pointsize 16 -fill '#FFFFC6' -annotate +0+160 'Word games, card games and board games' \
    -annotate +0+182 'with players from everywhere' \
    -strip -sampling-factor 4:2:0 -quality 88 "$here/lobby.jpg"

cat > "$here/lobby.qrc" <<'QRC'
<!DOCTYPE RCC><RCC version="1.0">
<qresource prefix="/art">
    <file>lobby.jpg</file>
</qresource>
</RCC>
QRC
