// The application runtime: program entry, the window and its fixed-rate
// loop, the delegate that turns runtime events into the application's hooks
// and into input state, and the display modes.
//
// A program hands the runtime its two seams at start (ProgramSeams);
// everything else here is the runtime's. Only this layer talks to the
// windowing library.
#pragma once

#include "runtime/core/core.h"

class gxtkGraphics;
class gxtkAudio;
class c_InputDevice;
struct GLFWwindow;

// The program seams: `init` sets every global of the program to its start
// value (calling bb_app_InitRuntimeGlobals first); `main` creates and
// registers the one c_App. The game's are bbInit and bbMain (game/app.h).
struct ProgramSeams {
  int (*init)();
  int (*main)();
};
// Sets the runtime's own globals (application, graphics, audio, input and
// async-event modules) to their start values; every bbInit calls it first.
int bb_app_InitRuntimeGlobals();

// The process arguments, kept for the runtime; the game reads none.
extern int argc;
extern const char** argv;

// Capacity constants of the window layer.
constexpr int APP_WINDOW_WIDTH = 640;
constexpr int APP_WINDOW_HEIGHT = 480;
constexpr int APP_MAX_UPDATES_PER_FRAME = 4;
constexpr int APP_MAX_VIDEO_MODES = 1024;

// A video mode as the windowing library reports it.
class BBGlfwVideoMode : public Object {
 public:
  BBGlfwVideoMode(int width, int height, int red, int green, int blue)
      : width(width), height(height), red(red), green(green), blue(blue) {}
  int width, height, red, green, blue;
};

// The game object bound to GLFW 3: window, timer, events and joysticks.
class BBGlfwGame : public BBGame {
 public:
  BBGlfwGame();
  ~BBGlfwGame() override;

  // The one GLFW game object; null before it is created.
  static BBGlfwGame* GlfwGame() { return _glfwGame; }

  // Sets the rate (updates per second; 0 = one update per drawn frame) and
  // restarts the timing.
  void SetUpdateRate(int rate) override;
  // The library clock in milliseconds.
  int Millisecs() override;
  // Reads joystick `port` (0-3) into the four arrays (2, 2, 2, 32 entries).
  // False, with the arrays untouched, when no pad is plugged into the port.
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  void OpenUrl(const String& url) override;
  void SetMouseVisible(bool visible) override;
  // The framebuffer size in pixels; 0 without a window.
  int GetDeviceWidth() override;
  int GetDeviceHeight() override;
  // Bit 0 of flags: full screen.
  void SetDeviceWindow(int width, int height, int flags) override;
  Array<BBDisplayMode*> GetDisplayModes() override;
  // Null when the library has no monitor to ask.
  BBDisplayMode* GetDesktopMode() override;
  // Negative leaves the driver's setting alone.
  void SetSwapInterval(int interval) override;
  // While on, losing the focus does not suspend the game: other machines
  // of an online session wait for this one's updates.
  void SetRunsUnfocused(bool on) { _runsUnfocused = on; }
  String PathToFilePath(const String& path) override;
  unsigned char* LoadImageData(const String& path, int* width, int* height, int* depth) override;
  unsigned char* LoadAudioData(const String& path, int* length, int* channels, int* format,
                               int* hertz) override;

  // Opens the window (centred and titled when windowed) and raises
  // glfwGraphicsSeq; once it is open, later calls change its size and move
  // it to or from the monitor, keeping its OpenGL context and the keys held
  // on it.
  virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                             int stencil, bool fullscreen);
  // Null when the library has no monitor to ask.
  virtual BBGlfwVideoMode* GetGlfwDesktopMode();
  virtual Array<BBGlfwVideoMode*> GetGlfwVideoModes();
  // The main loop; returns when the window is no longer open.
  virtual void Run();

  // GLFW 3 key number -> runtime key code, 0 for keys the game never sees.
  static int TransKey(int glfwKey);
  // Runtime key code -> the character an editing key types, 0 for none.
  static int KeyToChar(int key);

  // Window events, already in GLFW 3's terms (window coordinates for the
  // cursor). The window's callbacks call these.
  void OnKey(int glfwKey, int action);
  void OnChar(unsigned int chr);
  void OnMouseButton(int button, int action);
  void OnMousePos(double x, double y);
  void OnWindowClose();
  // Focus gained or lost; an iconified window counts as unfocused.
  void OnFocus(bool focused);
  // A joystick connected or disconnected (GLFW's joystick id and event);
  // ports beyond the runtime's four are not reported.
  void OnJoystick(int jid, int event);

 protected:
  static BBGlfwGame* _glfwGame;

  double _updatePeriod;  // seconds between updates
  double _nextUpdate;    // library time the next update is due; 0 = restart timing
  int _swapInterval;
  GLFWwindow* _window = nullptr;
  bool _focused = false;  // as last reported by the window's focus events
  bool _runsUnfocused = false;

  // The loop's clock in seconds and its sleep: the library's timer. A test
  // game object replaces both to run the loop on a clock it moves itself.
  virtual double Now();
  virtual void Wait(double seconds);
  // Waits for events while suspended, else polls them.
  void UpdateEvents();
  // One loop pass after rendering: events, focus, due updates.
  void Step();
  void FollowFocus();
  void RunDueUpdates();
  // Resizes the open window and moves it to or from the primary monitor
  // (a windowed window is centred on the desktop).
  void ChangeWindowMode(int width, int height, bool fullscreen);
  // Cursor position in framebuffer pixels.
  void CursorPixels(double x, double y, float* px, float* py);
};

