// The window layer without a display: key translation, the key events a
// window sends, joypad layouts, display-mode listing, the asynchronous-event
// pump, and the loop's timing on a clock the test moves.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "input/input.h"
#include "runtime/app/app.h"
#include "runtime/app/joypad.h"

namespace {

// The ends of each range of the key table and its special cases: shifts and
// controls of both sides, editing keys with their characters, and keys the
// game never sees (the codes of single punctuation keys are the table itself).
TEST(KeyTranslation, KeysGiveTheRuntimeCodesAndEditingKeysTheirCharacters) {
  const struct {
    int glfwKey, code, chr;
  } cases[] = {
      {GLFW_KEY_A, 65, 0},           {GLFW_KEY_Z, 90, 0},          {GLFW_KEY_0, 48, 0},
      {GLFW_KEY_9, 57, 0},           {GLFW_KEY_SPACE, 32, 0},      {GLFW_KEY_COMMA, 188, 0},
      {GLFW_KEY_F1, 112, 0},         {GLFW_KEY_F12, 123, 0},       {GLFW_KEY_KP_0, 96, 0},
      {GLFW_KEY_KP_9, 105, 0},       {GLFW_KEY_RIGHT_SHIFT, 16, 0}, {GLFW_KEY_RIGHT_CONTROL, 17, 0},
      {GLFW_KEY_KP_ADD, 107, 0},     {GLFW_KEY_LEFT, 37, 0x10025}, {GLFW_KEY_BACKSPACE, 8, 8},
      {GLFW_KEY_ENTER, 13, 13},      {GLFW_KEY_ESCAPE, 27, 27},    {GLFW_KEY_PAGE_UP, 33, 0x10021},
      {GLFW_KEY_INSERT, 45, 0x1002D}, {GLFW_KEY_DELETE, 46, 127},  {GLFW_KEY_LEFT_ALT, 0, 0},
      {GLFW_KEY_F13, 0, 0},          {GLFW_KEY_KP_ENTER, 108, 0},    {GLFW_KEY_UNKNOWN, 0, 0},
      {GLFW_KEY_LAST + 1, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BBGlfwGame::TransKey(c.glfwKey), c.code) << "GLFW key " << c.glfwKey;
    EXPECT_EQ(BBGlfwGame::KeyToChar(c.code), c.chr) << "code " << c.code;
  }
}

// Records what the game object hands on.
class RecordingDelegate : public BBGameDelegate {
 public:
  std::vector<std::pair<int, int>> keys, joysticks;
  void KeyEvent(int event, int data) override { keys.emplace_back(event, data); }
  void JoystickEvent(int event, int port) override { joysticks.emplace_back(event, port); }
};

TEST(WindowEvents, KeysBecomeDownUpAndCharacterEventsAndJoysticksPlugEventsAfterTheStart) {
  gc_init();
  BBTarvexGame game;
  static RecordingDelegate* recorder = nullptr;
  if (!recorder) {
    recorder = new RecordingDelegate;
    gc_root(recorder);
  }
  recorder->keys.clear();  // a repeated run records afresh
  game.SetDelegate(recorder);
  game.OnKey(GLFW_KEY_A, GLFW_PRESS);  // before the start nothing reaches the game
  game.OnJoystick(GLFW_JOYSTICK_1, GLFW_CONNECTED);
  game.StartGame();
  game.OnKey(GLFW_KEY_A, GLFW_PRESS);
  game.OnChar('a');
  game.OnKey(GLFW_KEY_A, GLFW_RELEASE);
  // A held cursor key: one down, then only its character repeats.
  game.OnKey(GLFW_KEY_LEFT, GLFW_PRESS);
  game.OnKey(GLFW_KEY_LEFT, GLFW_REPEAT);
  game.OnKey(GLFW_KEY_LEFT, GLFW_RELEASE);
  game.OnKey(GLFW_KEY_LEFT_ALT, GLFW_PRESS);
  game.OnKey(GLFW_KEY_LEFT_SHIFT, GLFW_PRESS);
  EXPECT_EQ(recorder->keys,
            (std::vector<std::pair<int, int>>{{1, 65}, {3, 'a'}, {2, 65}, {1, 37}, {3, 65573}, {3, 65573}, {2, 37},
                                              {1, 16}}));
  // Joysticks come and go on the runtime's four ports only.
  game.OnJoystick(GLFW_JOYSTICK_2, GLFW_DISCONNECTED);
  game.OnJoystick(GLFW_JOYSTICK_5, GLFW_DISCONNECTED);
  game.OnJoystick(GLFW_JOYSTICK_4, GLFW_CONNECTED);
  EXPECT_EQ(recorder->joysticks, (std::vector<std::pair<int, int>>{{BBGAME_JOYUNPLUGGED, 1}, {BBGAME_JOYPLUGGED, 3}}));
  game.SetDelegate(nullptr);
}

// The runtime buttons that are pressed.
std::vector<int> Pressed(const JoyMapped& m) {
  std::vector<int> out;
  for (int b = 0; b < JOY_OUT_BUTTONS; ++b) {
    if (m.buttons[b]) out.push_back(b);
  }
  return out;
}

std::vector<float> Sticks(const JoyMapped& m) {
  return {m.joyX[0], m.joyY[0], m.joyZ[0], m.joyX[1], m.joyY[1], m.joyZ[1]};
}

TEST(JoypadMapping, RawPadsKeepTheirButtonsTurnYUpAndMendKnownLayoutsAndGamepadsUseTheirMapping) {
  // Axis i reads 0.1 * (i + 1); sticks are x, y, z of the first and second.
  const struct {
    int buttons, axes, hat;
    std::vector<int> down, pressed;
    std::vector<float> sticks;
  } cases[] = {
      {12, 6, 0, {0, 9, 11}, {0, 9, 11}, {0.1f, -0.2f, 0.3f, 0.4f, -0.5f, 0.6f}},
      {12, 2, 0, {}, {}, {0.1f, -0.2f, 0, 0, 0, 0}},
      // D-pad from the last four buttons, 8 and 9 to 12 and 13, second
      // stick across on axis 4 and down-positive on axis 3.
      {14, 5, 0, {7, 8, 9, 10, 13}, {7, 8, 11, 12, 13}, {0.1f, -0.2f, 0.3f, 0.5f, -0.4f, 0}},
      // Buttons 8-13 to 12-17, d-pad from 14-17, second stick's vertical on axis 2.
      {18, 4, 0, {8, 13, 15}, {9, 12, 17}, {0.1f, -0.2f, 0.3f, 0.4f, -0.3f, 0}},
      // A hat is the d-pad whatever the pad reports.
      {12, 2, JOY_HAT_UP | JOY_HAT_LEFT, {1, 8, 11}, {1, JOY_DPAD_LEFT, JOY_DPAD_UP, 12, 15}, {0.1f, -0.2f, 0, 0, 0, 0}},
      {12, 2, JOY_HAT_DOWN | JOY_HAT_RIGHT, {1, 8, 11}, {1, JOY_DPAD_RIGHT, JOY_DPAD_DOWN, 12, 15},
       {0.1f, -0.2f, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    JoyRaw raw;
    raw.present = true;
    raw.buttonCount = c.buttons;
    raw.axisCount = c.axes;
    for (int a = 0; a < c.axes; ++a) raw.axes[a] = 0.1f * float(a + 1);
    for (int b : c.down) raw.buttons[b] = true;
    raw.hatCount = c.hat ? 1 : 0;
    raw.hats[0] = c.hat;
    JoyMapped m = MapJoystick(raw);
    EXPECT_EQ(Pressed(m), c.pressed) << c.buttons << " buttons, " << c.axes << " axes, hat " << c.hat;
    EXPECT_EQ(Sticks(m), c.sticks) << c.buttons << " buttons, " << c.axes << " axes, hat " << c.hat;
  }
  // A known gamepad is read through its mapping (which button lands where is
  // a table copied from the layout), raw reading ignored: stick y pushed up
  // and pulled down, triggers from -1..1 to 0..1.
  JoyRaw raw;
  raw.isGamepad = true;
  raw.buttons[0] = raw.padButtons[PAD_DPAD_UP] = true;
  const float axes[PAD_AXIS_COUNT] = {-1, -1, 0.5f, 1, -1, 1};
  std::copy(axes, axes + PAD_AXIS_COUNT, raw.padAxes);
  EXPECT_EQ(Pressed(MapJoystick(raw)), (std::vector<int>{JOY_DPAD_UP}));
  EXPECT_EQ(Sticks(MapJoystick(raw)), (std::vector<float>{-1, 1, 0, 0.5f, -1, 1}));
}

// A game object with a scripted list of modes.
class ModesGame : public BBGame {
 public:
  std::vector<std::pair<int, int>> modes;
  BBDisplayMode* desktop = nullptr;
  int GetDeviceWidth() override { return 640; }
  int GetDeviceHeight() override { return 480; }
  Array<BBDisplayMode*> GetDisplayModes() override {
    Array<BBDisplayMode*> out(int(modes.size()));
    for (int i = 0; i < out.Length(); ++i) gc_assign(out[i], new BBDisplayMode(modes[i].first, modes[i].second));
    return out;
  }
  BBDisplayMode* GetDesktopMode() override { return desktop; }
};

TEST(DisplayModes, EachSizeOnceInFirstSeenOrderAndTheDeviceStandsInForTheDesktop) {
  gc_init();
  ModesGame game;
  bb_app__game = &game;
  // 1024 x 768 at two colour depths, and a size whose low half looks alike.
  game.modes = {{1024, 768}, {800, 600}, {1024, 768}, {768, 1024}, {800, 600}};
  bb_app_ValidateDeviceWindow(false);
  bb_app_EnumDisplayModes();
  std::vector<std::pair<int, int>> seen;
  for (c_DisplayMode* m : bb_app_DisplayModes()) seen.emplace_back(m->p_Width(), m->p_Height());
  seen.emplace_back(bb_app_DesktopMode()->p_Width(), bb_app_DesktopMode()->p_Height());
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1024, 768}, {800, 600}, {768, 1024}, {640, 480}}));
  game.modes.clear();
  game.desktop = new BBDisplayMode(1920, 1080);
  bb_app_EnumDisplayModes();
  EXPECT_EQ(bb_app_DisplayModes().Length(), 0);
  EXPECT_EQ(bb_app_DesktopMode()->p_Width(), 1920);
  bb_app__game = nullptr;
}

