// Joypad mapping: one poll of a pad, as the windowing library reports it,
// turned into the runtime's joystick layout. Pure, so every layout can be
// checked without hardware.
#pragma once

#include "input/keycodes.h"

// Capacities of one raw poll.
constexpr int JOY_RAW_AXES = 6;
constexpr int JOY_RAW_BUTTONS = 32;
constexpr int JOY_RAW_HATS = 4;
constexpr int JOY_OUT_BUTTONS = JOY_BUTTONS_PER_PAD;  // the runtime's layout of one pad

// Hat direction bits (the windowing library's values).
constexpr int JOY_HAT_UP = 1;
constexpr int JOY_HAT_RIGHT = 2;
constexpr int JOY_HAT_DOWN = 4;
constexpr int JOY_HAT_LEFT = 8;

// Buttons and axes of the standard gamepad layout, in the library's order.
enum JoyGamepadButton {
  PAD_A, PAD_B, PAD_X, PAD_Y, PAD_LEFT_BUMPER, PAD_RIGHT_BUMPER, PAD_BACK, PAD_START, PAD_GUIDE,
  PAD_LEFT_THUMB, PAD_RIGHT_THUMB, PAD_DPAD_UP, PAD_DPAD_RIGHT, PAD_DPAD_DOWN, PAD_DPAD_LEFT,
  PAD_BUTTON_COUNT
};
enum JoyGamepadAxis {
  PAD_LEFT_X, PAD_LEFT_Y, PAD_RIGHT_X, PAD_RIGHT_Y, PAD_LEFT_TRIGGER, PAD_RIGHT_TRIGGER, PAD_AXIS_COUNT
};

// One poll. Raw axes are device values -1..1 (y positive downwards); counts
// beyond the capacities are cut. The gamepad part is filled only when the
// library knows the pad from its mapping database (y positive downwards,
// triggers -1 released .. 1 pulled).
struct JoyRaw {
  bool present = false;
  int axisCount = 0;
  float axes[JOY_RAW_AXES] = {};
  int buttonCount = 0;
  bool buttons[JOY_RAW_BUTTONS] = {};
  int hatCount = 0;
  int hats[JOY_RAW_HATS] = {};
  bool isGamepad = false;
  float padAxes[PAD_AXIS_COUNT] = {};
  bool padButtons[PAD_BUTTON_COUNT] = {};
};

// The runtime's view of one pad: index 0 first stick and left trigger,
// index 1 second stick and right trigger; y positive upwards; triggers 0..1.
struct JoyMapped {
  float joyX[2] = {};
  float joyY[2] = {};
  float joyZ[2] = {};
  bool buttons[JOY_OUT_BUTTONS] = {};
};

// Maps a present pad. Known gamepads come out in the runtime's button
// numbers (JOY_A .. JOY_GUIDE, input/keycodes.h). Other pads:
// buttons in their own order with the d-pad moved to 8-11 (from the first
// hat, or from the last four buttons of a pad with more than 12).
JoyMapped MapJoystick(const JoyRaw& raw);
