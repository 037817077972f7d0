// The input device: the edges of key and hit bookkeeping and of the mouse
// and first-finger mirror, queue limits, range checks and joystick polling
// through a game object with scripted pads. The keyboard requests and the
// accelerometer only pass values on.
#include <gtest/gtest.h>

#include <functional>

#include "input/input.h"

namespace {

// One scripted pad per port; absent ports report no pad.
struct ScriptedPad {
  bool present = false;
  float x = 0, y = 0;
  bool buttons[INPUT_JOY_BUTTONS] = {};
};

class PadGame : public BBGame {
 public:
  ScriptedPad pads[INPUT_JOYSTICKS];
  int polls[INPUT_JOYSTICKS] = {};
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float>, Array<bool> buttons) override {
    ++polls[port];
    const ScriptedPad& pad = pads[port];
    if (!pad.present) return false;
    joyx[0] = pad.x;
    joyy[0] = pad.y;
    for (int b = 0; b < INPUT_JOY_BUTTONS; ++b) buttons[b] = pad.buttons[b];
    return true;
  }
};

typedef std::vector<float> Values;

class InputDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    device = (new c_InputDevice)->m_new();
    bb_input_SetInputDevice(device);
  }
  void TearDown() override { bb_input_SetInputDevice(nullptr); }
  void Key(int event, int key) { device->p_KeyEvent(event, key); }
  // One update: poll, read what the game reads, end.
  Values Update(const std::function<Values()>& read) {
    device->p_BeginUpdate();
    Values values = read();
    device->p_EndUpdate();
    return values;
  }
  PadGame game;
  c_InputDevice* device = nullptr;
};

// Hits, downs and the left button moving the first finger are what every
// game test reads; here are the edges they never reach: a down for a key
// already held adds no hit, the first finger presses and lets go of the
// left button, and a release leaves the pointer where it was.
TEST_F(InputDeviceTest, HeldKeysHitOnceTheFingersReleaseIsTheButtonsAndReleasesKeepThePointer) {
  Key(BBGAME_KEYDOWN, 66);
  Key(BBGAME_KEYDOWN, 66);
  device->p_TouchEvent(BBGAME_TOUCHDOWN, 0, 7, 8);
  device->p_TouchEvent(BBGAME_TOUCHUP, 0, 0, 0);
  device->p_MouseEvent(BBGAME_MOUSEUP, 1, 99, 99);
  EXPECT_EQ(Update([] {
              return Values{float(bb_input_KeyHit(66)), float(bb_input_MouseHit(0)), float(bb_input_KeyDown(1)),
                            bb_input_MouseX(), bb_input_TouchY(0)};
            }),
            (Values{1, 1, 0, 7, 8}));
}

TEST_F(InputDeviceTest, QueuesDropWhatDoesNotFitAndQueriesOutsideRangeAnswerZero) {
  for (int i = 0; i < 40; ++i) Key(BBGAME_KEYCHAR, 'a' + (i % 26));
  for (int k = 0; k < 40; ++k) {
    Key(BBGAME_KEYDOWN, 65 + (k % 26));
    Key(BBGAME_KEYUP, 65 + (k % 26));
  }
  std::string typed;
  int hits = 0;
  Update([&] {
    while (int c = bb_input_GetChar()) typed += char(c);
    for (int k = 65; k <= 90; ++k) hits += bb_input_KeyHit(k);
    return Values{};
  });
  EXPECT_EQ(typed.size(), size_t(INPUT_CHAR_QUEUE));
  EXPECT_EQ(typed.substr(0, 3), "abc");
  EXPECT_EQ(hits, INPUT_HIT_QUEUE);
  // Everything is counted again in the next update; key events outside the
  // code space are ignored, not written.
  Key(BBGAME_KEYCHAR, 'z');
  Key(BBGAME_KEYDOWN, 600);
  Key(BBGAME_KEYDOWN, -1);
  EXPECT_EQ(Update([] {
              return Values{float(bb_input_GetChar()), float(bb_input_GetChar()), float(bb_input_KeyHit(0)),
                            float(bb_input_KeyHit(512)), float(bb_input_KeyHit(600)), float(bb_input_KeyDown(-5)),
                            float(bb_input_MouseDown(511)), float(bb_input_TouchDown(128)),
                            float(bb_input_TouchDown(-384)), bb_input_TouchX(32), float(bb_input_JoyDown(0, 8))};
            }),
            (Values{'z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(InputDeviceTest, JoysticksArePolledOnEveryPortAndAnUnpluggedPadLetsGo) {
  // Port 0 empty, a pad in port 1 (as after unplugging the first pad).
  game.pads[1] = {true, 0.5f, -1, {}};
  game.pads[1].buttons[3] = true;
  // Hit, the same hit as a key code, down, stick; joystick keys never touch
  // the keyboard codes; the port's plug event of the update.
  auto read = [] {
    return Values{float(bb_input_JoyHit(3, 1)), float(bb_input_KeyHit(291)), float(bb_input_JoyDown(3, 1)),
                  bb_input_JoyX(0, 1), bb_input_JoyY(0, 1), float(bb_input_KeyDown(3)), float(bb_input_JoyConnection(1))};
  };
  EXPECT_EQ(Update(read), (Values{1, 1, 1, 0.5f, -1, 0, 0}));
  EXPECT_EQ(std::vector<int>(game.polls, game.polls + INPUT_JOYSTICKS), std::vector<int>(INPUT_JOYSTICKS, 1));
  EXPECT_EQ(Update(read), (Values{0, 0, 1, 0.5f, -1, 0, 0}));
  // Unplugged while the button and the stick are held: released, centred,
  // told. A port the device does not have is not told.
  game.pads[1].present = false;
  device->p_JoystickEvent(BBGAME_JOYUNPLUGGED, 1);
  device->p_JoystickEvent(BBGAME_JOYUNPLUGGED, INPUT_JOYSTICKS);
  EXPECT_EQ(Update(read), (Values{0, 0, 0, 0, 0, 0, BBGAME_JOYUNPLUGGED}));
  // Plugged in again with the button still held: a fresh hit, told for that
  // update alone.
  game.pads[1].present = true;
  device->p_JoystickEvent(BBGAME_JOYPLUGGED, 1);
  EXPECT_EQ(Update(read), (Values{1, 1, 1, 0.5f, -1, 0, BBGAME_JOYPLUGGED}));
  EXPECT_EQ(Update(read), (Values{0, 0, 1, 0.5f, -1, 0, 0}));
}

}  // namespace
