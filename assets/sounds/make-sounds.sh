#!/bin/sh
# Makes the game's 32 sound clips (12 game sounds, 20 chatter sounds) as mono 22050 Hz
# 16-bit PCM WAVE files, and sounds.qrc.
# Needs espeak-ng and sox. Run from anywhere; writes next to this script.
# sox runs in repeatable mode (-R), so the noise-based clips come out the same every run.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
RATE=22050

# sx ARGS...: sox in repeatable mode, quiet.
sx() { sox -R -q "$@"; }

# gen FILE LENGTH SYNTH-ARGS... [: EFFECTS...]: a synthesised mono scrap in the work folder.
gen() {
    file=$1; shift
    sx -n -r $RATE -c 1 -b 16 "$work/$file.wav" synth "$@"
}

# say FILE VOICE PITCH SPEED TEXT: a spoken scrap from espeak-ng.
say() {
    espeak-ng -v "$2" -p "$3" -s "$4" -w "$work/$1.raw.wav" "$5"
    sx "$work/$1.raw.wav" -r $RATE -c 1 -b 16 "$work/$1.wav" silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
}

# finish_at PEAK SCRAP NAME [EFFECTS...]: the final clip: effects, peak level in dB, short
# fades so no clip starts or ends with a click. Harsh, dense clips (buzz, horn, clicks)
# get a lower peak so they sound about as loud as speech. The fades run as a second pass
# because some effects (reverb) hide the length that a fade counted from the end needs.
finish_at() {
    peak=$1; scrap=$2; name=$3; shift 3
    sox -R -q "$work/$scrap.wav" "$work/$scrap.fx.wav" "$@" gain -n "$peak"
    sx "$work/$scrap.fx.wav" -r $RATE -c 1 -b 16 -e signed-integer "$here/$name.wav" \
        fade t 0.005 -0 0.02
}
finish() { finish_at -1 "$@"; }

# note FILE FREQ LENGTH [TYPE]: one plucked or struck note with a decaying tail.
note() {
    gen "$1" "$3" "${4:-pluck}" "$2" fade l 0 "$3" "$3"
}

# concat OUT IN...: joins scraps one after another.
concat() {
    out=$1; shift
    files=""
    for f in "$@"; do files="$files $work/$f.wav"; done
    # shellcheck disable=SC2086
    sx $files "$work/$out.wav"
}

# mix OUT IN...: plays scraps on top of each other.
mix() {
    out=$1; shift
    files=""
    for f in "$@"; do files="$files $work/$f.wav"; done
    # shellcheck disable=SC2086
    sx -m $files "$work/$out.wav"
}

# delay OUT IN SECONDS: the scrap shifted later by silence in front.
delay() { sx "$work/$2.wav" "$work/$1.wav" pad "$3"; }

# --- game sounds ---------------------------------------------------------------

# CLICK: a short, dry tap for a chosen tile.
gen click_a 0.035 sine 2400 fade q 0 0.035 0.033
finish_at -6 click_a CLICK

# TICK: a woodblock tick for the last seconds of a round.
gen tick_a 0.07 sine 1250 fade q 0.001 0.07 0.068
gen tick_b 0.07 square 2500 fade q 0.001 0.02 0.019 vol 0.15
mix tick tick_a tick_b
finish_at -5 tick TICK lowpass 5000

# CLEAR: a quick falling swish.
gen clear_a 0.22 sine 1400-300 fade q 0.01 0.22 0.15
gen clear_b 0.22 pinknoise band -n 2500 1500 fade q 0.02 0.22 0.18 vol 0.5
mix clear clear_a clear_b
finish_at -6 clear CLEAR

# ROTATE: a rising ratchet whirr.
gen rotate 0.3 sawtooth 260-620 tremolo 38 90 lowpass 3000 fade q 0.01 0.3 0.08
finish_at -4 rotate ROTATE

# SENDWORD: a whoosh: noise swelling through a band, then falling away.
gen whoosh_a 0.45 pinknoise band 900 700 fade h 0.25 0.45 0.2
gen whoosh_b 0.45 sine 300-1600 fade h 0.25 0.45 0.2 vol 0.25
mix sendword whoosh_a whoosh_b
finish sendword SENDWORD

# INVALID: a low electric buzz.
gen invalid 0.38 square 98 square 104 remix - overdrive 10 gain -6 lowpass 2200 fade q 0.01 0.38 0.05
finish_at -9 invalid INVALID

# GOODWORD: two bright rising chimes.
note gw1 1046.5 0.18 sine
note gw2 1568 0.45 sine
concat goodword gw1 gw2
finish goodword GOODWORD

# ENTERED: a door bell, "ding-dong".
note ding 659.3 0.45
note dong 523.3 0.75
concat entered ding dong
finish entered ENTERED

# TURN: the classic "your turn" call: three quick rising notes.
note t1 784 0.12
note t2 988 0.12
note t3 1175 0.5
concat turn t1 t2 t3
finish turn TURN

# TURNNEW: the newer turn call: a soft chord struck twice.
gen tn1 0.22 sine 660 sine 880 sine 1320 remix - fade l 0 0.22 0.2
gen tn2 0.6 sine 880 sine 1108.7 sine 1760 remix - fade l 0 0.6 0.58
concat turnnew tn1 tn2
finish turnnew TURNNEW

# ROUNDOVER: a falling three-note jingle.
note r1 784 0.18 triangle
note r2 659.3 0.18 triangle
note r3 523.3 0.6 triangle
concat roundover r1 r2 r3
finish roundover ROUNDOVER

