#include "runtime/app/x11_seam.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int LOST_DISPLAY_STATUS = 1;

// Xlib ends the process when this returns, so it never does. Nothing else
// runs on the way out: every exit handler would talk to the lost server.
int OnLostDisplay(Display* display) {
  std::printf("Lost the connection to the X display %s\n", display ? XDisplayString(display) : "");
  std::fflush(stdout);
  std::_Exit(LOST_DISPLAY_STATUS);
}

}  // namespace

void ExitOnLostDisplay() { XSetIOErrorHandler(OnLostDisplay); }
