#include "tests/acceptance/player.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <sstream>
#include <thread>

extern char** environ;

namespace zephrine_test {

namespace {

// Games side by side are watched from threads of their own.
const bool x_threads = XInitThreads() != 0;

constexpr double POLL_SECONDS = 0.1, START_SECONDS = 30;
// A press must span frames of the game even on a loaded machine, or it goes
// unseen as a real one would.
const std::string HOLD = " sleep 0.2 ", GAP = " sleep 0.1 ";

// Colours a player sees, 0xRRGGBB: backgrounds, rider 1 (the keyboard
// player's), the pause box over the dimmed match, the options box, and the
// game-over bar over the darkened match (blue aside).
constexpr unsigned MENU_BLUE = 0x000050, LOADING_BLUE = 0x282850, WALL_PINK = 0xff8080, WHITE = 0xffffff;
constexpr unsigned RIDER_RED = 0xff1919, PAUSE_ORANGE = 0xb26910, OPTIONS_BROWN = 0x7f3f08, GAME_OVER_BAR = 0x7f7f00;

bool Near(unsigned a, unsigned b) { return zephrine_test::Near(a, b, 12); }

// Starts a shell command in the background; its pid, which `exec` passes on.
// Programs started so end with the thread that started them (setpriv's
// parent-death signal), so a test killed midway leaves no game or server.
int Spawn(const std::string& command) {
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  return posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0 ? pid : 0;
}

// Ends the child `pid` with `signal` and waits for it; `pid` becomes 0.
void End(int& pid, int signal) {
  if (pid > 0 && kill(pid, signal) == 0) waitpid(pid, nullptr, 0);
  pid = 0;
}

// A window gone between its search and a request is no failure of the test.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

template <class F>
void OnDisplay(const std::string& name, F request) {
  if (Display* dpy = XOpenDisplay(name.c_str())) {
    XSetErrorHandler(IgnoreXErrors);
    request(dpy);
    XSync(dpy, False);
    XCloseDisplay(dpy);
  }
}

Shot Grab(const std::string& display, unsigned long window) {
  Shot shot;
  OnDisplay(display, [&](Display* dpy) {
    XWindowAttributes a;
    XImage* image = window && XGetWindowAttributes(dpy, window, &a) && a.map_state == IsViewable
                        ? XGetImage(dpy, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap)
                        : nullptr;
    if (!image) return;
    shot = {a.width, a.height, {}};
    for (int i = 0; i < a.width * a.height; ++i) shot.pixels.push_back(XGetPixel(image, i % a.width, i / a.width));
    XDestroyImage(image);
  });
  return shot;
}

// An Xvfb server on the first free display number from 200 up (above those
// people start by hand; a lock file marks one taken), started one at a time
// so that no two claim the same. Its pid; `name` becomes ":N".
int StartServer(std::string& name) {
  static std::mutex one_at_a_time;
  std::lock_guard<std::mutex> lock(one_at_a_time);
  for (int n = 200; n < 300; ++n) {
    if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
    name = ":" + std::to_string(n);
    int pid = Spawn("exec setpriv --pdeathsig TERM Xvfb " + name +
                    " -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1");
    // Ready once it takes a connection; ended at once if the number was taken.
    bool ready = false, ended = false;
    Within(START_SECONDS, [&] {
      ended = waitpid(pid, nullptr, WNOHANG) != 0;
      Display* dpy = ended ? nullptr : XOpenDisplay(name.c_str());
      if (dpy) XCloseDisplay(dpy);
      return ended || (ready = dpy != nullptr);
    });
    if (ready) return pid;
    if (!ended) End(pid, SIGTERM);
  }
  return 0;
}

}  // namespace

// Files are copied by such children: one this process wrote could stay open
// in a child another thread forks meanwhile, and a program copied so would
// not start.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    for (char buf[256]; std::fgets(buf, sizeof(buf), p);) out += buf;
    pclose(p);
  }
  return out;
}

const std::string TWO_RIDERS = "Right Right Right Right Right Right Return";
const std::vector<Step> TO_MATCH = {
    {"", Screen::MENU}, {TWO_RIDERS, Screen::JOIN}, {"Return", Screen::MARKERS}, {"", Screen::PLAYING}};

int TrailEnd(const Shot& s) {
  int end = 0;
  for (int x = 64; x < 640; ++x) {
    const int c = int(s.At(x, 73)), r = c >> 16, g = (c >> 8) & 0xff, b = c & 0xff;
    end = r > 60 && r > 3 * g && r > 3 * b ? x : end;
  }
  return end;
}

bool Within(double seconds, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::duration<double>(POLL_SECONDS));
  }
  return true;
}

unsigned Shot::At(int x, int y) const {
  // The game scales by the larger factor, so a wide window shows less height.
  const double k = std::max(width / 640.0, height / 480.0);
  const int px = int(x * k), py = int(y * k);
  return px < 0 || py < 0 || px >= width || py >= height ? 0 : pixels[std::size_t(py) * width + px] & 0xffffff;
}

