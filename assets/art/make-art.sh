#!/bin/sh
# Makes the window artwork (PNG) and art.qrc. Needs ImageMagick's convert and the
# Liberation fonts (fonts-liberation). Run from anywhere; writes next to this script.
# Noise is seeded, and PNG time stamps are left out, so every run gives the same files.
#
# Every picture is drawn twice from the same description: at its size in pixels (name.png) and
# at twice that (name@2x.png), which the program takes on a screen scaled to 200 %, so no
# picture is ever a small one blown up.
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

PNGOPTS="-depth 8 -strip -define png:exclude-chunks=date,time"

# The scale being drawn (1 or 2) and the file name ending that goes with it.
S=1
AT=''

# png NAME: the output file for picture NAME at the current scale, as an 8-bit RGBA PNG.
png() { echo "PNG32:$here/$1$AT.png"; }
# n V: a length of V pixels at the current scale.
n() { awk -v v="$1" -v s="$S" 'BEGIN { printf "%g", v * s }'; }
# p V: the place of pixel V's centre line at the current scale (pixel V of the small picture
# covers pixels V*S .. V*S+S-1 of the large one).
p() { awk -v v="$1" -v s="$S" 'BEGIN { printf "%g", v * s + (s - 1) / 2 }'; }
# size W H: "WxH" at the current scale.
size() { echo "$(n "$1")x$(n "$2")"; }
# rr X1 Y1 X2 Y2 R: a rounded rectangle whose corners are pixel centres of the small picture.
rr() { echo "roundrectangle $(p "$1"),$(p "$2") $(p "$3"),$(p "$4") $(n "$5"),$(n "$5")"; }
# line X1 Y1 X2 Y2
ln() { echo "line $(p "$1"),$(p "$2") $(p "$3"),$(p "$4")"; }
# A mask as large as the picture with the rounded rectangle filled: what is outside goes.
mask() { convert -size "$(size "$1" "$2")" xc:none -fill white -draw "$3" "$4"; }

# --- background: a seamless, subtle mottled green ---------------------------------
# Blurring with tiled virtual pixels wraps the blur round the edges, so the texture
# repeats without seams. Soft light over the base keeps it within a few shades of it.
background() {
    convert -seed 7 -size "$(size 128 128)" xc:gray50 +noise Random -virtual-pixel tile \
        -blur "0x$(n 5)" -colorspace Gray -auto-level +level 41%,59% "$work/mottle.png"
    convert -seed 8 -size "$(size 128 128)" xc:gray50 +noise Gaussian -colorspace Gray \
        +level 46%,54% "$work/grain.png"
    convert -size "$(size 128 128)" "xc:$BASE" "$work/mottle.png" -compose SoftLight -composite \
        "$work/grain.png" -compose SoftLight -composite $PNGOPTS "$(png background)"
}

# --- picture buttons ----------------------------------------------------------------
# button NAME WIDTH HEIGHT TEXT POINTSIZE: a rounded, bevelled dark red button with a
# gold rim and cream lettering; the corners are transparent.
button() {
    f=$1; w=$2; h=$3; text=$4; pt=$5
    r=$((h / 3))
    convert -size "$(size "$w" "$h")" "gradient:$BTN_TOP-$BTN_BOTTOM" "$work/grad.png"
    mask "$w" "$h" "$(rr 0 0 $((w - 1)) $((h - 1)) $r)" "$work/mask.png"
    convert "$work/grad.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
        -fill none -stroke "$BTN_RIM" -strokewidth "$(n 1.5)" \
        -draw "$(rr 1 1 $((w - 2)) $((h - 2)) $((r - 1)))" \
        -stroke '#FFFFFF50' -strokewidth "$(n 1)" \
        -draw "$(ln $((r + 1)) 3 $((w - r - 2)) 3)" \
        -stroke '#3A060480' -draw "$(ln $((r + 1)) $((h - 3)) $((w - r - 2)) $((h - 3)))" \
        -stroke none -font "$FONT" -pointsize "$(n "$pt")" -gravity center \
        -fill '#2A0402' -annotate "+$(n 1)+$(n 1)" "$text" \
        -fill "$CREAM" -annotate +0+0 "$text" \
        $PNGOPTS "$(png "$f")"
}
buttons() {
    button button_rotate 90 29 "ROTATE" 14
    button button_clear 84 30 "CLEAR" 14
    button button_send 96 30 "SEND" 15
    button button_startgame 120 30 "START GAME" 14
    button button_start 120 30 "START" 15
    button button_allwords 96 30 "CLOSE" 15
    button button_review 96 30 "REVIEW" 15
}

