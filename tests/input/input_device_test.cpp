// The input device: key and hit bookkeeping across updates, the mouse and
// first-finger mirror, queue limits, range checks and joystick polling
// through a game object with scripted pads.
#include <gtest/gtest.h>

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

class InputDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    device = (new c_InputDevice)->m_new();
    bb_input_SetInputDevice(device);
  }
  void TearDown() override { bb_input_SetInputDevice(nullptr); }
  void Key(int event, int key) { device->p_KeyEvent(event, key); }
  // One update: poll, let the test look, end.
  template <class F>
  void Update(F look) {
    device->p_BeginUpdate();
    look();
    device->p_EndUpdate();
  }
  PadGame game;
  c_InputDevice* device = nullptr;
};

TEST_F(InputDeviceTest, HitsLiveForOneUpdateAndDownsUntilRelease) {
  // Pressed and released before one update: one hit, not down.
  Key(BBGAME_KEYDOWN, 65);
  Key(BBGAME_KEYUP, 65);
  Update([] {
    EXPECT_EQ(bb_input_KeyHit(65), 1);
    EXPECT_EQ(bb_input_KeyDown(65), 0);
  });
  // Held across updates: a hit only in the first; a repeated down adds none.
  Key(BBGAME_KEYDOWN, 66);
  Update([] {
    EXPECT_EQ(bb_input_KeyHit(66), 1);
    EXPECT_EQ(bb_input_KeyDown(66), 1);
  });
  Key(BBGAME_KEYDOWN, 66);
  Update([] {
    EXPECT_EQ(bb_input_KeyHit(66), 0);
    EXPECT_EQ(bb_input_KeyDown(66), 1);
  });
  Key(BBGAME_KEYUP, 66);
  Update([] { EXPECT_EQ(bb_input_KeyDown(66), 0); });
  // Two presses in one update count twice.
  Key(BBGAME_KEYDOWN, 67);
  Key(BBGAME_KEYUP, 67);
  Key(BBGAME_KEYDOWN, 67);
  Update([] { EXPECT_EQ(bb_input_KeyHit(67), 2); });
}

TEST_F(InputDeviceTest, LeftButtonAndFirstFingerAreOneInput) {
  device->p_MouseEvent(BBGAME_MOUSEDOWN, 0, 10, 20);
  Update([] {
    EXPECT_EQ(bb_input_KeyHit(1), 1);
    EXPECT_EQ(bb_input_MouseHit(0), 1);
    EXPECT_EQ(bb_input_TouchDown(0), 1);
    EXPECT_EQ(bb_input_TouchHit(0), 1);
    EXPECT_EQ(bb_input_TouchX(0), 10);
    EXPECT_EQ(bb_input_TouchY(0), 20);
  });
  device->p_MouseEvent(BBGAME_MOUSEMOVE, -1, 30, 40);
  device->p_MouseEvent(BBGAME_MOUSEUP, 0, 99, 99);
  Update([] {
    EXPECT_EQ(bb_input_MouseDown(0), 0);
    EXPECT_EQ(bb_input_TouchDown(0), 0);
    // A release does not move the pointer.
    EXPECT_EQ(bb_input_MouseX(), 30);
    EXPECT_EQ(bb_input_MouseY(), 40);
  });
  // The right button has no mirror; finger 0 moves the mouse.
  device->p_MouseEvent(BBGAME_MOUSEDOWN, 1, 5, 5);
  device->p_TouchEvent(BBGAME_TOUCHDOWN, 0, 7, 8);
  Update([] {
    EXPECT_EQ(bb_input_KeyDown(2), 1);
    EXPECT_EQ(bb_input_KeyDown(384), 1);
    EXPECT_EQ(bb_input_KeyDown(1), 1);
    EXPECT_EQ(bb_input_MouseX(), 7);
    EXPECT_EQ(bb_input_MouseY(), 8);
  });
  device->p_TouchEvent(BBGAME_TOUCHUP, 0, 0, 0);
  Update([] { EXPECT_EQ(bb_input_KeyDown(1), 0); });
}

