#include "tests/acceptance/player.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

extern char** environ;

namespace zephrine_test {

namespace {

// Games side by side are watched from threads of their own.
const bool x_threads = XInitThreads() != 0;

constexpr int DESIGN_WIDTH = 640, DESIGN_HEIGHT = 480;
constexpr double POLL_SECONDS = 0.1, START_SECONDS = 30;
// A press must span frames of the game even on a loaded machine, or it goes
// unseen as a real one would.
const std::string HOLD = " sleep 0.2 ", GAP = " sleep 0.1 ";

// Colours a player sees, 0xRRGGBB.
constexpr unsigned MENU_BLUE = 0x000050, LOADING_BLUE = 0x282850, WALL_PINK = 0xff8080, WHITE = 0xffffff;
constexpr unsigned RIDER_RED = 0xff1919;         // rider 1, whom the keyboard player rides
constexpr unsigned PAUSE_ORANGE = 0xb26910;      // pause box over the dimmed match
constexpr unsigned OPTIONS_BROWN = 0x7f3f08;     // options box over the menu or the match
constexpr unsigned GAME_OVER_YELLOW = 0x7f7f00;  // half-seen bar over the darkened match, blue aside

bool Near(unsigned a, unsigned b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)) > 12) return false;
  }
  return true;
}

// The game scales by the larger factor, so a wide window shows less height.
double Scale(int width, int height) { return std::max(double(width) / DESIGN_WIDTH, double(height) / DESIGN_HEIGHT); }

// Runs a shell command and returns its output. The child copies files and
// starts programs itself: a file another thread is writing would stay open
// in a child forked here, and a program copied so could not start.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    for (char buf[256]; std::fgets(buf, sizeof(buf), p);) out += buf;
    pclose(p);
  }
  return out;
}

// Starts a shell command in the background; its pid, which `exec` passes on.
int Spawn(const std::string& command) {
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  return posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0 ? pid : 0;
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
    if (!window || !XGetWindowAttributes(dpy, window, &a) || a.map_state != IsViewable) return;
    XImage* image = XGetImage(dpy, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return;
    shot.width = a.width;
    shot.height = a.height;
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) shot.pixels.push_back(unsigned(XGetPixel(image, x, y)) & 0xffffff);
    }
    XDestroyImage(image);
  });
  return shot;
}

}  // namespace

const std::string TWO_RIDERS = "Right Right Right Right Right Right Return";
const std::vector<Step> TO_MATCH = {
    {"", Screen::MENU}, {TWO_RIDERS, Screen::JOIN}, {"Return", Screen::MARKERS}, {"", Screen::PLAYING}};

bool Within(double seconds, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::duration<double>(POLL_SECONDS));
  }
}

unsigned Shot::At(int x, int y) const {
  const double k = Scale(width, height);
  const int px = int(x * k), py = int(y * k);
  return px < 0 || py < 0 || px >= width || py >= height ? 0 : pixels[std::size_t(py) * width + px];
}

bool Shot::Save(const std::string& path) const {
  std::vector<unsigned char> rgb;
  for (unsigned p : pixels) rgb.insert(rgb.end(), {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p});
  return !pixels.empty() && WritePng(path, width, height, 3, rgb.data());
}

bool Shows(const Shot& s, Screen screen) {
  const unsigned corner = s.At(2, 2), marker = s.At(33, 72);
  const bool arena = Near(corner, WALL_PINK), markers = Near(marker, RIDER_RED) || Near(marker, WHITE);
  switch (screen) {
    case Screen::LOADING:
      return corner == LOADING_BLUE;
    case Screen::MENU:
      return corner == MENU_BLUE && marker == MENU_BLUE;
    case Screen::JOIN:
      return corner == MENU_BLUE && Near(marker, RIDER_RED);
    case Screen::MARKERS:
      return arena && markers;
    case Screen::PLAYING:  // the countdown dims the start cell
      return arena && !markers && Near(s.At(64, 72), RIDER_RED);
    case Screen::PAUSED:
      return Near(s.At(200, 280), PAUSE_ORANGE);
    case Screen::OPTIONS:  // all slid in: keys act
      return Near(s.At(60, 10), OPTIONS_BROWN);
    case Screen::GAME_OVER:
      return Near(s.At(100, 216) & 0xffff00, GAME_OVER_YELLOW);
  }
  return false;
}

