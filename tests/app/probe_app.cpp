#include "probe_app.h"

#include "graphics/graphics.h"

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

int bbInit() {
  bb_app__game = BBGame::Game();
  gc_assign(bb_asyncevent__sources, (new c_StackOf<c_IAsyncEventSource*>)->m_new());
  gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  return 0;
}

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
