// The runtime game object on GLFW 3: program entry, window, main loop,
// window events and joystick polling. The only file that calls GLFW.
#include <GLFW/glfw3.h>
#include <spawn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "audio/audio.h"
#include "audio/decode.h"
#include "graphics/decode.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "runtime/app/app.h"
#include "runtime/app/joypad.h"
#include "runtime/app/x11_seam.h"

static_assert(JOY_HAT_UP == GLFW_HAT_UP && JOY_HAT_RIGHT == GLFW_HAT_RIGHT && JOY_HAT_DOWN == GLFW_HAT_DOWN &&
              JOY_HAT_LEFT == GLFW_HAT_LEFT);
static_assert(PAD_BUTTON_COUNT == GLFW_GAMEPAD_BUTTON_LAST + 1 && PAD_AXIS_COUNT == GLFW_GAMEPAD_AXIS_LAST + 1);
static_assert(PAD_GUIDE == GLFW_GAMEPAD_BUTTON_GUIDE && PAD_DPAD_LEFT == GLFW_GAMEPAD_BUTTON_DPAD_LEFT &&
              PAD_RIGHT_TRIGGER == GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER);

extern char** environ;

BBGlfwGame* BBGlfwGame::_glfwGame = nullptr;

namespace {

constexpr int MOUSE_BUTTONS = 3;
constexpr int REFRESH_RATE = 60;
const char* const kWindowTitle = "Zephrine";

void KeyCallback(GLFWwindow*, int key, int, int action, int) { BBGlfwGame::GlfwGame()->OnKey(key, action); }
void CharCallback(GLFWwindow*, unsigned int chr) { BBGlfwGame::GlfwGame()->OnChar(chr); }
void MouseButtonCallback(GLFWwindow*, int button, int action, int) {
  BBGlfwGame::GlfwGame()->OnMouseButton(button, action);
}
void CursorCallback(GLFWwindow*, double x, double y) { BBGlfwGame::GlfwGame()->OnMousePos(x, y); }
void CloseCallback(GLFWwindow*) { BBGlfwGame::GlfwGame()->OnWindowClose(); }
void FocusCallback(GLFWwindow*, int focused) { BBGlfwGame::GlfwGame()->OnFocus(focused == GLFW_TRUE); }
void JoystickCallback(int jid, int event) { BBGlfwGame::GlfwGame()->OnJoystick(jid, event); }
void IconifyCallback(GLFWwindow*, int iconified) {
  if (iconified) BBGlfwGame::GlfwGame()->OnFocus(false);
}

// One poll of a pad in the library's terms.
JoyRaw ReadJoystick(int jid) {
  JoyRaw raw;
  raw.present = true;
  int count = 0;
  const float* axes = glfwGetJoystickAxes(jid, &count);
  raw.axisCount = axes ? std::min(count, JOY_RAW_AXES) : 0;
  std::copy(axes, axes + raw.axisCount, raw.axes);
  const unsigned char* buttons = glfwGetJoystickButtons(jid, &count);
  raw.buttonCount = buttons ? std::min(count, JOY_RAW_BUTTONS) : 0;
  for (int i = 0; i < raw.buttonCount; ++i) raw.buttons[i] = buttons[i] == GLFW_PRESS;
  const unsigned char* hats = glfwGetJoystickHats(jid, &count);
  raw.hatCount = hats ? std::min(count, JOY_RAW_HATS) : 0;
  std::copy(hats, hats + raw.hatCount, raw.hats);
  GLFWgamepadstate pad;
  if (glfwJoystickIsGamepad(jid) && glfwGetGamepadState(jid, &pad)) {
    raw.isGamepad = true;
    std::copy(pad.axes, pad.axes + PAD_AXIS_COUNT, raw.padAxes);
    for (int i = 0; i < PAD_BUTTON_COUNT; ++i) raw.padButtons[i] = pad.buttons[i] == GLFW_PRESS;
  }
  return raw;
}

// Top-left corner of a width x height window centred on the desktop; the
// origin when there is no monitor to ask.
void CentredOrigin(int width, int height, int* x, int* y) {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* desktop = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (!desktop) return;
  *x = (desktop->width - width) / 2;
  *y = (desktop->height - height) / 2;
}

}  // namespace

