#!/usr/bin/env bash
# Set-up and build of Tallisen on Debian 12.
#   tools/tallisen.sh run    install what is needed, build the programs and the demo, start Tallisen
#   tools/tallisen.sh test   install what is needed, build, run every test headless,
#                            then again built with AddressSanitizer and UBSan (build-asan),
#                            then every fuzz target for 20 s (build-fuzz)
#   tools/tallisen.sh fuzz [SECONDS]   build the fuzz targets and run each for SECONDS
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libmpv-dev libasound2-dev
  libcurl4-openssl-dev libjpeg62-turbo-dev fonts-noto-cjk xvfb xauth espeak-ng sox
  pulseaudio libasound2-plugins xdg-utils libavcodec-dev libavformat-dev clang libclang-rt-14-dev mpv qt6-translations-l10n
  libqt6svg6)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Extra configure options are passed on (the test command builds with
# warnings as errors).  build builds everything in build/ (tests and
# benchmarks too); build_programs only what the run command starts: the two
# programs, the filter modules with their registering program, and the demo.
configure() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
build() {
  configure "$@"
  cmake --build build --parallel "$(nproc)"
}
build_programs() {
  configure "$@"
  cmake --build build --parallel "$(nproc)" --target tallisen quendle filterreg demo
}

# The decoder and splitter modules go into the machine's filter store, which
# Quendle lists and the player follows.  filterreg registers only a module the
# store has never held: what the learner did in Quendle (changed merits, an
# unregistered module) stays, and this is quick on every run.
register_filters() {
  local modules=("$here/build/filters/lavcfilters.so" "$here/build/filters/lavffilters.so")
  ./build/filters/filterreg "${modules[@]}" 2>/dev/null && return
  [ "$(id -u)" = 0 ] && { ./build/filters/filterreg "${modules[@]}"; return; }
  sudo ./build/filters/filterreg "${modules[@]}"
}

jobs=$(nproc)
sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

# The tests once more, compiled by clang with AddressSanitizer and UBSan.
sanitized_tests() {
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLISEN_BENCH=OFF "-DCMAKE_C_FLAGS=$sanitize" "-DCMAKE_CXX_FLAGS=$sanitize" \
    "-DCMAKE_EXE_LINKER_FLAGS=$sanitize" "-DCMAKE_SHARED_LINKER_FLAGS=$sanitize" \
    "-DCMAKE_MODULE_LINKER_FLAGS=$sanitize" >/dev/null
  cmake --build build-asan --parallel "$jobs"
  (cd build-asan &&
    LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" \
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" UBSAN_OPTIONS="print_stacktrace=1" \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j "$jobs")
}

# The libFuzzer targets of tests/fuzz, built by clang into build-fuzz/fuzz/.
fuzz_build() {
  local f="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLISEN_BENCH=OFF -DTALLISEN_FUZZ=ON "-DCMAKE_C_FLAGS=$f" "-DCMAKE_CXX_FLAGS=$f" >/dev/null
  cmake --build build-fuzz --parallel "$jobs" --target fuzz_all
}

# Runs every built *_fuzz program for $1 seconds on its corpus (seeded from
# tests/fuzz/seeds/<name>/).  A crash, a hang beyond 2 s on one input or
# 2 GB of memory fails the run; the input is kept in build-fuzz/artifacts/.
fuzz_run() {
  local seconds=$1 failed=0
  mkdir -p build-fuzz/artifacts
  for bin in build-fuzz/fuzz/*_fuzz; do
    local name corpus
    name=$(basename "$bin" _fuzz)
    corpus=build-fuzz/corpus/$name
    mkdir -p "$corpus"
    [ -d "tests/fuzz/seeds/$name" ] && cp -n "tests/fuzz/seeds/$name"/* "$corpus"/ 2>/dev/null || true
    echo "fuzz $name: ${seconds} s"
    if ! LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" "$bin" -max_total_time="$seconds" -timeout=2 \
        -rss_limit_mb=2048 -print_final_stats=0 -artifact_prefix="build-fuzz/artifacts/$name-" \
        "$corpus" >"build-fuzz/$name.log" 2>&1; then
      tail -40 "build-fuzz/$name.log"
      failed=1
    fi
  done
  return $failed
}

case "${1:-run}" in
  run)
    install_packages
    build_programs
    register_filters
    exec ./build/tallisen
    ;;
  test)
    install_packages
    build -DTALLISEN_WERROR=ON
    register_filters
    (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j "$jobs")
    sanitized_tests
    fuzz_build
    fuzz_run 20
    ;;
  fuzz)
    install_packages
    fuzz_build
    fuzz_run "${2:-600}"
    ;;
  *)
    echo "usage: $0 run|test|fuzz [seconds]" >&2
    exit 2
    ;;
esac
