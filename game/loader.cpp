// Asset loading: images and the bitmap font in the resolution variant that
// suits the window, loaded one per update behind the loading screen, and the
// same screen's "Click to Start" mode.
#include "game/app.h"

#include <algorithm>
#include <cmath>

#include "game/screen_math.h"
#include "game/timing.h"
#include "graphics/graphics.h"

// Loader step table. Frame sizes are variant-1 pixels; every image has its
// handle at the frame's centre.
struct LoadAction {
  enum Kind { IMAGE, FONT, SOUND } kind;
  int slot;  // image or sound slot
  const char* name;
  int frameWidth, frameHeight, frames;
};
constexpr LoadAction LOAD_STEPS[] = {
    {LoadAction::IMAGE, SLOT_ICONS, "common/icons", 32, 32, 16},
    {LoadAction::IMAGE, SLOT_BUTTONS, "common/Buttons", 64, 64, 16},
    {LoadAction::IMAGE, SLOT_DPAD, "common/dpad", 32, 32, 16},
    {LoadAction::IMAGE, SLOT_LOGO, "common/ZAWKLogo", 256, 256, 1},
    {LoadAction::IMAGE, SLOT_TEST_CARD, "common/Testcard_Circle", 256, 256, 1},
    {LoadAction::FONT, SLOT_FONT, "fonts/editundo", 7, 10, 0},  // glyph advance, line height
    {LoadAction::SOUND, SFX_SPARE1, nullptr, 0, 0, 0},
    {LoadAction::SOUND, SFX_SPARE95, nullptr, 0, 0, 0},
    {LoadAction::SOUND, SFX_CHOOSE, nullptr, 0, 0, 0},
    {LoadAction::SOUND, SFX_MOVE, nullptr, 0, 0, 0},
    {LoadAction::IMAGE, SLOT_MENU_ART, "menu", 256, 256, 4},
    {LoadAction::IMAGE, SLOT_GAME_LOGO, "logo", 256, 128, 1},
    {LoadAction::IMAGE, SLOT_PARTS, "parts", 8, 8, 256},
    {LoadAction::IMAGE, SLOT_BADGE_ART, "BadgesA", 64, 64, 64},
    {LoadAction::SOUND, SFX_WON_SECOND, nullptr, 0, 0, 0},
    {LoadAction::SOUND, SFX_WON_FIRST, nullptr, 0, 0, 0},
    {LoadAction::SOUND, SFX_CRASH, nullptr, 0, 0, 0},
};

namespace {

constexpr int LOAD_STEP_COUNT = int(sizeof(LOAD_STEPS) / sizeof(LOAD_STEPS[0]));
constexpr int ICONS_STEP = 1;  // also loads the jingle
constexpr int LOGO_STEP = 4;   // also plays the jingle, once per run
constexpr int FONT_STEP = 6;

// The font: 128 glyphs of 16 x 16 variant-1 pixels in character order.
constexpr int GLYPH_PIXELS = 16;
constexpr int GLYPHS = 128;

// Loading screen.
constexpr int SPIN_STEP = 16;      // degrees per drawing
constexpr int SPINNER_DOTS = 11;
constexpr float DOT_RADIUS = 8.0f;
constexpr int BACK_RING_OFFSET = 196;  // degrees; the front ring is half a turn on

String FileName(const String& name, int assetScale) {
  return name + String(AssetSuffix(assetScale)) + String(".png");
}

}  // namespace

int c_MyApp::p_ChooseVariant() {
  const int w = bb_app_DeviceWidth(), h = bb_app_DeviceHeight();
  // A minimized window keeps the variant of its last real size.
  if ((w <= 0 || h <= 0) && m_assetScale != 0) return 0;
  m_assetScale = ChooseAssetScale(w, h);
  m_assetInvScale = 1.0f / float(m_assetScale);
  return 0;
}

int c_MyApp::p_LoadImg(int slot, String name, int frameWidth, int frameHeight, int frameCount, int flags) {
  const String file = FileName(name, m_assetScale);
  gc_assign(m_images[slot], static_cast<c_Image*>(nullptr));
  gc_assign(m_images[slot], bb_graphics_LoadImage2(file, frameWidth * m_assetScale, frameHeight * m_assetScale,
                                                   frameCount, flags));
  m_fontInfo[3 * slot] = frameWidth * m_assetScale;
  m_fontInfo[3 * slot + 1] = frameHeight * m_assetScale;
  m_fontInfo[3 * slot + 2] = frameCount;
  return 0;
}

int c_MyApp::p_LoadFont(int slot, String name, int glyphWidth, int lineHeight) {
  const String file = FileName(name, m_assetScale);
  gc_assign(m_images[slot], bb_graphics_LoadImage2(file, GLYPH_PIXELS * m_assetScale, GLYPH_PIXELS * m_assetScale,
                                                   GLYPHS, GXTK_IMAGE_MIDHANDLE));
  // Glyph metrics stay in virtual units; the glyph images are drawn scaled.
  m_fontInfo[3 * slot] = glyphWidth;
  m_fontInfo[3 * slot + 1] = lineHeight;
  m_fontInfo[3 * slot + 2] = GLYPHS;
  m_currentFont = slot;
  return 0;
}

