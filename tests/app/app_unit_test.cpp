// The window layer's pure parts: key translation, the key and close
// events a window sends, joypad layouts, display-mode listing and the
// asynchronous-event pump. No display needed.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "input/input.h"
#include "runtime/app/app.h"
#include "runtime/app/joypad.h"

namespace {

TEST(KeyTranslation, PhysicalKeysGiveTheRuntimeCodes) {
  struct Case {
    int glfwKey, code;
  };
  const Case cases[] = {
      {GLFW_KEY_SPACE, 32},        {GLFW_KEY_APOSTROPHE, 222},   {GLFW_KEY_COMMA, 188},
      {GLFW_KEY_MINUS, 189},       {GLFW_KEY_PERIOD, 190},       {GLFW_KEY_SLASH, 191},
      {GLFW_KEY_0, 48},            {GLFW_KEY_9, 57},             {GLFW_KEY_SEMICOLON, 186},
      {GLFW_KEY_EQUAL, 187},       {GLFW_KEY_A, 65},             {GLFW_KEY_Z, 90},
      {GLFW_KEY_LEFT_BRACKET, 219}, {GLFW_KEY_BACKSLASH, 220},   {GLFW_KEY_RIGHT_BRACKET, 221},
      {GLFW_KEY_GRAVE_ACCENT, 192}, {GLFW_KEY_ESCAPE, 27},       {GLFW_KEY_F1, 112},
      {GLFW_KEY_F12, 123},         {GLFW_KEY_UP, 38},            {GLFW_KEY_DOWN, 40},
      {GLFW_KEY_LEFT, 37},         {GLFW_KEY_RIGHT, 39},         {GLFW_KEY_LEFT_SHIFT, 16},
      {GLFW_KEY_RIGHT_SHIFT, 16},  {GLFW_KEY_LEFT_CONTROL, 17},  {GLFW_KEY_RIGHT_CONTROL, 17},
      {GLFW_KEY_TAB, 9},           {GLFW_KEY_ENTER, 13},         {GLFW_KEY_BACKSPACE, 8},
      {GLFW_KEY_INSERT, 45},       {GLFW_KEY_DELETE, 46},        {GLFW_KEY_PAGE_UP, 33},
      {GLFW_KEY_PAGE_DOWN, 34},    {GLFW_KEY_HOME, 36},          {GLFW_KEY_END, 35},
      {GLFW_KEY_KP_0, 96},         {GLFW_KEY_KP_9, 105},         {GLFW_KEY_KP_DIVIDE, 111},
      {GLFW_KEY_KP_MULTIPLY, 106}, {GLFW_KEY_KP_SUBTRACT, 109},  {GLFW_KEY_KP_ADD, 107},
      {GLFW_KEY_KP_DECIMAL, 110},
      // Keys the game never sees.
      {GLFW_KEY_LEFT_ALT, 0},      {GLFW_KEY_RIGHT_ALT, 0},      {GLFW_KEY_F13, 0},
      {GLFW_KEY_F25, 0},           {GLFW_KEY_KP_ENTER, 0},       {GLFW_KEY_KP_EQUAL, 0},
      {GLFW_KEY_LEFT_SUPER, 0},    {GLFW_KEY_MENU, 0},           {GLFW_KEY_CAPS_LOCK, 0},
      {GLFW_KEY_WORLD_1, 0},       {GLFW_KEY_UNKNOWN, 0},        {GLFW_KEY_LAST + 1, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(BBGlfwGame::TransKey(c.glfwKey), c.code) << "GLFW key " << c.glfwKey;
  // Every letter and digit keeps its ASCII code.
  for (int k = GLFW_KEY_A; k <= GLFW_KEY_Z; ++k) EXPECT_EQ(BBGlfwGame::TransKey(k), k);
}

TEST(KeyTranslation, EditingKeysTypeTheirOwnCharacters) {
  for (int key : {8, 9, 13, 27}) EXPECT_EQ(BBGlfwGame::KeyToChar(key), key);
  for (int key : {33, 34, 35, 36, 37, 38, 39, 40, 45}) EXPECT_EQ(BBGlfwGame::KeyToChar(key), key + 0x10000);
  EXPECT_EQ(BBGlfwGame::KeyToChar(46), 127);
  for (int key : {16, 17, 32, 65, 112}) EXPECT_EQ(BBGlfwGame::KeyToChar(key), 0);
}

// Records what the game object hands on.
class RecordingDelegate : public BBGameDelegate {
 public:
  std::vector<std::pair<int, int>> keys;
  void KeyEvent(int event, int data) override { keys.emplace_back(event, data); }
};

TEST(WindowEvents, KeysBecomeDownUpAndCharacterEventsAfterTheStart) {
  gc_init();
  BBTarvexGame game;
  RecordingDelegate* recorder = new RecordingDelegate;
  gc_root(recorder);
  game.SetDelegate(recorder);
  // Before the start nothing reaches the game.
  game.OnKey(GLFW_KEY_A, GLFW_PRESS);
  EXPECT_TRUE(recorder->keys.empty());
  game.StartGame();
  using Events = std::vector<std::pair<int, int>>;
  game.OnKey(GLFW_KEY_A, GLFW_PRESS);
  game.OnChar('a');
  game.OnKey(GLFW_KEY_A, GLFW_RELEASE);
  EXPECT_EQ(recorder->keys, (Events{{1, 65}, {3, 'a'}, {2, 65}}));
  recorder->keys.clear();
  // A held cursor key: one down, then only its character repeats.
  game.OnKey(GLFW_KEY_LEFT, GLFW_PRESS);
  game.OnKey(GLFW_KEY_LEFT, GLFW_REPEAT);
  game.OnKey(GLFW_KEY_LEFT, GLFW_REPEAT);
  game.OnKey(GLFW_KEY_LEFT, GLFW_RELEASE);
  EXPECT_EQ(recorder->keys, (Events{{1, 37}, {3, 65573}, {3, 65573}, {3, 65573}, {2, 37}}));
  recorder->keys.clear();
  game.OnKey(GLFW_KEY_LEFT_ALT, GLFW_PRESS);
  game.OnKey(GLFW_KEY_LEFT_SHIFT, GLFW_PRESS);
  EXPECT_EQ(recorder->keys, (Events{{1, 16}}));
  game.SetDelegate(nullptr);
}

JoyRaw RawPad(int buttons, int axes) {
  JoyRaw raw;
  raw.present = true;
  raw.buttonCount = buttons;
  raw.axisCount = axes;
  for (int a = 0; a < axes; ++a) raw.axes[a] = 0.1f * float(a + 1);
  return raw;
}

// The runtime buttons that are pressed.
std::vector<int> Pressed(const JoyMapped& m) {
  std::vector<int> out;
  for (int b = 0; b < JOY_OUT_BUTTONS; ++b) {
    if (m.buttons[b]) out.push_back(b);
  }
  return out;
}

TEST(JoypadMapping, TwelveButtonPadsKeepTheirNumbersAndTurnYUp) {
  JoyRaw raw = RawPad(12, 6);
  raw.buttons[0] = raw.buttons[9] = raw.buttons[11] = true;
  JoyMapped m = MapJoystick(raw);
  EXPECT_EQ(Pressed(m), (std::vector<int>{0, 9, 11}));
  EXPECT_FLOAT_EQ(m.joyX[0], 0.1f);
  EXPECT_FLOAT_EQ(m.joyY[0], -0.2f);
  EXPECT_FLOAT_EQ(m.joyZ[0], 0.3f);
  EXPECT_FLOAT_EQ(m.joyX[1], 0.4f);
  EXPECT_FLOAT_EQ(m.joyY[1], -0.5f);
  EXPECT_FLOAT_EQ(m.joyZ[1], 0.6f);
  // Fewer axes than six: the missing ones read 0.
  JoyMapped two = MapJoystick(RawPad(12, 2));
  EXPECT_FLOAT_EQ(two.joyX[1], 0);
  EXPECT_FLOAT_EQ(two.joyY[1], 0);
}

TEST(JoypadMapping, ManyButtonPadsMoveTheirLastFourToTheDpad) {
  // 14 buttons, 5 axes: d-pad from buttons 10-13, buttons 8 and 9 to 12 and
  // 13, second stick across on axis 4 and down-positive on axis 3.
  JoyRaw raw = RawPad(14, 5);
  raw.buttons[7] = raw.buttons[8] = raw.buttons[9] = raw.buttons[10] = raw.buttons[13] = true;
  JoyMapped m = MapJoystick(raw);
  EXPECT_EQ(Pressed(m), (std::vector<int>{7, 8, 11, 12, 13}));
  EXPECT_FLOAT_EQ(m.joyX[1], 0.5f);
  EXPECT_FLOAT_EQ(m.joyY[1], -0.4f);
  // 18 buttons, 4 axes: buttons 8-13 to 12-17, d-pad from 14-17, second
  // stick's vertical on axis 2.
  JoyRaw big = RawPad(18, 4);
  big.buttons[8] = big.buttons[13] = big.buttons[15] = true;
  JoyMapped n = MapJoystick(big);
  EXPECT_EQ(Pressed(n), (std::vector<int>{9, 12, 17}));
  EXPECT_FLOAT_EQ(n.joyY[1], -0.3f);
  EXPECT_FLOAT_EQ(n.joyX[1], 0.4f);
}

TEST(JoypadMapping, AHatIsTheDpadWhateverThePadReports) {
  JoyRaw raw = RawPad(12, 2);
  raw.hatCount = 1;
  raw.hats[0] = JOY_HAT_UP | JOY_HAT_LEFT;
  raw.buttons[1] = raw.buttons[8] = raw.buttons[11] = true;
  JoyMapped m = MapJoystick(raw);
  EXPECT_EQ(Pressed(m), (std::vector<int>{1, JOY_DPAD_LEFT, JOY_DPAD_UP, 12, 15}));
  raw.hats[0] = JOY_HAT_DOWN | JOY_HAT_RIGHT;
  EXPECT_EQ(Pressed(MapJoystick(raw)), (std::vector<int>{1, JOY_DPAD_RIGHT, JOY_DPAD_DOWN, 12, 15}));
}

TEST(JoypadMapping, KnownGamepadsShareOneLayout) {
  JoyRaw raw = RawPad(11, 6);
  raw.isGamepad = true;
  // The raw reading is ignored for a known pad.
  raw.buttons[0] = true;
  const int expected[PAD_BUTTON_COUNT] = {0, 1, 2, 3, 4, 5, 6, 7, 14, 12, 13, 9, 10, 11, 8};
  for (int b = 0; b < PAD_BUTTON_COUNT; ++b) {
    JoyRaw one = raw;
    one.padButtons[b] = true;
    EXPECT_EQ(Pressed(MapJoystick(one)), (std::vector<int>{expected[b]})) << "gamepad button " << b;
  }
  raw.padAxes[PAD_LEFT_X] = -1;
  raw.padAxes[PAD_LEFT_Y] = -1;  // pushed up
  raw.padAxes[PAD_RIGHT_X] = 0.5f;
  raw.padAxes[PAD_RIGHT_Y] = 1;  // pulled down
  raw.padAxes[PAD_LEFT_TRIGGER] = -1;
  raw.padAxes[PAD_RIGHT_TRIGGER] = 1;
  JoyMapped m = MapJoystick(raw);
  EXPECT_FLOAT_EQ(m.joyX[0], -1);
  EXPECT_FLOAT_EQ(m.joyY[0], 1);
  EXPECT_FLOAT_EQ(m.joyX[1], 0.5f);
  EXPECT_FLOAT_EQ(m.joyY[1], -1);
  EXPECT_FLOAT_EQ(m.joyZ[0], 0);
  EXPECT_FLOAT_EQ(m.joyZ[1], 1);
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
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1024, 768}, {800, 600}, {768, 1024}}));
  EXPECT_EQ(bb_app_DesktopMode()->p_Width(), 640);
  EXPECT_EQ(bb_app_DesktopMode()->p_Height(), 480);
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
  EXPECT_EQ(a->calls, 1);
  EXPECT_EQ(b->calls, 1);
  EXPECT_EQ(bb_asyncevent__current, nullptr);
}

}  // namespace