class BBTarvexGame : public BBGlfwGame {
 public:
  // The whole program: start-up, main loop, shut-down. Returns 0; the other
  // ways out end the process with their own status.
  static int Main(int argc, const char** argv, const ProgramSeams& seams);
};

// The runtime's start routine: arguments, crash handlers, locale,
// collector, the program's init seam, its main seam. Returns 0.
int bb_std_main(int argc, const char** argv, const ProgramSeams& seams);

// The base of the game application. Hooks return 0.
class c_App : public Object {
 public:
  // Registers this object as the application and creates the delegate.
  // A second registration is the runtime error "App has already been created".
  c_App* m_new();
  virtual int p_OnCreate() { return 0; }
  virtual int p_OnSuspend() { return 0; }
  virtual int p_OnResume() { return 0; }
  virtual int p_OnUpdate() { return 0; }
  virtual int p_OnRender() { return 0; }
  int p_OnClose();
  int p_OnBack();
};

// Forwards runtime events to the application and the input device.
class c_GameDelegate : public BBGameDelegate {
 public:
  gxtkGraphics* m__graphics = nullptr;
  gxtkAudio* m__audio = nullptr;
  c_InputDevice* m__input = nullptr;

  c_GameDelegate* m_new() { return this; }
  void StartGame() override;
  void SuspendGame() override;
  void ResumeGame() override;
  void UpdateGame() override;
  void RenderGame() override;
  void KeyEvent(int event, int data) override;
  void MouseEvent(int event, int data, float x, float y) override;
  void TouchEvent(int event, int data, float x, float y) override;
  void MotionEvent(int event, int data, float x, float y, float z) override;
  void JoystickEvent(int event, int port) override;
  void DiscardGraphics() override;
  void mark() override;
};

class c_DisplayMode : public Object {
 public:
  int m__width = 0;
  int m__height = 0;
  c_DisplayMode* m_new(int width, int height);
  c_DisplayMode* m_new2() { return this; }
  int p_Width() { return m__width; }
  int p_Height() { return m__height; }
};

// Globals of the application module (start values set by bbInit).
extern c_App* bb_app__app;
extern c_GameDelegate* bb_app__delegate;
extern BBGame* bb_app__game;
extern int bb_app__updateRate;
extern int bb_app__devWidth;
extern int bb_app__devHeight;
extern Array<c_DisplayMode*> bb_app__displayModes;
extern c_DisplayMode* bb_app__desktopMode;

int bb_app_SetUpdateRate(int rate);
int bb_app_UpdateRate();
int bb_app_Millisecs();
int bb_app_DeviceWidth();
int bb_app_DeviceHeight();
// Ends the process at once with status 0; nothing new is saved (a save
// already handed over is put on disk first).
[[noreturn]] int bb_app_EndApp();
// Refreshes bb_app__devWidth/Height from the game object.
int bb_app_ValidateDeviceWindow(bool notifyApp);
// Fills bb_app__displayModes (distinct sizes, first-seen order) and
// bb_app__desktopMode (the device size when there is no desktop mode).
int bb_app_EnumDisplayModes();
Array<c_DisplayMode*> bb_app_DisplayModes();
c_DisplayMode* bb_app_DesktopMode();

// Sources of asynchronous events, stepped once per update by the game.
class c_IAsyncEventSource : public Object {
 public:
  virtual int p_UpdateAsyncEvents() = 0;
};

extern c_StackOf<c_IAsyncEventSource*>* bb_asyncevent__sources;
extern c_IAsyncEventSource* bb_asyncevent__current;

// Steps every source once; does nothing when called from inside a source.
int bb_asyncevent_UpdateAsyncEvents();
