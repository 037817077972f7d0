#include "support.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <vector>

extern char** environ;

namespace {

// One connection per request, beside the one the game under test holds.
template <class F>
void with_display(F request) {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return;
  request(dpy);
  XSync(dpy, False);
  XCloseDisplay(dpy);
}

}  // namespace

unsigned long FocusedWindow() {
  Window focus = 0;
  with_display([&](Display* dpy) {
    int revert;
    XGetInputFocus(dpy, &focus, &revert);
  });
  return focus;
}

WindowPlace PlaceOf(unsigned long window) {
  WindowPlace place;
  with_display([&](Display* dpy) {
    if (!window) window = DefaultRootWindow(dpy);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes)) return;
    Window child;
    XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &place.x, &place.y, &child);
    place.width = attributes.width;
    place.height = attributes.height;
    char* name = nullptr;
    if (XFetchName(dpy, window, &name) && name) {
      place.title = name;
      XFree(name);
    }
  });
  return place;
}

void Xdotool(const std::string& args) {
  std::vector<std::string> words{"xdotool"};
  std::istringstream in(args);
  for (std::string w; in >> w;) words.push_back(w);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return;
  waitpid(pid, nullptr, 0);
}
