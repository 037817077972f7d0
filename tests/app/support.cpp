#include "support.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

pid_t xvfb_pid = 0;

// One connection per request: requests may come from a helper thread while
// the game blocks in its event wait.
template <class F>
void with_display(F request) {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return;
  request(dpy);
  XSync(dpy, False);
  XCloseDisplay(dpy);
}

}  // namespace

bool StartPrivateDisplay() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::string fd = std::to_string(fds[1]);
  xvfb_pid = fork();
  if (xvfb_pid == 0) {
    // The server goes with this program, however it ends, and keeps none of
    // its output streams (a test runner waits for those to close).
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, STDIN_FILENO);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    close(fds[0]);
    // It must not reset when its last client leaves: a reset refuses new
    // clients for a moment, and every test child is a new client.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The server writes its display number once it accepts connections.
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) return false;
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

void StopPrivateDisplay() {
  if (!xvfb_pid) return;
  kill(xvfb_pid, SIGTERM);
  waitpid(xvfb_pid, nullptr, 0);
  xvfb_pid = 0;
}

unsigned long FocusedWindow() {
  Window focus = 0;
  with_display([&](Display* dpy) {
    int revert;
    XGetInputFocus(dpy, &focus, &revert);
  });
  return focus;
}

void FocusWindow(unsigned long window) {
  with_display([&](Display* dpy) { XSetInputFocus(dpy, window, RevertToParent, CurrentTime); });
}

void FocusDesktop() {
  with_display([](Display* dpy) { XSetInputFocus(dpy, DefaultRootWindow(dpy), RevertToParent, CurrentTime); });
}

void SendCloseRequest(unsigned long window) {
  with_display([&](Display* dpy) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &event);
  });
}

WindowPlace PlaceOf(unsigned long window) {
  WindowPlace place;
  with_display([&](Display* dpy) {
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
