#include "probe_app.h"

std::function<void(ProbeApp*)> probe_setup;
std::function<void()> probe_main;

namespace {

int ProbeInit() { return bb_app_InitRuntimeGlobals(); }

int ProbeMain() {
  if (probe_main) {
    probe_main();
    return 0;
  }
  ProbeApp* app = new ProbeApp;
  app->m_new();
  if (probe_setup) probe_setup(app);
  return 0;
}

}  // namespace

int RunProbeProgram() {
  const char* args[] = {"probe", nullptr};
  return BBTarvexGame::Main(1, args, {ProbeInit, ProbeMain});
}
