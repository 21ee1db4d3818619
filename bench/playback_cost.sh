#!/usr/bin/env bash
# Measures the CPU cost of playback side by side with mpv under a private
# X server.  Usage: bench/playback_cost.sh [build folder]
set -euo pipefail
build=${1:-build}
exec timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
  "$build/bench_playback_cost"