BBGlfwGame::BBGlfwGame() : _updatePeriod(0.0), _nextUpdate(0.0), _swapInterval(-1) {
  _game = this;
  _glfwGame = this;
}

BBGlfwGame::~BBGlfwGame() {
  if (_window) glfwDestroyWindow(_window);
  if (_glfwGame == this) _glfwGame = nullptr;
}

int BBTarvexGame::Main(int argc, const char** argv, const ProgramSeams& seams) {
  // Hats are read on their own; as extra buttons they would shift the
  // button numbers of every pad that has one.
  glfwInitHint(GLFW_JOYSTICK_HAT_BUTTONS, GLFW_FALSE);
  if (!glfwInit()) {
    std::fputs("glfwInit failed\n", stdout);
    std::fflush(stdout);
    std::exit(-1);
  }
  ExitOnLostDisplay();
  BBTarvexGame* game = new BBTarvexGame();
  try {
    bb_std_main(argc, argv, seams);
  } catch (ThrowableObject* ex) {
    glfwTerminate();
    game->Die(ex);
  }
  if (game->Delegate()) game->Run();
  delete game;
  glfwTerminate();
  return 0;
}

void BBGlfwGame::SetUpdateRate(int rate) {
  BBGame::SetUpdateRate(rate);
  if (rate) _updatePeriod = 1.0 / rate;
  _nextUpdate = 0.0;
}

int BBGlfwGame::Millisecs() { return int(glfwGetTime() * 1000.0); }

double BBGlfwGame::Now() { return glfwGetTime(); }

void BBGlfwGame::Wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

bool BBGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                              Array<bool> buttons) {
  int jid = GLFW_JOYSTICK_1 + port;
  if (port < 0 || jid > GLFW_JOYSTICK_LAST || !glfwJoystickPresent(jid)) return false;
  JoyMapped mapped = MapJoystick(ReadJoystick(jid));
  for (int i = 0; i < 2; ++i) {
    joyx[i] = mapped.joyX[i];
    joyy[i] = mapped.joyY[i];
    joyz[i] = mapped.joyZ[i];
  }
  for (int i = 0; i < JOY_OUT_BUTTONS && i < buttons.Length(); ++i) buttons[i] = mapped.buttons[i];
  return true;
}

// Hands the address to the desktop's opener; the game goes on at once.
void BBGlfwGame::OpenUrl(const String& url) {
  std::string text = url.ToUtf8();
  char opener[] = "xdg-open";
  char* args[] = {opener, text.data(), nullptr};
  pid_t pid;
  posix_spawnp(&pid, opener, nullptr, nullptr, args, environ);
}

void BBGlfwGame::SetMouseVisible(bool visible) {
  if (_window) glfwSetInputMode(_window, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
}

int BBGlfwGame::GetDeviceWidth() {
  int width = 0, height = 0;
  if (_window) glfwGetFramebufferSize(_window, &width, &height);
  return width;
}

int BBGlfwGame::GetDeviceHeight() {
  int width = 0, height = 0;
  if (_window) glfwGetFramebufferSize(_window, &width, &height);
  return height;
}

void BBGlfwGame::SetDeviceWindow(int width, int height, int flags) {
  SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, (flags & 1) != 0);
}

Array<BBDisplayMode*> BBGlfwGame::GetDisplayModes() {
  Array<BBGlfwVideoMode*> modes = GetGlfwVideoModes();
  Array<BBDisplayMode*> out(modes.Length());
  for (int i = 0; i < modes.Length(); ++i) gc_assign(out[i], new BBDisplayMode(modes[i]->width, modes[i]->height));
  return out;
}

BBDisplayMode* BBGlfwGame::GetDesktopMode() {
  BBGlfwVideoMode* mode = GetGlfwDesktopMode();
  return mode ? new BBDisplayMode(mode->width, mode->height) : nullptr;
}

void BBGlfwGame::SetSwapInterval(int interval) {
  _swapInterval = interval;
  if (interval >= 0 && _window) glfwSwapInterval(interval);
}