// Display numbers from 200 up, above those people start by hand; one whose
// lock file exists is taken. Servers start one at a time, so that two never
// claim the same number.
XServer::XServer() {
  static std::mutex one_at_a_time;
  std::lock_guard<std::mutex> lock(one_at_a_time);
  for (int n = 200; n < 300 && name_.empty(); ++n) {
    const std::string name = ":" + std::to_string(n);
    if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
    pid_ = Spawn("exec Xvfb " + name + " -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1");
    // Ready once it takes a connection; ended when the number was taken.
    bool ended = false, ready = false;
    Within(START_SECONDS, [&] {
      ended = waitpid(pid_, nullptr, WNOHANG) == pid_;
      Display* dpy = ended ? nullptr : XOpenDisplay(name.c_str());
      if (dpy) XCloseDisplay(dpy);
      return ended || (ready = dpy != nullptr);
    });
    if (ended) pid_ = 0;
    if (ready) name_ = name;
    else Stop();
  }
}

void XServer::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  pid_ = 0;
}

Player::Player(const std::string& display) : display_(display) {
  if (display_.empty() && std::getenv("DISPLAY")) display_ = std::getenv("DISPLAY");
  Shell("cp -rL " ZEPHRINE_GAME_DIR "/data " ZEPHRINE_GAME_DIR "/zephrine " + dir_.Path());
}

Player::~Player() {
  if (pid_ > 0 && Exit(0) == NOT_ENDED) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

int Player::StateField(int i) const {
  std::istringstream in(State());
  std::string field;
  for (int n = 0; n <= i; ++n) {
    if (!std::getline(in, field, '|')) return -1;
  }
  return std::atoi(field.c_str());
}

bool Player::Start(const std::vector<std::string>& env, bool unprivileged) {
  std::string command = "cd " + dir_.Path() + " && exec ";
  if (unprivileged && geteuid() == 0) command += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  command += "env DISPLAY=" + display_;
  for (const std::string& e : env) command += " '" + e + "'";
  pid_ = Spawn(command + " ./zephrine </dev/null >output.txt 2>&1");
  const bool shown = Within(START_SECONDS, [&] { return Window() != 0; });
  Focus(true);
  return shown;
}

bool Player::Play(const std::vector<Step>& steps) const {
  for (const Step& step : steps) {
    Keys(step.keys);
    if (!WaitFor(step.until)) return false;
  }
  return true;
}

std::string Player::Xdotool(const std::string& args) const {
  return Shell("DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null");
}

unsigned long Player::Window() const {
  return pid_ > 0 ? std::strtoul(Xdotool("search --onlyvisible --pid " + std::to_string(pid_)).c_str(), nullptr, 10) : 0;
}

Shot Player::Look() const {
  Shot shot = Grab(display_, window_);
  return shot.pixels.empty() ? Grab(display_, window_ = Window()) : shot;
}

bool Player::WaitFor(Screen screen, double seconds) const {
  return WaitFor([screen](const Shot& s) { return Shows(s, screen); }, seconds);
}

bool Player::WaitFor(const std::function<bool(const Shot&)>& seen, double seconds) const {
  Shot last;
  if (Within(seconds, [&] { return seen(last = Look()); })) return true;
  std::filesystem::create_directories(ZEPHRINE_GAME_DIR "/screenshots");
  last.Save(ZEPHRINE_GAME_DIR "/screenshots/acceptance-" + std::to_string(pid_) + ".png");
  return false;
}

void Player::Keys(const std::string& names) const {
  std::istringstream in(names);
  std::string args;
  for (std::string name; in >> name;) args += " keydown " + name + HOLD + "keyup " + name + GAP;
  if (!args.empty()) Xdotool(args);
}

void Player::Hold(const std::string& name) const { Xdotool("keydown " + name); }
void Player::Release(const std::string& name) const { Xdotool("keyup " + name); }

void Player::Click(int x, int y) const {
  const Shot shot = Look();
  const double k = Scale(shot.width, shot.height);
  Xdotool("mousemove --window " + std::to_string(Window()) + " " + std::to_string(int(x * k)) + " " +
          std::to_string(int(y * k)) + " mousedown 1" + HOLD + "mouseup 1");
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
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    XSendEvent(dpy, window, False, NoEventMask, &event);
  });
}

void Player::Resize(int width, int height) const {
  Xdotool("windowsize " + std::to_string(Window()) + " " + std::to_string(width) + " " + std::to_string(height));
}

int Player::Exit(double seconds) {
  int status = 0;
  if (pid_ <= 0 || !Within(seconds, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return NOT_ENDED;
  pid_ = 0;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void SideBySide(int n, const std::function<void(Player&, int)>& play) {
  std::vector<std::thread> games;
  for (int i = 0; i < n; ++i) {
    games.emplace_back([&play, i] {
      XServer x;
      Player p(x.Name());
      play(p, i);
    });
  }
  for (std::thread& g : games) g.join();
}

}  // namespace zephrine_test
