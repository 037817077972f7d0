#!/usr/bin/env bash
# Installs the Debian packages the build, the Debian package of the game
# (dpkg-dev and file for its dependencies) and the tests need (the checkers
# of desktop entries, AppStream data and packages among them), only those that
# are missing. Sourced by run.sh and test.sh; needs root (or sudo) when a
# package is missing.
zephrine_packages=(
  build-essential cmake pkg-config git
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libglfw3-dev libgl-dev libgl1-mesa-dri libx11-dev
  libopenal-dev libstb-dev libvorbis-dev libogg-dev
  dpkg-dev file
  libenet-dev
)
zephrine_test_packages=(
  xvfb xauth x11-utils xdotool imagemagick sox vorbis-tools
  desktop-file-utils appstream lintian
)

zephrine_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
