#include "probe_app.h"

std::function<void(ProbeApp*)> probe_setup;
std::function<void()> probe_main;

namespace {

void run(const std::function<void()>& hook) {
  if (hook) hook();
}

}  // namespace

int ProbeApp::p_OnCreate() {
  bb_app_SetUpdateRate(60);
  run(onCreate);
  return 0;
}

int ProbeApp::p_OnUpdate() {
  ++updates;
  run(onUpdate);
  return 0;
}

int ProbeApp::p_OnRender() {
  ++renders;
  run(onRender);
  return 0;
}

int ProbeApp::p_OnSuspend() {
  ++suspends;
  run(onSuspend);
  return 0;
}

int ProbeApp::p_OnResume() {
  ++resumes;
  run(onResume);
  return 0;
}

int bbInit() { return bb_app_InitRuntimeGlobals(); }

int bbMain() {
  if (probe_main) {
    probe_main();
    return 0;
  }
  ProbeApp* app = new ProbeApp;
  app->m_new();
  if (probe_setup) probe_setup(app);
  return 0;
}

int RunProbeProgram() {
  const char* args[] = {"probe", nullptr};
  return BBTarvexGame::Main(1, args);
}
