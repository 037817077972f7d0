#include "runtime/app/joypad.h"

#include <algorithm>

namespace {

// A trigger from -1 (released) .. 1 (pulled) to 0 .. 1.
float Trigger(float value) { return (value + 1) * 0.5f; }

void SetDpad(JoyMapped& out, bool left, bool up, bool right, bool down) {
  out.buttons[JOY_DPAD_LEFT] = left;
  out.buttons[JOY_DPAD_UP] = up;
  out.buttons[JOY_DPAD_RIGHT] = right;
  out.buttons[JOY_DPAD_DOWN] = down;
}

JoyMapped MapGamepad(const JoyRaw& raw) {
  JoyMapped out;
  out.joyX[0] = raw.padAxes[PAD_LEFT_X];
  out.joyY[0] = -raw.padAxes[PAD_LEFT_Y];
  out.joyZ[0] = Trigger(raw.padAxes[PAD_LEFT_TRIGGER]);
  out.joyX[1] = raw.padAxes[PAD_RIGHT_X];
  out.joyY[1] = -raw.padAxes[PAD_RIGHT_Y];
  out.joyZ[1] = Trigger(raw.padAxes[PAD_RIGHT_TRIGGER]);
  const bool* b = raw.padButtons;
  // A, B, X, Y, shoulders, back and start keep their numbers 0-7.
  std::copy(b, b + PAD_GUIDE, out.buttons);
  SetDpad(out, b[PAD_DPAD_LEFT], b[PAD_DPAD_UP], b[PAD_DPAD_RIGHT], b[PAD_DPAD_DOWN]);
  out.buttons[JOY_LEFT_THUMB] = b[PAD_LEFT_THUMB];
  out.buttons[JOY_RIGHT_THUMB] = b[PAD_RIGHT_THUMB];
  out.buttons[JOY_GUIDE] = b[PAD_GUIDE];
  return out;
}

// Axes of a pad the library has no mapping for: the sticks' y axes turned
// up-positive, the layouts of two known multi-button pads mended.
void MapRawAxes(const JoyRaw& raw, int buttonCount, JoyMapped& out) {
  float a[JOY_RAW_AXES] = {};
  int axisCount = std::clamp(raw.axisCount, 0, JOY_RAW_AXES);
  std::copy(raw.axes, raw.axes + axisCount, a);
  out.joyX[0] = a[0];
  out.joyY[0] = -a[1];
  out.joyZ[0] = a[2];
  out.joyX[1] = a[3];
  out.joyY[1] = -a[4];
  out.joyZ[1] = a[5];
  if (buttonCount == 14 && axisCount == 5) {
    // Second stick on axes 4 (across) and 3 (down-positive).
    out.joyX[1] = a[4];
    out.joyY[1] = -a[3];
  } else if (buttonCount == 18 && axisCount == 4) {
    // Second stick's vertical on axis 2.
    out.joyY[1] = -a[2];
  }
}

// Buttons of a pad without a mapping. Buttons 0-7 stay; the d-pad takes
// 8-11 and the pad's own buttons from 8 on move up to 12 and beyond.
void MapRawButtons(const JoyRaw& raw, int n, JoyMapped& out) {
  const bool* b = raw.buttons;
  if (raw.hatCount > 0) {
    int hat = raw.hats[0];
    SetDpad(out, hat & JOY_HAT_LEFT, hat & JOY_HAT_UP, hat & JOY_HAT_RIGHT, hat & JOY_HAT_DOWN);
    std::copy(b, b + std::min(n, 8), out.buttons);
    for (int i = 8; i < n && i + 4 < JOY_OUT_BUTTONS; ++i) out.buttons[i + 4] = b[i];
    return;
  }
  if (n <= 12) {
    std::copy(b, b + n, out.buttons);
    return;
  }
  // More than 12 buttons and no hat: the last four are the d-pad.
  std::copy(b, b + 8, out.buttons);
  SetDpad(out, b[n - 4], b[n - 3], b[n - 2], b[n - 1]);
  for (int i = 8; i < n - 4; ++i) out.buttons[i + 4] = b[i];
}

}  // namespace

JoyMapped MapJoystick(const JoyRaw& raw) {
  if (raw.isGamepad) return MapGamepad(raw);
  JoyMapped out;
  int n = std::clamp(raw.buttonCount, 0, JOY_RAW_BUTTONS);
  MapRawAxes(raw, n, out);
  MapRawButtons(raw, n, out);
  return out;
}