String BBGlfwGame::PathToFilePath(const String& path) { return bb_data_MapVirtualPath(path); }

unsigned char* BBGlfwGame::LoadImageData(const String& path, int* width, int* height, int* depth) {
  return gxtkDecodeImageFile(this, path, width, height, depth);
}

unsigned char* BBGlfwGame::LoadAudioData(const String& path, int* length, int* channels, int* format, int* hertz) {
  return gxtkDecodeAudioFile(this, path, length, channels, format, hertz);
}

BBGlfwVideoMode* BBGlfwGame::GetGlfwDesktopMode() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (!mode) return nullptr;
  return new BBGlfwVideoMode(mode->width, mode->height, mode->redBits, mode->greenBits, mode->blueBits);
}

Array<BBGlfwVideoMode*> BBGlfwGame::GetGlfwVideoModes() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  int count = 0;
  const GLFWvidmode* modes = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
  if (!modes) count = 0;
  Array<BBGlfwVideoMode*> out(std::min(count, APP_MAX_VIDEO_MODES));
  for (int i = 0; i < out.Length(); ++i) {
    const GLFWvidmode& m = modes[i];
    gc_assign(out[i], new BBGlfwVideoMode(m.width, m.height, m.redBits, m.greenBits, m.blueBits));
  }
  return out;
}

void BBGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                               int stencil, bool fullscreen) {
  if (_window) {
    ChangeWindowMode(width, height, fullscreen);
    return;
  }
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_REFRESH_RATE, REFRESH_RATE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
  glfwWindowHint(GLFW_RED_BITS, red);
  glfwWindowHint(GLFW_GREEN_BITS, green);
  glfwWindowHint(GLFW_BLUE_BITS, blue);
  glfwWindowHint(GLFW_ALPHA_BITS, alpha);
  glfwWindowHint(GLFW_DEPTH_BITS, depth);
  glfwWindowHint(GLFW_STENCIL_BITS, stencil);
  // A window is placed before it is shown, so it never flashes elsewhere.
  glfwWindowHint(GLFW_VISIBLE, fullscreen ? GLFW_TRUE : GLFW_FALSE);
  _window = glfwCreateWindow(width, height, kWindowTitle, fullscreen ? monitor : nullptr, nullptr);
  if (!_window) return;
  glfwMakeContextCurrent(_window);
  ++glfwGraphicsSeq;
  if (!fullscreen) {
    int x = 0, y = 0;
    CentredOrigin(width, height, &x, &y);
    glfwSetWindowPos(_window, x, y);
    glfwShowWindow(_window);
  }
  if (_swapInterval >= 0) glfwSwapInterval(_swapInterval);
  // A new window is asked for the focus; its focus events correct this.
  _focused = true;

  glfwSetKeyCallback(_window, KeyCallback);
  glfwSetCharCallback(_window, CharCallback);
  glfwSetMouseButtonCallback(_window, MouseButtonCallback);
  glfwSetCursorPosCallback(_window, CursorCallback);
  glfwSetWindowCloseCallback(_window, CloseCallback);
  glfwSetWindowFocusCallback(_window, FocusCallback);
  glfwSetWindowIconifyCallback(_window, IconifyCallback);
  glfwSetJoystickCallback(JoystickCallback);
}

// The window, its OpenGL context and the textures in it stay: only the
// size and the monitor change. Keys held now stay held for the game; the
// window goes on seeing them, so their release arrives as usual.
void BBGlfwGame::ChangeWindowMode(int width, int height, bool fullscreen) {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  if (fullscreen && monitor) {
    glfwSetWindowMonitor(_window, monitor, 0, 0, width, height, REFRESH_RATE);
    return;
  }
  int x = 0, y = 0;
  CentredOrigin(width, height, &x, &y);
  glfwSetWindowMonitor(_window, nullptr, x, y, width, height, GLFW_DONT_CARE);
}

void BBGlfwGame::CursorPixels(double x, double y, float* px, float* py) {
  int winW = 0, winH = 0, fbW = 0, fbH = 0;
  glfwGetWindowSize(_window, &winW, &winH);
  glfwGetFramebufferSize(_window, &fbW, &fbH);
  *px = float(winW > 0 ? x * fbW / winW : x);
  *py = float(winH > 0 ? y * fbH / winH : y);
}

