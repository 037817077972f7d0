// A small application for the window-layer tests: it counts its updates
// and runs whatever the test hangs on them. The test program's
// bbInit/bbMain create it.
#pragma once

#include <functional>

#include "runtime/app/app.h"

class ProbeApp : public c_App {
 public:
  std::function<void()> onUpdate;
  int updates = 0;

  int p_OnCreate() override { return bb_app_SetUpdateRate(60); }
  int p_OnUpdate() override {
    ++updates;
    if (onUpdate) onUpdate();
    return 0;
  }
};

// Called by bbMain with the new, registered application; a test sets it
// before starting the program in a child process. When bbMain itself should
// do something else, set probe_main instead (it replaces bbMain's body).
extern std::function<void(ProbeApp*)> probe_setup;
extern std::function<void()> probe_main;

// The whole program, as the game's main runs it.
int RunProbeProgram();