# GAMEOVER: a short fanfare ending on a held chord.
note g1 523.3 0.13 square
note g2 659.3 0.13 square
note g3 784 0.13 square
gen g4 0.8 square 523.3 square 659.3 square 784 square 1046.5 remix - gain -6 fade l 0 0.8 0.7
concat gameover g1 g2 g3 g4
finish gameover GAMEOVER gain -3 lowpass 3500

# --- chatter sounds (WAVE1..WAVE20, named by their menu captions) ------------------

say doh en-us+m3 25 150 "Doh!"
finish doh WAVE1

# WAVE2 Cough: two rough bursts of filtered noise.
gen cough_a 0.22 brownnoise band -n 500 400 overdrive 15 fade q 0.005 0.22 0.17
gen cough_b 0.22 whitenoise band 1200 900 fade q 0.005 0.22 0.19 vol 0.3
mix cough1 cough_a cough_b
sx "$work/cough1.wav" "$work/cough2.wav" vol 0.8 pad 0.12
concat cough cough1 cough2
finish cough WAVE2

say hello en-us+f2 55 160 "Hello!"
finish hello WAVE3

say thanks en-gb+m2 50 155 "Thank you!"
finish thanks WAVE4

say where en-us+m1 60 170 "Where have you been?"
finish where WAVE5

# WAVE6 Snoring: a rattling breath in, a soft whistle out.
gen snore_in 0.9 brownnoise lowpass 500 tremolo 32 85 fade q 0.3 0.9 0.3
gen snore_out 0.5 sine 420-380 tremolo 6 40 fade q 0.1 0.5 0.3 vol 0.15
concat snore snore_in snore_out
finish snore WAVE6

# WAVE7 Sneezing: a spoken "ah, ah" and a noisy "choo".
say ahah en-us+f1 80 150 "ah, ahh"
gen choo 0.35 whitenoise gain -6 highpass 1800 fade q 0.005 0.35 0.3
concat sneeze ahah choo
finish sneeze WAVE7

say sorry en-us+f4 45 140 "Sorry."
finish sorry WAVE8

say welcome en-gb+m4 55 150 "Welcome!"
finish welcome WAVE9

say yeehaa en-us+m7 85 190 "Yee haa!"
finish yeehaa WAVE10

say yippee en-us+f5 95 200 "Yippee!"
finish yippee WAVE11

say ohno en-us+m2 40 120 "Oh no!"
finish ohno WAVE12

# WAVE13 Applause: a crowd of hand claps, each a short burst of band-passed noise,
# laid at jittered times and faded out.
gen clap 0.04 whitenoise band -n 1600 1400 fade q 0.001 0.04 0.035
claps=""
i=0
for t in 0.00 0.03 0.07 0.11 0.13 0.18 0.22 0.24 0.29 0.33 0.36 0.40 0.43 0.47 \
         0.51 0.54 0.58 0.62 0.66 0.69 0.73 0.77 0.80 0.85 0.88 0.92 0.96 1.01 \
         1.04 1.08 1.12 1.15 1.19 1.23 1.27 1.31 1.35; do
    i=$((i + 1))
    delay "clap$i" clap "$t"
    claps="$claps clap$i"
done
# shellcheck disable=SC2086
mix applause $claps
finish applause WAVE13 fade q 0.01 -0 0.5 reverb 30

# WAVE14 Honk: a two-tone car horn, twice.
gen honk1 0.3 square 392 sawtooth 494 remix - overdrive 6 gain -6 lowpass 2500 fade q 0.01 0.3 0.03
gen gap 0.08 sine 0 vol 0
concat honk honk1 gap honk1
finish_at -8 honk WAVE14

say oooh en-us+f3 60 80 "Ooooooh"
finish oooh WAVE15 tremolo 5 20

# WAVE16 Razzberry: a buzzing raspberry, a low saw shaken by noise.
gen razz_a 0.7 sawtooth 85 tremolo 31 70 fade q 0.03 0.7 0.15
gen razz_b 0.7 brownnoise band 700 500 tremolo 27 90 fade q 0.03 0.7 0.15 vol 0.6
mix razz razz_a razz_b
finish razz WAVE16 overdrive 5

# WAVE17 Cheer: a small crowd shouting "hooray" in three voices over a rush of noise.
say cheer_a en-us+m3 60 160 "Hooray!"
say cheer_b en-us+f2 85 170 "Hooray!"
say cheer_c en-gb+m5 45 150 "Hooray!"
delay cheer_b2 cheer_b 0.06
delay cheer_c2 cheer_c 0.11
gen crowd 1.0 pinknoise band 1000 1200 fade q 0.2 1.0 0.5 vol 0.25
mix cheer cheer_a cheer_b2 cheer_c2 crowd
finish cheer WAVE17 reverb 40

say woman en-us+f3 90 230 "ha ha ha ha ha!"
finish woman WAVE18

say man en-us+m3 20 200 "ho ho ho ha ha!"
finish man WAVE19

say crying en-us+f4 70 110 "boo hoo hoo hoo"
finish crying WAVE20 tremolo 7 40

# --- resource list --------------------------------------------------------------
{
    echo '<!DOCTYPE RCC><RCC version="1.0">'
    echo '<qresource prefix="/sounds">'
    for f in "$here"/*.wav; do echo "    <file>$(basename "$f")</file>"; done
    echo '</qresource>'
    echo '</RCC>'
} > "$here/sounds.qrc"
