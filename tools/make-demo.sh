#!/bin/sh
# Makes the demo lesson: OUTDIR/demo.wav (every sentence of the dialogue file
# spoken by espeak-ng, joined with short silences by sox) and OUTDIR/demo.srt
# (one cue per sentence, timed to the sample).  Without espeak-ng or sox it
# prints a note and makes nothing; it never fails the build for that.
#
# usage: make-demo.sh DIALOGUE-FILE OUTDIR
set -eu

dialogue=$1
out=$2
gap=0.8        # silence between sentences, seconds
lead=1.0       # silence before the first and after the last sentence
rate=22050

for tool in espeak-ng sox soxi; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "note: $tool is not installed; the demo lesson is not made." >&2
    exit 0
  fi
done

mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/tl-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

sox -n -r $rate -c 1 -b 16 "$work/gap.wav" trim 0 $gap
sox -n -r $rate -c 1 -b 16 "$work/lead.wav" trim 0 $lead
gapn=$(soxi -s "$work/gap.wav")
leadn=$(soxi -s "$work/lead.wav")

# Cue times in milliseconds from sample counts (rounded to the nearest ms).
ms() { echo $(( ($1 * 1000 + rate / 2) / rate )); }
stamp() {
  t=$1
  printf '%02d:%02d:%02d,%03d' $((t / 3600000)) $((t / 60000 % 60)) $((t / 1000 % 60)) $((t % 1000))
}

n=0
pos=$leadn
set -- "$work/lead.wav"
: >"$work/demo.srt"
while IFS= read -r line || [ -n "$line" ]; do
  case $line in '' | '#'*) continue ;; esac
  voice=${line%%|*}
  text=${line#*|}
  n=$((n + 1))
  espeak-ng -v "$voice" -s 140 -w "$work/raw$n.wav" "$text"
  # Cut the synthesiser's own silence at both ends so the cue spans the speech.
  sox "$work/raw$n.wav" -r $rate -c 1 -b 16 "$work/s$n.wav" \
    silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse
  len=$(soxi -s "$work/s$n.wav")
  [ "$n" -gt 1 ] && { set -- "$@" "$work/gap.wav"; pos=$((pos + gapn)); }
  set -- "$@" "$work/s$n.wav"
  printf '%d\r\n%s --> %s\r\n%s\r\n\r\n' "$n" "$(stamp "$(ms $pos)")" \
    "$(stamp "$(ms $((pos + len)))")" "$text" >>"$work/demo.srt"
  pos=$((pos + len))
done <"$dialogue"
set -- "$@" "$work/lead.wav"

sox "$@" "$work/demo.wav"
mv -f "$work/demo.wav" "$out/demo.wav"
mv -f "$work/demo.srt" "$out/demo.srt"
echo "demo lesson: $out/demo.wav, $out/demo.srt ($n sentences)"