# --- logo: LEXITANGLE spelled downwards on small letter tiles -------------------------
# 40 x 420, to stand at the board panel's left edge beside the 420-pixel board.
logo() {
    convert -size "$(size 40 420)" xc:none -fill '#2F442F' -stroke '#1E2C1E' -strokewidth "$(n 1)" \
        -draw "$(rr 0 0 39 419 8)" "$work/logo.png"
    y=13
    for letter in L E X I T A N G L E; do
        convert -size "$(size 34 34)" "gradient:$TILE_TOP-$TILE_BOTTOM" \
            \( -size "$(size 34 34)" xc:none -fill white -draw "$(rr 0 0 33 33 5)" \) \
            -alpha off -compose CopyOpacity -composite \
            -fill none -stroke '#8C7446' -strokewidth "$(n 1)" -draw "$(rr 0 0 33 33 5)" \
            -stroke '#FFFFFF90' -draw "$(ln 4 1 29 1)" \
            -stroke none -font "$FONT" -pointsize "$(n 22)" -gravity center \
            -fill '#FFFFFFA0' -annotate "+$(n 1)+$(n 2)" "$letter" \
            -fill "$LETTER" -annotate "+0+$(n 1)" "$letter" "$work/tile.png"
        convert "$work/logo.png" "$work/tile.png" -geometry "+$(n 3)+$(n $y)" -compose Over -composite \
            "$work/logo.png"
        y=$((y + 40))
    done
    convert "$work/logo.png" $PNGOPTS "$(png image_logo)"
}

# --- words list title -----------------------------------------------------------------
title() {
    convert -size "$(size 150 21)" xc:none -font "$FONT" -pointsize "$(n 16)" -gravity center \
        -fill '#1C281C' -annotate "+$(n 1)+$(n 1)" "WORDS FOUND" -fill "$CREAM" -annotate +0+0 "WORDS FOUND" \
        -fill none -stroke '#E2B64A' -strokewidth "$(n 1)" -draw "$(ln 14 20 135 20)" \
        $PNGOPTS "$(png title_wordsfound)"
}

# --- bars -------------------------------------------------------------------------------
bars() {
    # The "too few letters" bar over the word slots: a thin orange glow with rounded ends.
    convert -size "$(size 517 7)" gradient:'#FFC060-#D05000' \
        \( -size "$(size 517 7)" xc:none -fill white -draw "$(rr 0 0 516 6 3)" \) \
        -alpha off -compose CopyOpacity -composite $PNGOPTS "$(png image_minletters)"

    # The countdown is written across the time bar, in pale cream and in bright red for its
    # last seconds, and the bar shrinks from under it. So the track behind the bar is nearly
    # black, and the bar's middle, where the letters stand, nearly as dark (luminance below
    # 0.0084, which gives the red 4.5:1). The bar shows by its bronze bands and gold lines
    # above and below the letters; its ends are square and unlined, as an end may stop in the
    # middle of a letter.
    convert -size "$(size 170 20)" xc:none -fill '#0C0906' -stroke '#4A3C22' -strokewidth "$(n 1)" \
        -draw "$(rr 0 0 169 19 5)" $PNGOPTS "$(png image_timerback)"
    convert -size "$(size 170 1)" xc:'#D2A83E' \
        -size "$(size 170 3)" gradient:'#8A6622-#3A2810' \
        -size "$(size 170 12)" gradient:'#1C1208-#120A04' \
        -size "$(size 170 3)" gradient:'#3A2810-#7A5818' \
        -size "$(size 170 1)" xc:'#D2A83E' -append \
        $PNGOPTS "$(png image_timer)"
}

# --- the "just watching" eyes, 23 x 10 ----------------------------------------------------
eyes() {
    convert -size "$(size 23 10)" xc:none -stroke '#202020' -strokewidth "$(n 1)" -fill white \
        -draw "ellipse $(p 5.5),$(p 4.5) $(n 4.8),$(n 4.2) 0,360" \
        -draw "ellipse $(p 16.5),$(p 4.5) $(n 4.8),$(n 4.2) 0,360" \
        -stroke none -fill '#101010' -draw "circle $(p 6.5),$(p 5) $(p 6.5),$(p 3)" \
        -draw "circle $(p 17.5),$(p 5) $(p 17.5),$(p 3)" \
        $PNGOPTS "$(png image_eyes)"
}

# --- option check pictures, 34 x 21: an empty and a checked box ---------------------------
checks() {
    convert -size "$(size 34 21)" xc:none -fill '#FFFFE8' -stroke '#2A2A10' -strokewidth "$(n 1.5)" \
        -draw "$(rr 8 1 26 19 3)" "$work/box.png"
    convert "$work/box.png" $PNGOPTS "$(png check_off)"
    convert "$work/box.png" -fill none -stroke "$LETTER" -strokewidth "$(n 3)" \
        -draw "polyline $(p 11),$(p 10) $(p 16),$(p 15) $(p 24),$(p 4)" $PNGOPTS "$(png check_on)"
}

for S in 1 2; do
    AT=$([ "$S" = 1 ] && echo '' || echo "@${S}x")
    background
    buttons
    logo
    title
    bars
    eyes
    checks
done

# --- resource list --------------------------------------------------------------------
{
    echo '<!DOCTYPE RCC><RCC version="1.0">'
    echo '<qresource prefix="/art">'
    for f in "$here"/*.png; do echo "    <file>$(basename "$f")</file>"; done
    echo '</qresource>'
    echo '</RCC>'
} > "$here/art.qrc"
