#!/usr/bin/env bash
# CPU of Tallisen playing demo.mkv with demo.srt against `mpv --vo=x11` on
# the same file, in two cases measured in interleaved rounds: without a sound
# server, and with a private PulseAudio server (a null sink whose monitor is
# the default source, so the waveform's recorder runs).  Every round prints
# the machine's load average; the summary gives median and range per case.
#   bench/playback_cost.sh [build folder] [rounds, default 5]
# An X server is started with xvfb-run -a; TL_DISPLAY=:N uses a running one.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-build}" && pwd)
rounds=${2:-5}
. "$here/private_pulse.sh"
trap stop_pulse EXIT
log=$(mktemp "${TMPDIR:-/tmp}/tl-cost.XXXXXX")

# No sound server at all: a runtime folder of its own, no autospawn.
quiet=$(mktemp -d "${TMPDIR:-/tmp}/tl-nosound.XXXXXX")
echo "autospawn = no" >"$quiet/client.conf"

measure() {  # case name, round
  local run=(env TL_BENCH_ROUNDS=1 TL_BENCH_CASE="$1" "$build/bench_playback_cost"
             --benchmark_format=json --benchmark_out=/dev/null)
  if [ -n "${TL_DISPLAY:-}" ]; then
    DISPLAY=$TL_DISPLAY QT_QPA_PLATFORM=xcb timeout 300 "${run[@]}" 2>&1 >/dev/null
  else
    timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "${run[@]}" 2>&1 >/dev/null
  fi | sed "s/^round 1/round $2/" | tee -a "$log"
}

for r in $(seq "$rounds"); do
  (unset PULSE_SERVER; export XDG_RUNTIME_DIR=$quiet PULSE_CLIENTCONFIG=$quiet/client.conf
   measure no-sound-server "$r")
  start_pulse
  measure sound-server "$r"
  stop_pulse
done
rm -rf "$quiet"

# Median and range of one column of a case's round lines.
stats() {  # case, sed expression picking the number
  grep " $1:" "$log" | sed "$2" | sort -n | awk '{ v[NR] = $1 } END {
    if (!NR) { printf "-"; exit }
    printf "median %.2f (rounds %.2f-%.2f)", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1], v[NR] }'
}
for c in no-sound-server sound-server; do
  echo "$c: ratio $(stats "$c" 's/.*ratio \([0-9.]*\)$/\1/'), paused % $(stats "$c" 's/.*paused \([0-9.]*\) %.*/\1/')"
done
rm -f "$log"
