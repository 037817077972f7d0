#!/usr/bin/env bash
# Installs what is missing, builds, then runs every test: the normal build's
# tests, the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded run of every fuzz target.
# With --long it then runs, one after another and niced, the soak (half an
# hour of a computer match under the sanitizers) and every fuzz target for a
# million inputs; tests labelled "long" run only then.
# Starts a virtual display when there is none. Exits non-zero on any failure.
# The tests of each GoogleTest program run shuffled (the seed is printed).
set -uo pipefail
cd "$(dirname "$0")"
long=0
case "${1:-}" in
  --long) long=1 ;;
  "") ;;
  *) echo "usage: $0 [--long]" >&2; exit 2 ;;
esac
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
# Every GoogleTest program runs its tests in a shuffled order, the same
# order on every run unless ZEPHRINE_TEST_SEED names another seed; a failure
# that depends on the order replays with that seed (here, or with
# --gtest_shuffle --gtest_random_seed=N on the one program).
export GTEST_SHUFFLE=1
export GTEST_RANDOM_SEED="${ZEPHRINE_TEST_SEED:-1207}"
echo "== GoogleTest programs shuffled with seed $GTEST_RANDOM_SEED"

status=0
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs" -LE long || status=1
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE long || status=1
echo "== fuzz targets"
ctest --test-dir build-fuzz --output-on-failure -j"$jobs" -LE long || status=1
if [ $long -eq 1 ]; then
  # What each long run reports: the soak's figures, the fuzzers' counts.
  report() { grep -hE "^(soak:|Done [0-9]+ runs|[0-9]+/[0-9]+ Testing:)" "$1/Testing/Temporary/LastTest.log"; }
  echo "== the soak under AddressSanitizer and UndefinedBehaviorSanitizer"
  nice -n 10 ctest --test-dir build-asan --output-on-failure -L long || status=1
  report build-asan
  echo "== every fuzz target for a million inputs"
  nice -n 10 ctest --test-dir build-fuzz --output-on-failure -L long || status=1
  report build-fuzz
fi
echo "== done in $((SECONDS / 60)) min $((SECONDS % 60)) s"
exit $status
