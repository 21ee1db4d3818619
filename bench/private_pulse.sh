# Sourced by the benchmark scripts: a private PulseAudio server with one null
# sink, tl_sink, which is the default sink and whose monitor is the default
# source (what the program plays is what its recorder records).  Its runtime
# folder is a new one under ${TL_PULSE_BASE:-/tmp}; PULSE_SERVER and
# XDG_RUNTIME_DIR point at it until stop_pulse.
start_pulse() {
  pulse_dir=$(mktemp -d "${TL_PULSE_BASE:-/tmp}/tl-pulse.XXXXXX")
  XDG_RUNTIME_DIR=$pulse_dir HOME=$pulse_dir timeout -k 5 3600 pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=tl_sink" >"$pulse_dir/log" 2>&1 &
  pulse_pid=$!
  local i
  for i in $(seq 100); do [ -S "$pulse_dir/pulse/native" ] && break; sleep 0.05; done
  export XDG_RUNTIME_DIR=$pulse_dir PULSE_SERVER=unix:$pulse_dir/pulse/native
  pactl set-default-sink tl_sink && pactl set-default-source tl_sink.monitor
}

stop_pulse() {
  [ -n "${pulse_pid:-}" ] || return 0
  kill "$pulse_pid" 2>/dev/null || true
  wait "$pulse_pid" 2>/dev/null || true
  rm -rf "$pulse_dir"
  unset PULSE_SERVER pulse_pid
}
