#!/bin/sh
# Makes the window artwork (PNG) and art.qrc. Needs ImageMagick's convert and the
# Liberation fonts (fonts-liberation). Run from anywhere; writes next to this script.
# Noise is seeded, and PNG time stamps are left out, so every run gives the same files.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

FONT=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
[ -r "$FONT" ] || { echo "missing $FONT (install fonts-liberation)" >&2; exit 1; }

BASE='#4C6A4C'        # the windows' base colour, RGB(76,106,76)
CREAM='#FFFFC6'       # the windows' text colour, RGB(255,255,198)
TILE_TOP='#FFF6D8'    # letter tile cream, light and dark ends
TILE_BOTTOM='#E9D49C'
LETTER='#8B0A0A'      # letter dark red
BTN_TOP='#C23A2C'     # picture buttons: a dark red, gold rimmed
BTN_BOTTOM='#761510'
BTN_RIM='#E2B64A'

# save FILE: writes the image on stdin-less pipeline output as an 8-bit RGBA PNG
# without time stamps.
png() { echo "PNG32:$here/$1"; }
PNGOPTS="-depth 8 -strip -define png:exclude-chunks=date,time"

# --- background: a seamless, subtle mottled green ---------------------------------
# Blurring with tiled virtual pixels wraps the blur round the edges, so the texture
# repeats without seams. Soft light over the base keeps it within a few shades of it.
convert -seed 7 -size 128x128 xc:gray50 +noise Random -virtual-pixel tile -blur 0x5 \
    -colorspace Gray -auto-level +level 41%,59% "$work/mottle.png"
convert -seed 8 -size 128x128 xc:gray50 +noise Gaussian -colorspace Gray \
    +level 46%,54% "$work/grain.png"
convert -size 128x128 "xc:$BASE" "$work/mottle.png" -compose SoftLight -composite \
    "$work/grain.png" -compose SoftLight -composite $PNGOPTS "$(png background.png)"

# --- picture buttons ----------------------------------------------------------------
# button FILE WIDTH HEIGHT TEXT POINTSIZE: a rounded, bevelled dark red button with a
# gold rim and cream lettering; the corners are transparent.
button() {
    f=$1; w=$2; h=$3; text=$4; pt=$5
    r=$((h / 3))
    convert -size "${w}x${h}" "gradient:$BTN_TOP-$BTN_BOTTOM" "$work/grad.png"
    convert -size "${w}x${h}" xc:none -fill white \
        -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" "$work/mask.png"
    convert "$work/grad.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
        -fill none -stroke "$BTN_RIM" -strokewidth 1.5 \
        -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) $((r - 1)),$((r - 1))" \
        -stroke '#FFFFFF50' -strokewidth 1 \
        -draw "line $((r + 1)),3 $((w - r - 2)),3" \
        -stroke '#3A060480' -draw "line $((r + 1)),$((h - 3)) $((w - r - 2)),$((h - 3))" \
        -stroke none -font "$FONT" -pointsize "$pt" -gravity center \
        -fill '#2A0402' -annotate +1+1 "$text" \
        -fill "$CREAM" -annotate +0+0 "$text" \
        $PNGOPTS "$(png "$f")"
}
button button_rotate.png 90 29 "ROTATE" 14
button button_clear.png 84 30 "CLEAR" 14
button button_send.png 96 30 "SEND" 15
button button_startgame.png 120 30 "START GAME" 14
button button_start.png 120 30 "START" 15
button button_allwords.png 96 30 "CLOSE" 15
button button_review.png 96 30 "REVIEW" 15

# --- logo: LEXITANGLE spelled downwards on small letter tiles -------------------------
# 40 x 420, to stand at the board panel's left edge beside the 420-pixel board.
convert -size 40x420 xc:none -fill '#2F442F' -stroke '#1E2C1E' \
    -draw "roundrectangle 0,0 39,419 8,8" "$work/logo.png"