int c_MyApp::p_Reload() {
  m_clearRed = m_clearGreen = m_clearBlue = 0.0f;
  m_clearAlpha = 1.0f;
  p_ChooseVariant();
  // The loading screen needs these before the loader reaches them.
  LoadAsset(LOAD_STEPS[LOGO_STEP - 1]);
  LoadAsset(LOAD_STEPS[FONT_STEP - 1]);
  m_loadStep = 1;
  return 0;
}

void c_MyApp::LoadStep(int step) {
  LoadAsset(LOAD_STEPS[step - 1]);
  if (step == ICONS_STEP) p_LoadSFX(SFX_JINGLE);
  if (step == LOGO_STEP && m_logoJinglePlayed == 0) {
    p_PlaySFX(SFX_JINGLE, 1.0f, 1.0f, 0.0f);
    m_logoJinglePlayed = 1;
  }
}

void c_MyApp::LoadAsset(const LoadAction& action) {
  switch (action.kind) {
    case LoadAction::IMAGE:
      p_LoadImg(action.slot, action.name, action.frameWidth, action.frameHeight, action.frames,
                GXTK_IMAGE_MIDHANDLE);
      break;
    case LoadAction::FONT:
      p_LoadFont(action.slot, action.name, action.frameWidth, action.frameHeight);
      break;
    case LoadAction::SOUND:
      p_LoadSFX(action.slot);
      break;
  }
}

int c_MyApp::p_Loader() {
  p_ChooseVariant();
  if (m_loadStep >= 1 && m_loadStep <= LOAD_STEP_COUNT) {
    LoadStep(m_loadStep);
    ++m_loadStep;
  } else {
    m_loadStep = 0;
    TimingMilestone("loaded");
  }
  p_WaitStart(1);
  return 0;
}

void c_MyApp::SpinnerRing(int angle, float grey) {
  const float R = float(int(std::min(bb_KRV_jscrw, bb_KRV_jscrh)));
  for (int i = 0; i < SPINNER_DOTS; ++i) {
    const float a = float(angle + SPIN_STEP * i) * DEG_TO_RAD;
    p_SetCol(grey, grey, grey, float(i) / 10.0f);
    p_AppendEntry(DRAW_OVAL, bb_KRV_jscrw * 0.5f + std::sin(a) * R * 0.25f,
                  bb_KRV_jscrh * 0.5f - std::cos(a) * R * 0.25f, DOT_RADIUS, DOT_RADIUS);
  }
}

int c_MyApp::p_WaitStart(int mode) {
  p_CLS2D(40.0f, 40.0f, 80.0f, 1.0f);
  const float R = float(int(std::min(bb_KRV_jscrw, bb_KRV_jscrh)));
  const int A = m_spinAngle;
  m_spinAngle = A + SPIN_STEP;
  const float cx = bb_KRV_jscrw * 0.5f, cy = bb_KRV_jscrh * 0.5f;

  if (mode == 1) {
    SpinnerRing(A + BACK_RING_OFFSET, 250.0f);
  }
  p_SetCol(255.0f, 255.0f, 0.0f, 0.8f);
  p_Oval(cx, cy, R * 0.3f, R * 0.3f);
  p_SetCol(250.0f, 160.0f, 60.0f, 0.7f);
  p_Rect(0.0f, bb_KRV_jscrh * 0.4f, bb_KRV_jscrw, bb_KRV_jscrh * 0.2f);
  p_ResetDraw();
  p_DrawImg(SLOT_LOGO, cx, bb_KRV_jscrh * 0.48f, 0.0f);
  if (mode == 1) {
    SpinnerRing(A + SPIN_STEP, 50.0f);
    return 0;
  }

  // The start prompt.
  const float py = bb_KRV_jscrh * 0.7f;
  p_SetCol(0.0f, 0.0f, 0.0f, 0.2f);
  p_SetSize(1.0f, UNSET);
  p_Oval(cx, py, 136.0f, 24.0f);
  p_Oval(cx, py, 132.0f, 20.0f);
  p_Oval(cx, py, 128.0f, 16.0f);
  p_SetSize(2.0f, 2.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_Text(cx, py, "Click to Start", 1.0f, 1.0f);

  const bool pressed = m_mouseHits > 0 || m_pointerDown > 0;
  const bool inMiddle = bb_KRV_jscrw * 0.25f < float(m_mouseX) && float(m_mouseX) < bb_KRV_jscrw * 0.75f &&
                        bb_KRV_jscrh * 0.25f < float(m_mouseY) && float(m_mouseY) < bb_KRV_jscrh * 0.75f;
  if (pressed && inMiddle) {
    m_inputLatch = 1;
    m_screen = SCREEN_MENU;
    p_Reload();
    bb_app_SetUpdateRate(UPDATE_RATE);
  }
  return 0;
}
