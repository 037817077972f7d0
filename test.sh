#!/usr/bin/env bash
# Installs what is missing, builds, then runs every test: the normal build's
# tests, the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded run of every fuzz target.
# Starts a virtual display when there is none. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh
zephrine_install_missing "${zephrine_packages[@]}" "${zephrine_test_packages[@]}" || exit 1

jobs=$(nproc)
build() {  # build <dir> <cmake options...>
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j"$jobs"
}

build build -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
build build-asan -DCMAKE_BUILD_TYPE=Debug -DZEPHRINE_SANITIZE=ON -DZEPHRINE_BENCH=OFF \
  -DZEPHRINE_DATA=OFF -DZEPHRINE_EXTERNAL_DATA="$PWD/build/game/data" || exit 1
CC=clang CXX=clang++ build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPHRINE_FUZZ=ON \
  -DZEPHRINE_BENCH=OFF -DZEPHRINE_DATA=OFF || exit 1

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null' EXIT

# Software OpenGL and no sound card needed: tests that check audio output
# choose their own OpenAL backend.
export LIBGL_ALWAYS_SOFTWARE=1
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs" || status=1
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir build-asan --output-on-failure -j"$jobs" || status=1
echo "== fuzz targets"
ctest --test-dir build-fuzz --output-on-failure -j"$jobs" || status=1
exit $status