// Counts its calls and tries to re-enter the pump.
class NestingSource : public c_IAsyncEventSource {
 public:
  int calls = 0;
  int p_UpdateAsyncEvents() override {
    ++calls;
    bb_asyncevent_UpdateAsyncEvents();
    return 0;
  }
};

TEST(AsyncEvents, EverySourceOnceAndNoReentry) {
  gc_init();
  gc_assign(bb_asyncevent__sources, (new c_StackOf<c_IAsyncEventSource*>)->m_new());
  NestingSource* a = new NestingSource;
  NestingSource* b = new NestingSource;
  bb_asyncevent__sources->p_Push(a);
  bb_asyncevent__sources->p_Push(b);
  bb_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(a->calls + 10 * b->calls, 11);
  EXPECT_EQ(bb_asyncevent__current, nullptr);
}

// The loop on a clock that moves only while the application renders and
// while the loop waits, so every pass is the same on any machine.
class ClockedGame : public BBTarvexGame {
 public:
  double now = 1.0;
  double Now() override { return now; }
  void Wait(double seconds) override { now += seconds; }
  // One pass of the loop after the window opened, with the window focused
  // or not as its focus events last said.
  void Pass(bool focused) {
    _focused = focused;
    RenderGame();
    Step();
  }
};

// An application whose frames take `renderSeconds`; it counts the updates
// of each frame, the times it is suspended and resumed, and sets the rate
// again in the second update of one frame.
class TimedApp : public BBGameDelegate {
 public:
  ClockedGame* game = nullptr;
  double renderSeconds = 0;
  int changeRateInFrame = 0, suspends = 0, resumes = 0;
  std::vector<int> updatesPerFrame;
  void SuspendGame() override { ++suspends; }
  void ResumeGame() override { ++resumes; }
  void RenderGame() override {
    game->now += renderSeconds;
    updatesPerFrame.push_back(0);
  }
  void UpdateGame() override {
    if (++updatesPerFrame.back() == 2 && int(updatesPerFrame.size()) == changeRateInFrame) {
      game->SetUpdateRate(game->UpdateRate());
    }
  }
};