TEST_F(InputDeviceTest, QueuesDropWhatDoesNotFitAndQueriesOutsideRangeAnswerZero) {
  for (int i = 0; i < 40; ++i) Key(BBGAME_KEYCHAR, 'a' + (i % 26));
  for (int k = 0; k < 40; ++k) {
    Key(BBGAME_KEYDOWN, 65 + (k % 26));
    Key(BBGAME_KEYUP, 65 + (k % 26));
  }
  Update([] {
    std::string typed;
    while (int c = bb_input_GetChar()) typed += char(c);
    EXPECT_EQ(typed.size(), size_t(INPUT_CHAR_QUEUE));
    EXPECT_EQ(typed.substr(0, 3), "abc");
    int hits = 0;
    for (int k = 65; k <= 90; ++k) hits += bb_input_KeyHit(k);
    EXPECT_EQ(hits, INPUT_HIT_QUEUE);
    EXPECT_EQ(bb_input_GetChar(), 0);
  });
  // Everything is counted again in the next update.
  Key(BBGAME_KEYCHAR, 'z');
  Update([] { EXPECT_EQ(bb_input_GetChar(), 'z'); });

  Update([] {
    EXPECT_EQ(bb_input_KeyHit(0), 0);
    EXPECT_EQ(bb_input_KeyHit(512), 0);
    EXPECT_EQ(bb_input_KeyDown(-5), 0);
    EXPECT_EQ(bb_input_MouseDown(511), 0);
    EXPECT_EQ(bb_input_TouchDown(128), 0);
    EXPECT_EQ(bb_input_TouchDown(-384), 0);
    EXPECT_EQ(bb_input_TouchX(32), 0);
    EXPECT_EQ(bb_input_JoyDown(0, 8), 0);
  });
  // Key events outside the code space are ignored, not written.
  Key(BBGAME_KEYDOWN, 600);
  Key(BBGAME_KEYDOWN, -1);
  Update([] { EXPECT_EQ(bb_input_KeyHit(600), 0); });
}

TEST_F(InputDeviceTest, JoysticksArePolledOnEveryPortAndAnUnpluggedPadLetsGo) {
  // Port 0 empty, a pad in port 1 (as after unplugging the first pad).
  game.pads[1].present = true;
  game.pads[1].buttons[3] = true;
  game.pads[1].x = 0.5f;
  game.pads[1].y = -1;
  Update([] {
    EXPECT_EQ(bb_input_JoyHit(3, 1), 1);
    EXPECT_EQ(bb_input_KeyHit(291), 1);
    EXPECT_EQ(bb_input_JoyDown(3, 1), 1);
    EXPECT_EQ(bb_input_JoyX(0, 1), 0.5f);
    EXPECT_EQ(bb_input_JoyY(0, 1), -1);
  });
  for (int port = 0; port < INPUT_JOYSTICKS; ++port) EXPECT_EQ(game.polls[port], 1) << port;
  Update([] {
    EXPECT_EQ(bb_input_JoyHit(3, 1), 0);
    EXPECT_EQ(bb_input_JoyDown(3, 1), 1);
  });
  // Unplugged while the button and the stick are held: released, centred.
  game.pads[1].present = false;
  Update([] {
    EXPECT_EQ(bb_input_JoyDown(3, 1), 0);
    EXPECT_EQ(bb_input_JoyX(0, 1), 0);
    EXPECT_EQ(bb_input_JoyY(0, 1), 0);
  });
  // Plugged in again with the button still held: a fresh hit.
  game.pads[1].present = true;
  Update([] { EXPECT_EQ(bb_input_JoyHit(3, 1), 1); });
  // Joystick keys never touch the keyboard codes.
  Update([] { EXPECT_EQ(bb_input_KeyDown(3), 0); });
}

TEST_F(InputDeviceTest, KeyboardRequestsReachTheGameObject) {
  EXPECT_EQ(bb_input_EnableKeyboard(), 1);
  EXPECT_TRUE(game.KeyboardEnabled());
  EXPECT_EQ(bb_input_DisableKeyboard(), 1);
  EXPECT_FALSE(game.KeyboardEnabled());
  device->p_MotionEvent(BBGAME_MOTIONACCEL, 0, 0.25f, -0.5f, 1);
  EXPECT_EQ(bb_input_AccelX(), 0.25f);
  EXPECT_EQ(bb_input_AccelY(), -0.5f);
}

}  // namespace