void BBGlfwGame::OnKey(int glfwKey, int action) {
  int code = TransKey(glfwKey);
  if (!code) return;
  if (action == GLFW_RELEASE) {
    KeyEvent(BBGAME_KEYUP, code);
    return;
  }
  // A held key repeats only its character.
  if (action == GLFW_PRESS) KeyEvent(BBGAME_KEYDOWN, code);
  int chr = KeyToChar(code);
  if (chr) KeyEvent(BBGAME_KEYCHAR, chr);
}

void BBGlfwGame::OnChar(unsigned int chr) { KeyEvent(BBGAME_KEYCHAR, int(chr)); }

void BBGlfwGame::OnMouseButton(int button, int action) {
  if (button < 0 || button >= MOUSE_BUTTONS) return;
  double x = 0, y = 0;
  glfwGetCursorPos(_window, &x, &y);
  float px, py;
  CursorPixels(x, y, &px, &py);
  MouseEvent(action == GLFW_RELEASE ? BBGAME_MOUSEUP : BBGAME_MOUSEDOWN, button, px, py);
}

void BBGlfwGame::OnMousePos(double x, double y) {
  float px, py;
  CursorPixels(x, y, &px, &py);
  MouseEvent(BBGAME_MOUSEMOVE, -1, px, py);
}

// The close box is a key: the game decides what closing means.
void BBGlfwGame::OnWindowClose() {
  KeyEvent(BBGAME_KEYDOWN, KEY_CLOSE);
  KeyEvent(BBGAME_KEYUP, KEY_CLOSE);
  glfwSetWindowShouldClose(_window, GLFW_FALSE);
}

void BBGlfwGame::OnFocus(bool focused) { _focused = focused; }

void BBGlfwGame::OnJoystick(int jid, int event) {
  const int port = jid - GLFW_JOYSTICK_1;
  if (port < 0 || port >= INPUT_JOYSTICKS) return;
  if (event == GLFW_CONNECTED) JoystickEvent(BBGAME_JOYPLUGGED, port);
  if (event == GLFW_DISCONNECTED) JoystickEvent(BBGAME_JOYUNPLUGGED, port);
}

void BBGlfwGame::UpdateEvents() {
  if (_suspended) {
    glfwWaitEvents();
  } else {
    glfwPollEvents();
  }
}

void BBGlfwGame::FollowFocus() {
  if (_focused) {
    if (!_suspended) return;
    ResumeGame();
    _nextUpdate = 0.0;
  } else if (!_suspended) {
    SuspendGame();
    _nextUpdate = 0.0;
  }
}

// Up to four updates catch up with the clock. A larger backlog is dropped
// and the timing restarts from now, so a machine that draws slower than 15
// frames a second runs four updates in every frame, not four and one in turn.
void BBGlfwGame::RunDueUpdates() {
  if (_updateRate == 0) {
    UpdateGame();
    return;
  }
  if (_nextUpdate == 0.0) _nextUpdate = Now();
  for (int i = 0; i < APP_MAX_UPDATES_PER_FRAME; ++i) {
    UpdateGame();
    // The update changed the rate: the timing restarts at the next pass.
    if (_nextUpdate == 0.0) return;
    _nextUpdate += _updatePeriod;
    if (Now() < _nextUpdate) return;
  }
  _nextUpdate = Now();
}

void BBGlfwGame::Step() {
  if (_nextUpdate != 0.0) {
    double wait = _nextUpdate - Now();
    if (wait > 0) Wait(wait);
  }
  UpdateEvents();
  FollowFocus();
  if (_suspended) return;
  RunDueUpdates();
}

void BBGlfwGame::Run() {
  SetGlfwWindow(APP_WINDOW_WIDTH, APP_WINDOW_HEIGHT, 8, 8, 8, 0, 0, 0, false);
  StartGame();
  while (_window && !glfwWindowShouldClose(_window)) {
    RenderGame();
    glfwSwapBuffers(_window);
    Step();
  }
}