TEST(Loop, RunsTheRateWithAtMostFourUpdatesPerFrameAndFourOnASlowMachine) {
  gc_init();
  const struct {
    const char* what;
    int rate;
    double renderSeconds;
    int changeRateInFrame;
    std::vector<int> updatesPerFrame;
    double seconds;
    int unfocused = 0;  // passes 2 and 3 run without the focus when 1
  } cases[] = {
      {"the first frame comes before the first update; then the loop sleeps out each period", 20, 0, 0,
       {1, 1, 1, 1, 1, 1}, 0.25},
      {"frames of 100 ms: four updates in every frame", 60, 0.1, 0, {1, 4, 4, 4, 4, 4}, 0.6},
      {"a rate change ends the frame's catch-up and the timing restarts", 60, 0.1, 3, {1, 4, 2, 1, 4, 4}, 0.6},
      {"rate 0: one update per frame", 0, 0.1, 0, {1, 1, 1, 1, 1, 1}, 0.6},
      {"suspended once and resumed once: frames without updates, then one at once in the pass that resumes", 20, 0,
       0, {1, 0, 0, 1, 1, 1}, 0.15, 1},
  };
  for (const auto& c : cases) {
    ClockedGame game;
    TimedApp* app = new TimedApp;  // marked by the game object at each step
    app->game = &game;
    app->renderSeconds = c.renderSeconds;
    app->changeRateInFrame = c.changeRateInFrame;
    game.SetDelegate(app);
    game.StartGame();
    game.SetUpdateRate(c.rate);
    for (size_t pass = 0; pass < c.updatesPerFrame.size(); ++pass) game.Pass(!c.unfocused || pass < 1 || pass > 2);
    EXPECT_EQ(app->updatesPerFrame, c.updatesPerFrame) << c.what;
    EXPECT_NEAR(game.now - 1.0, c.seconds, 1e-9) << c.what;
    EXPECT_EQ((std::vector<int>{app->suspends, app->resumes}), std::vector<int>(2, c.unfocused)) << c.what;
    game.SetDelegate(nullptr);
  }
}

}  // namespace