y=13
for letter in L E X I T A N G L E; do
    convert -size 34x34 "gradient:$TILE_TOP-$TILE_BOTTOM" \
        \( -size 34x34 xc:none -fill white -draw "roundrectangle 0,0 33,33 5,5" \) \
        -alpha off -compose CopyOpacity -composite \
        -fill none -stroke '#8C7446' -strokewidth 1 -draw "roundrectangle 0,0 33,33 5,5" \
        -stroke '#FFFFFF90' -draw "line 4,1 29,1" \
        -stroke none -font "$FONT" -pointsize 22 -gravity center \
        -fill '#FFFFFFA0' -annotate +1+2 "$letter" \
        -fill "$LETTER" -annotate +0+1 "$letter" "$work/tile.png"
    convert "$work/logo.png" "$work/tile.png" -geometry "+3+$y" -compose Over -composite \
        "$work/logo.png"
    y=$((y + 40))
done
convert "$work/logo.png" $PNGOPTS "$(png image_logo.png)"

# --- words list title -----------------------------------------------------------------
convert -size 150x21 xc:none -font "$FONT" -pointsize 16 -gravity center \
    -fill '#1C281C' -annotate +1+1 "WORDS FOUND" -fill "$CREAM" -annotate +0+0 "WORDS FOUND" \
    -fill none -stroke '#E2B64A' -strokewidth 1 -draw "line 14,20 135,20" \
    $PNGOPTS "$(png title_wordsfound.png)"

# --- bars -------------------------------------------------------------------------------
# The "too few letters" bar over the word slots: a thin orange glow with rounded ends.
convert -size 517x7 gradient:'#FFC060-#D05000' \
    \( -size 517x7 xc:none -fill white -draw "roundrectangle 0,0 516,6 3,3" \) \
    -alpha off -compose CopyOpacity -composite $PNGOPTS "$(png image_minletters.png)"

# The time bar: dark bronze with a gold rim. The countdown is written over it in pale cream
# (and in red for the last seconds), so the bar stays dark enough for both to read.
convert -size 170x20 gradient:'#6A4A12-#33230A' \
    -fill '#FFFFFF18' -draw "rectangle 0,0 169,8" \
    \( -size 170x20 xc:none -fill white -draw "roundrectangle 0,0 169,19 5,5" \) \
    -alpha off -compose CopyOpacity -composite \
    -fill none -stroke '#D2A83E' -draw "roundrectangle 0,0 169,19 5,5" \
    $PNGOPTS "$(png image_timer.png)"

# --- the "just watching" eyes, 23 x 10 ----------------------------------------------------
convert -size 23x10 xc:none -stroke '#202020' -strokewidth 1 -fill white \
    -draw "ellipse 5.5,4.5 4.8,4.2 0,360" -draw "ellipse 16.5,4.5 4.8,4.2 0,360" \
    -stroke none -fill '#101010' -draw "circle 6.5,5 6.5,3" -draw "circle 17.5,5 17.5,3" \
    $PNGOPTS "$(png image_eyes.png)"

# --- option check pictures, 34 x 21: an empty and a checked box ---------------------------
checkbox() {
    convert -size 34x21 xc:none -fill '#FFFFE8' -stroke '#2A2A10' -strokewidth 1.5 \
        -draw "roundrectangle 8,1 26,19 3,3" "$work/box.png"
}
checkbox
convert "$work/box.png" $PNGOPTS "$(png check_off.png)"
convert "$work/box.png" -fill none -stroke "$LETTER" -strokewidth 3 \
    -draw "polyline 11,10 16,15 24,4" $PNGOPTS "$(png check_on.png)"

# --- resource list --------------------------------------------------------------------
{
    echo '<!DOCTYPE RCC><RCC version="1.0">'
    echo '<qresource prefix="/art">'
    for f in "$here"/*.png; do echo "    <file>$(basename "$f")</file>"; done
    echo '</qresource>'
    echo '</RCC>'
} > "$here/art.qrc"
