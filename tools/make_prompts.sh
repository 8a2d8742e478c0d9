#!/usr/bin/env bash
# Makes the recorded prompts of the demo: one short WAV per word or number that the spoken
# phrases are built from (numbers, units, directions, the reports' fixed words), spoken by
# espeak-ng in a British voice, trimmed of silence and stored as 16 kHz mono 16-bit.
#
#   tools/make_prompts.sh [output directory]     (default: data/demo)
#
# Needs espeak-ng; sox for trimming and resampling (without it espeak-ng's own 22.05 kHz
# output is kept untrimmed).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../data/demo}"
mkdir -p "$out"
command -v espeak-ng >/dev/null || { echo "espeak-ng is needed: scripts/setup.sh installs it" >&2; exit 1; }
havesox=0
command -v sox >/dev/null && havesox=1
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# say NAME TEXT: one prompt.
say() {
  local name="$1" text="$2"
  espeak-ng -v en-gb -w "$tmp/raw.wav" -- "$text"
  if ((havesox)); then
    # Cut the silence espeak-ng puts around a word, so that fragments follow each other like
    # one sentence, and leave a short pause after each.
    sox "$tmp/raw.wav" -r 16000 -b 16 -c 1 "$out/$name" \
      silence 1 0.01 0.3% reverse silence 1 0.01 0.3% reverse pad 0 0.05
  else
    cp "$tmp/raw.wav" "$out/$name"
  fi
}

# Numbers: 0 to 99 (units, teens, tens, and the thousands of five-digit numbers), the
# hundreds, and the joining words.
say 0.wav "zero"
for n in $(seq 1 99); do say "$n.wav" "$n"; done
for h in 1 2 3 4 5 6 7 8 9; do say "${h}00.wav" "${h}00"; done
say 100e.wav "one hundred"
say 00.wav "hundred"
say thousand.wav "thousand"
say ee.wav "and"
say and.wav "and"
say point.wav "point"

# Units.
say miles.wav "miles"
say mile.wav "mile"
say yards.wav "yards"
say metres.wav "metres"
say kilomets.wav "kilometres"
say kilometr.wav "kilometre"
say mph.WAV "miles per hour"
say kmph.WAV "kilometres per hour"
say knots.WAV "knots"
say seconds.wav "seconds"
say minutes.wav "minutes"
say hours.wav "hours"
say ftpermin.wav "feet per minute"
say ftaboves.wav "feet above sea level"

# Where a place lies from us, and where the destination lies around us.
say northof.wav "north of"
say northeof.wav "north east of"
say eastof.wav "east of"
say southeof.wav "south east of"
say southof.wav "south of"
say southwof.wav "south west of"
say westof.wav "west of"
say northwof.wav "north west of"
say aheadofu.wav "ahead of us"
say toourrig.wav "to our right"
say behindus.wav "behind us"
say toourlef.wav "to our left"
for h in $(seq 1 12); do say "${h}c.wav" "at your $h o'clock"; done

# Direction of travel and roads.
say movnorth.wav "moving north"
say movneast.wav "moving north east"
say moveast.wav "moving east"
say movseast.wav "moving south east"
say movsouth.wav "moving south"
say movswest.wav "moving south west"
say movwest.wav "moving west"
say movnwest.wav "moving north west"
say notmove.wav "not moving"
say at.wav "at"
say on.wav "on"
say in.wav "in"
say over.wav "over"
say a.wav "A"
say b.wav "B"
say m.wav "M"
say highway.wav "highway"

# The reports' fixed words.
say weare.wav "we are"
say wearenea.wav "we are near"
say weareon.wav "we are on"
say called.wav "called"
say destinat.wav "destination"
say ETAIS.WAV "expected time of arrival is"
say THETIMEI.WAV "the time is"
say altisnot.wav "altitude is not available"
say altisnea.wav "altitude is near sea level"
say altisabo.wav "altitude is about"
say climbing.wav "climbing"
say sinking.wav "sinking"
say chamap.wav "changing map to"
say '$$$start.wav' "Welcome to zarn."
say '$$$INTRO.WAV' "Moving map and vehicle tracking. Ready."

# Greetings, the demo's opening and the GPS state changes.
say hello.wav "hello"
say goodmorn.wav "good morning"
say goodafte.wav "good afternoon"
say goodeven.wav "good evening"
say letmesho.wav "let me show you something I did earlier"
say gotgps.wav "I am receiving G P S data"
say notgps.wav "I'm not receiving any G P S data"

# The search box: each letter as it is typed, "next" for "+", and the words of the searches.
for l in c d e f g h i j k l n o p q r s t u v w x y z; do say "$l.wav" "$l"; done
say next.wav "next"
say theneare.wav "the nearest"
say nextnear.wav "the next nearest"
say pleasebe.wav "please be patient while I check my data"
say icantfin.wav "I can't find"
say ok.wav "OK"
say probably.wav "probably"
say is.wav "is"

# Destinations and route guidance: the attention chime before an instruction, and one prompt
# per turn type (left, straight on, right, back; at a T junction, crossroads or roundabout).
say home.wav "home"
say ourcar.wav "our car"
say moreinfo.wav "more information is available"
# Waypoint following: a waypoint reached, the next one steered to, the last one reached.
say wenearwp.wav "we are near waypoint"
say NEXTDEST.WAV "changing destination to next waypoint"
say FINALDES.WAV "we are near final destination"
if ((havesox)); then
  sox -n -r 16000 -b 16 -c 1 "$out/attentio.wav" synth 0.15 sine 880 synth 0.15 sine 660 : \
    synth 0.2 sine 660 fade 0 0.2 0.1 pad 0 0.1
else
  say attentio.wav "attention"
fi
say 'RGI$TL.WAV' "turn left"
say 'RGI$TLT.WAV' "at the T junction, turn left"
say 'RGI$TLX.WAV' "at the crossroads, turn left"
say 'RGI$TLR.WAV' "at the roundabout, turn left"
say 'RGI$S.WAV' "straight on"
say 'RGI$SX.WAV' "at the crossroads, go straight on"
say 'RGI$SR.WAV' "at the roundabout, go straight on"
say 'RGI$TR.WAV' "turn right"
say 'RGI$TRT.WAV' "at the T junction, turn right"
say 'RGI$TRX.WAV' "at the crossroads, turn right"
say 'RGI$TRR.WAV' "at the roundabout, turn right"
say 'RGI$B.WAV' "at the roundabout, go all the way round"
say 'RGI$BR.WAV' "turn back at the roundabout"

echo "$(ls "$out"/*.[wW][aA][vV] | wc -l) prompts in $out, $(du -ch "$out"/*.[wW][aA][vV] | tail -1 | cut -f1) in all"
