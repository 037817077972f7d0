#include "game/timing.h"

#include <cstring>
#include <set>
#include <string>

#include "runtime/core/timing.h"

void TimingMilestone(const char* event) {
  if (!bb_timing_Setting()) return;
  static std::set<std::string> printed;
  if (printed.insert(event).second) bb_timing_Print(event);
}

bool TimingWantsFullscreen() {
  const char* setting = bb_timing_Setting();
  return setting && std::strcmp(setting, "fullscreen") == 0;
}
