#!/usr/bin/env bash
# Set-up and build of Tallisen on Debian 12.
#   tools/tallisen.sh run    install what is needed, build, start Tallisen
#   tools/tallisen.sh test   install what is needed, build, run every test headless
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libmpv-dev libasound2-dev
  libcurl4-openssl-dev libjpeg62-turbo-dev fonts-noto-cjk xvfb xauth espeak-ng sox
  pulseaudio libasound2-plugins xdg-utils libavcodec-dev libavformat-dev qt6-translations-l10n)

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
# warnings as errors).
build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build build --parallel "$(nproc)"
}

# The decoder and splitter modules go into the machine's filter store, which
# Quendle lists and the player follows.  filterreg leaves a module that is
# there already alone (changed merits stay), so this is quick on every run.
register_filters() {
  local modules=("$here/build/filters/lavcfilters.so" "$here/build/filters/lavffilters.so")
  ./build/filters/filterreg "${modules[@]}" 2>/dev/null && return
  [ "$(id -u)" = 0 ] && { ./build/filters/filterreg "${modules[@]}"; return; }
  sudo ./build/filters/filterreg "${modules[@]}"
}

case "${1:-run}" in
  run)
    install_packages
    build
    register_filters
    exec ./build/tallisen
    ;;
  test)
    install_packages
    build -DTALLISEN_WERROR=ON
    register_filters
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j "$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
