#!/bin/sh
# Makes the picture of the lobby download window (lobby.jpg, 440 x 220, and lobby@2x.jpg at
# twice that) and lobby.qrc.
# Needs ImageMagick's convert and the Liberation fonts (fonts-liberation). Writes next to
# this script. Noise is seeded and metadata stripped, so every run gives the same file.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

BOLD=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
[ -r "$BOLD" ] || { echo "missing $BOLD (install fonts-liberation)" >&2; exit 1; }

# draw SCALE FILE: the picture at SCALE times its size (lobby.jpg at 1, lobby@2x.jpg at 2, which
# the program shows on screens scaled to 200 %).
draw() {
    S=$1
    n() { echo $(($1 * S)); }
    # A deep green field, lit from the top, with a little seeded grain.
    convert -size "$(n 440)x$(n 220)" gradient:'#6E9A6E'-'#2E462E' \
        \( -seed 22 -size "$(n 440)x$(n 220)" xc:gray50 +noise Gaussian -colorspace Gray +level 47%,53% \) \
        -compose SoftLight -composite "$work/field.png"

    # tile LETTER X: adds a cream letter tile of 46 pixels with a dark red letter at (X, 34).
    cp "$work/field.png" "$work/tiles.png"
    tile() {
        convert "$work/tiles.png" -stroke '#8C7446' -strokewidth "$S" -fill '#F4E2B0' \
            -draw "roundrectangle $(n $2),$(n 34) $(n $(($2 + 45))),$(n 79) $(n 7),$(n 7)" \
            -stroke none -fill '#8B0A0A' -font "$BOLD" -pointsize "$(n 32)" \
            -annotate "+$(n $(($2 + 12)))+$(n 69)" "$1" "$work/tiles.png"
    }
    x=50
    for letter in O R V O 2 2; do
        tile "$letter" "$x"
        x=$((x + 58))
    done

    convert "$work/tiles.png" -font "$BOLD" -gravity north \
        -pointsize "$(n 30)" -fill '#1E2E1E' -annotate "+$(n 2)+$(n 112)" 'GAMES LOBBY' \
        -fill '#FFFFC6' -annotate "+0+$(n 110)" 'GAMES LOBBY' \
        -pointsize "$(n 16)" -fill '#FFFFC6' -annotate "+0+$(n 160)" 'Word games, card games and board games' \
        -annotate "+0+$(n 182)" 'with players from everywhere' \
        -strip -sampling-factor 4:2:0 -quality 88 "$here/$2"
}
draw 1 lobby.jpg
draw 2 lobby@2x.jpg

cat > "$here/lobby.qrc" <<'QRC'
<!DOCTYPE RCC><RCC version="1.0">
<qresource prefix="/art">
    <file>lobby.jpg</file>
    <file>lobby@2x.jpg</file>
</qresource>
</RCC>
QRC
