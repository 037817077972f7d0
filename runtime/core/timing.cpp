#include "timing.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

const char* bb_timing_Setting() {
  static const char* value = std::getenv("ZEPHRINE_TIMING");
  return value;
}

long long bb_timing_Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

void bb_timing_Print(const char* event, long long value) {
  if (!bb_timing_Setting()) return;
  if (value >= 0) {
    std::printf("timing %s %lld %lld\n", event, bb_timing_Now(), value);
  } else {
    std::printf("timing %s %lld\n", event, bb_timing_Now());
  }
  std::fflush(stdout);
}