bool Shows(const Shot& s, Screen screen) {
  const unsigned corner = s.At(2, 2), marker = s.At(33, 72);
  // Rider 1's start marker at full size: its left and top edges both show,
  // so a white star drifting over one of them is not taken for it.
  const auto edge = [](unsigned c) { return Near(c, RIDER_RED) || Near(c, WHITE); };
  const bool arena = Near(corner, WALL_PINK), markers = edge(marker) && edge(s.At(64, 41));
  // In the order of Screen. The countdown dims the start cell that the
  // trail lights in play; the options box counts once all slid in, when
  // its keys act.
  const bool shows[] = {corner == LOADING_BLUE,
                        corner == MENU_BLUE && marker == MENU_BLUE,
                        corner == MENU_BLUE && Near(marker, RIDER_RED),
                        arena && markers,
                        arena && !markers && Near(s.At(64, 72), RIDER_RED),
                        Near(s.At(200, 280), PAUSE_ORANGE),
                        Near(s.At(60, 10), OPTIONS_BROWN),
                        Near(s.At(100, 216) & 0xffff00, GAME_OVER_BAR)};
  return shows[int(screen)];
}

Player::Player() : server_(StartServer(display_)) {
  Shell("cp -rL " ZEPHRINE_GAME_DIR "/data " ZEPHRINE_GAME_DIR "/zephrine " + dir_.Path());
}

Player::~Player() {
  End(pid_, SIGKILL);
  StopServer();
}

void Player::StopServer() { End(server_, SIGTERM); }

bool Player::Start(const std::vector<std::string>& env, bool unprivileged, const std::string& program, const std::string& arguments) {
  std::string command = "cd " + dir_.Path() + " && exec setpriv --pdeathsig KILL ";
  if (unprivileged && geteuid() == 0) command += "--reuid=65534 --regid=65534 --clear-groups ";
  command += "env DISPLAY=" + display_;
  for (const std::string& e : env) command += " '" + e + "'";
  pid_ = Spawn(command + " '" + program + "' " + arguments + " </dev/null >output.txt 2>&1");
  return Within(START_SECONDS, [&] { return Window() != 0; });
}

bool Player::Play(const std::vector<Step>& steps) const {
  return std::all_of(steps.begin(), steps.end(), [&](const Step& step) {
    Keys(step.keys);
    return WaitFor([&](const Shot& s) { return Shows(s, step.until); });
  });
}

std::string Player::Xdotool(const std::string& args) const {
  return Shell("DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null");
}

unsigned long Player::Window() const {
  return pid_ > 0 ? std::atol(Xdotool("search --onlyvisible --pid " + std::to_string(pid_)).c_str()) : 0;
}

Shot Player::Look() const {
  Shot shot = Grab(display_, window_);
  return shot.pixels.empty() ? Grab(display_, window_ = Window()) : shot;
}

bool Player::WaitFor(const std::function<bool(const Shot&)>& seen, double seconds) const {
  return Within(seconds, [&] { return seen(Look()); });
}

void Player::Keys(const std::string& names) const {
  std::istringstream in(names);
  std::string args;
  for (std::string k; in >> k;) {
    const std::string key = k.substr(k[0] == '+' || k[0] == '-'), down = " keydown " + key, up = " keyup " + key;
    args += (k[0] == '+' ? down : k[0] == '-' ? up : down + HOLD + up) + GAP;
  }
  if (!args.empty()) Xdotool(args);
}

void Player::Click(int x, int y) const {
  Xdotool("mousemove --window " + std::to_string(Window()) + " " + std::to_string(x) + " " + std::to_string(y) +
          " mousedown 1" + HOLD + "mouseup 1");
}

void Player::Focus(bool on) const {
  const unsigned long window = on ? Window() : 0;
  OnDisplay(display_, [&](Display* dpy) {
    XSetInputFocus(dpy, window ? window : DefaultRootWindow(dpy), RevertToParent, CurrentTime);
  });
}

// What a window manager sends when the close box is clicked.
void Player::CloseBox() const {
  const unsigned long window = Window();
  OnDisplay(display_, [&](Display* dpy) {
    XClientMessageEvent e{ClientMessage, 0, False, dpy, window, XInternAtom(dpy, "WM_PROTOCOLS", False), 32, {}};
    e.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    XSendEvent(dpy, window, False, NoEventMask, reinterpret_cast<XEvent*>(&e));
  });
}

void Player::Resize(int width, int height) const {
  Xdotool("windowsize " + std::to_string(Window()) + " " + std::to_string(width) + " " + std::to_string(height));
}

long long Player::BytesRead() const {
  std::istringstream io(ReadFile("/proc/" + std::to_string(pid_) + "/io"));
  for (std::string name; pid_ > 0 && io >> name;) {
    long long count = 0;
    if (io >> count && name == "rchar:") return count;
  }
  return -1;
}

int Player::Exit(double seconds) {
  int status = 0;
  if (pid_ <= 0 || !Within(seconds, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1000;
  pid_ = 0;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void SideBySide(int n, const std::function<void(Player&, int)>& play) {
  std::vector<std::thread> games;
  for (int i = 0; i < n; ++i) games.emplace_back([&play, i] { Player p; play(p, i); });
  for (std::thread& g : games) g.join();
}

}  // namespace zephrine_test
