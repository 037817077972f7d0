// A small application for the window-layer tests: it counts its hooks and
// runs whatever the test hangs on them. The test program's bbInit/bbMain
// create it.
#pragma once

#include <functional>

#include "runtime/app/app.h"

class ProbeApp : public c_App {
 public:
  std::function<void()> onCreate, onUpdate, onRender, onSuspend, onResume;
  int updates = 0;
  int renders = 0;
  int suspends = 0;
  int resumes = 0;

  int p_OnCreate() override;
  int p_OnUpdate() override;
  int p_OnRender() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
};

// Called by bbMain with the new, registered application; a test sets it
// before starting the program in a child process. When bbMain itself should
// fail, set probe_main instead (it replaces bbMain's body).
extern std::function<void(ProbeApp*)> probe_setup;
extern std::function<void()> probe_main;

// The whole program, as the game's main runs it.
int RunProbeProgram();
