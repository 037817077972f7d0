#include "game/timing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

namespace {

const char* Setting() {
  static const char* value = std::getenv("ZEPHRINE_TIMING");
  return value;
}

}  // namespace

void TimingMilestone(const char* event) {
  if (!Setting()) return;
  static std::set<std::string> printed;
  if (!printed.insert(event).second) return;
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::printf("timing %s %lld\n", event, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  std::fflush(stdout);
}

bool TimingWantsFullscreen() { return Setting() && std::strcmp(Setting(), "fullscreen") == 0; }
