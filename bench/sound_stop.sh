#!/usr/bin/env bash
# Where the sound stops at each auto-pause, recorded from a private PulseAudio
# server while the main window plays the demo lesson (demo.wav, demo.mkv).
#   bench/sound_stop.sh [build folder [benchmark options]]
# TL_ROUNDS=N plays each medium N times (default 3).
# An X server is started with xvfb-run -a; TL_DISPLAY=:N uses a running one.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-build}" && pwd)
. "$here/private_pulse.sh"
trap stop_pulse EXIT
start_pulse
run=("$build/bench_sound_stop" "${@:2}")
if [ -n "${TL_DISPLAY:-}" ]; then
  DISPLAY=$TL_DISPLAY QT_QPA_PLATFORM=xcb timeout 600 "${run[@]}"
else
  timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "${run[@]}"
fi
