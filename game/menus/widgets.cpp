// Pictures and tests shared by the menu screens and boxes.
#include "game/menus/widgets.h"

#include <algorithm>

#include "game/menus/state_string.h"

namespace menus {

namespace {

// The gear's three frames and how fast each turns with the gear angle.
constexpr int GEAR_FRAMES[] = {8, 9, 10};
constexpr float GEAR_TURNS[] = {0.66f, -0.33f, -1.0f};

constexpr int OVERSCAN_MIN = 1;
constexpr int OVERSCAN_MAX = 96;
constexpr int OVERSCAN_STEP = 16;
// Below this margin a tap on the gauge jumps to the largest, else to the
// smallest.
constexpr float OVERSCAN_TAP_SPLIT = 32.0f;
constexpr float GAUGE_WIDTH = 256.0f;
// Virtual units per pixel of margin along the gauge.
constexpr float GAUGE_UNITS = 2.67f;

}  // namespace

int SourcePressing(c_MyApp& app, int action, int withStick) {
  for (int source = SOURCE_KEYBOARD; source <= app.p_LastSource(); ++source) {
    if (app.p_PlayKey(action, withStick, source) != 0) return source;
  }
  return NO_SOURCE;
}

bool AnyPressing(c_MyApp& app, int action, int withStick) {
  return SourcePressing(app, action, withStick) != NO_SOURCE;
}

float FrameSize(const c_MyApp& app, int slot, float scale) {
  return float(app.m_fontInfo[3 * slot]) * app.m_assetInvScale * scale;
}

float DrawGear(c_MyApp& app, float x, float y, float scale) {
  app.p_SetSize(scale, UNSET);
  for (int i = 0; i < 3; ++i) {
    app.p_SetRot(GEAR_TURNS[i] * app.m_gearAngle);
    app.p_DrawImg(SLOT_BUTTONS, x, y, float(GEAR_FRAMES[i]));
  }
  app.p_SetRot(0.0f);
  app.p_SetSize(1.0f, UNSET);
  return FrameSize(app, SLOT_BUTTONS, scale);
}

bool Touched(c_MyApp& app, float x, float y, float size) {
  return app.m_pointerDown > 0 && app.p_MouseIn_Centered(x, y, size, size) != 0;
}

void OverscanGauge(c_MyApp& app, float centreX, float titleY, float barY, int& keyLatch) {
  int& overscan = app.m_settings[SETTING_OVERSCAN];
  const float markerY = titleY - 8.0f;
  app.p_ResetDraw();
  app.p_SetSize(2.0f, UNSET);
  app.p_Text(centreX, titleY, String("L1 <      Overscan      > R1"), 1.0f, 1.0f);
  app.p_SetSize(1.0f, UNSET);
  app.p_SetCol(0.0f, 128.0f, 255.0f, 0.5f);
  app.p_Rect(centreX - GAUGE_WIDTH / 2, barY, GAUGE_WIDTH, 9.0f);
  app.p_SetCol(255.0f, 255.0f, 0.0f, 0.75f);
  app.p_Rect(float(overscan) * GAUGE_UNITS + centreX - GAUGE_WIDTH / 2 - 4.0f, markerY, 8.0f, 16.0f);
  app.p_ResetDraw();

  if (app.m_inputLatch == 0 && app.p_MouseIn_Centered(centreX, markerY, GAUGE_WIDTH, 16.0f) != 0) {
    app.m_inputLatch = 1;
    app.p_PlaySFX(SFX_CHOOSE, 1.0f, 1.0f, 0.0f);
    overscan = bb_KRV_overscan < OVERSCAN_TAP_SPLIT ? OVERSCAN_MAX : OVERSCAN_MIN;
  }
  if (keyLatch == 0 && AnyPressing(app, ACTION_EXTRA1, BUTTONS_ONLY)) {
    overscan -= OVERSCAN_STEP;
    keyLatch = 1;
  }
  if (keyLatch == 0 && AnyPressing(app, ACTION_EXTRA2, BUTTONS_ONLY)) {
    overscan += OVERSCAN_STEP;
    keyLatch = 1;
  }
  overscan = std::clamp(overscan, OVERSCAN_MIN, OVERSCAN_MAX);
  bb_KRV_overscan = float(overscan);
}

}  // namespace menus
