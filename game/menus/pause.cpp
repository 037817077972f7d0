// The pause menu that drops over a running match (quit, resume, options),
// and the quit confirmation screen.
#include <cmath>

#include "game/menus/widgets.h"

using namespace menus;

namespace {

constexpr int PAUSE_SLIDE = 24;     // units per update
constexpr int PAUSE_GONE = -63;     // at or above this the box still shows
constexpr int PAUSE_CLOSED = -32;   // sliding out past this ends the pause
constexpr int ROW_QUIT = -1, ROW_RESUME = 0, ROW_OPTIONS = 1;
constexpr int ICON_QUIT = 1, ICON_RESUME = 3, ICON_CURSOR = 6;

// Sound 98 at half volume, its pitch telling the moves apart.
void Chime(c_MyApp& app, float rate) { app.p_PlaySFX(SFX_CHOOSE, rate, 0.5f, 0.0f); }

// The box slides out; play goes on once it is gone.
void Resume(c_MyApp& app) {
  app.m_pauseDir = -1;
  Chime(app, 1.0f);
}

// The match ends through its game-over sequence.
void QuitMatch(c_MyApp& app) {
  app.m_paused = 0;
  app.m_pauseDir = -1;
  app.m_pauseY = -64;
  app.m_gameOver = 1;
  Chime(app, 0.5f);
}

void MoveCursor(c_MyApp& app, int row, float rate) {
  app.m_pauseRow = row;
  app.m_anyKeyHeld = 1;
  Chime(app, rate);
}

void CursorMark(c_MyApp& app, float x, float y) {
  app.p_SetSize(2.5f, UNSET);
  app.p_SetCol(255, 255, 100, 1.0f);
  app.p_DrawImg(SLOT_ICONS, x, y, float(ICON_CURSOR));
  app.p_ResetDraw();
}

// A round button of the icons image; true when a touch is on it.
bool IconButton(c_MyApp& app, float x, float y, int icon, float r, float g, float b) {
  app.p_SetSize(2.0f, UNSET);
  app.p_SetCol(r, g, b, 1.0f);
  const bool hit = app.p_Button(x, y, icon) != 0;
  app.p_ResetDraw();
  return hit;
}

bool Pressing(c_MyApp& app, int action) {
  return AnyPressing(app, action, action == ACTION_CONFIRM ? BUTTONS_ONLY : STICK);
}

void DrawBacking(c_MyApp& app, float W, float s) {
  const bool wide = app.m_landscape == 1;
  const float bar = wide ? 256.0f : 192.0f, panelW = wide ? 280.0f : 256.0f, panelH = wide ? 104.0f : 160.0f;
  const float barTop = wide ? s - 64 : s - 92, barBottom = wide ? s + 56 : s + 84;
  app.p_SetCol(255, 255, 10, 0.6f);
  app.p_Rect(W / 2 - bar / 2, barTop, bar, 8);
  app.p_SetCol(255, 150, 10, 0.7f);
  app.p_Rect(W / 2 - panelW / 2, s - panelH / 2, panelW, panelH);
  app.p_SetCol(10, 150, 255, 0.6f);
  app.p_Rect(W / 2 - bar / 2, barBottom, bar, 8);
  app.p_ResetDraw();
}

}  // namespace

int c_MyApp::p_PauseMenu() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  p_ResetDraw();
  p_SetCol(0, 0, 0, std::fabs(float(m_pauseY)) / (0.8f * H));
  p_Rect(-1, -1, W + 2, H + 2);
  p_ResetDraw();

  if (m_pauseDir == 1 && float(m_pauseY) < H / 2) m_pauseY += PAUSE_SLIDE;
  if (m_pauseDir == -1) {
    if (m_pauseY < PAUSE_GONE) {
      m_paused = 0;
    } else {
      m_pauseY -= PAUSE_SLIDE;
      if (m_pauseY < PAUSE_CLOSED) m_paused = 0;
    }
  }
  const float s = float(m_pauseY);
  DrawBacking(*this, W, s);
  if (bb_KRV_isOuya == 1) OverscanGauge(*this, W / 2, s - 150, s - 154, m_anyKeyHeld);

  const bool wide = m_landscape == 1;
  const float sideX = wide ? 140.0f : 96.0f, sideY = wide ? s - 64 : s - 96;

  if (IconButton(*this, W / 2, s, ICON_RESUME, 50, 50, 250) && m_inputLatch == 0) {
    Resume(*this);
    m_inputLatch = 1;
  }
  if (m_pauseRow == ROW_RESUME) {
    CursorMark(*this, W / 2, s);
    if (m_anyKeyHeld == 0 && Pressing(*this, ACTION_CONFIRM)) {
      Resume(*this);
      m_anyKeyHeld = 1;
    } else if (m_anyKeyHeld == 0 && (Pressing(*this, ACTION_LEFT) || Pressing(*this, ACTION_UP))) {
      MoveCursor(*this, ROW_QUIT, 0.8f);
    } else if (m_anyKeyHeld == 0 && Pressing(*this, ACTION_RIGHT)) {
      MoveCursor(*this, ROW_OPTIONS, 1.2f);
    }
  }

  if (IconButton(*this, W / 2 - sideX, sideY, ICON_QUIT, 255, 50, 50) && m_inputLatch == 0) {
    QuitMatch(*this);
    m_inputLatch = 1;
  }
  if (m_pauseRow == ROW_QUIT) {
    CursorMark(*this, W / 2 - sideX, sideY);
    if (m_anyKeyHeld == 0 && Pressing(*this, ACTION_CONFIRM)) {
      QuitMatch(*this);
      m_anyKeyHeld = m_inputLatch = 1;
    } else if (m_anyKeyHeld == 0 && (Pressing(*this, ACTION_RIGHT) || Pressing(*this, ACTION_DOWN))) {
      MoveCursor(*this, ROW_RESUME, 0.8f);
    }
  }

  if (m_optionsOpen == 0) m_gearAngle += 0.2f;
  const float gear = DrawGear(*this, W / 2 + sideX, sideY, 1.0f);
  if (Touched(*this, W / 2 + sideX, sideY, gear) && m_inputLatch == 0) {
    m_optionsOpen = 1;
    m_inputLatch = 1;
    p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  }
  if (m_pauseRow == ROW_OPTIONS) {
    CursorMark(*this, W / 2 + sideX, sideY);
    if (m_anyKeyHeld == 0 && Pressing(*this, ACTION_CONFIRM)) {
      m_optionsOpen = 1;
      m_anyKeyHeld = 1;
      Chime(*this, 1.0f);
    } else if (m_anyKeyHeld == 0 && (Pressing(*this, ACTION_LEFT) || Pressing(*this, ACTION_DOWN))) {
      MoveCursor(*this, ROW_RESUME, 0.8f);
    }
  }

  if (m_anyKeyHeld == 0 && AnyPressing(*this, ACTION_BACK, STICK)) {
    Resume(*this);
    m_anyKeyHeld = 1;
  }
  return 0;
}

namespace {

struct QuitLine {
  const char* text;
  float scale, step;  // step down to the next line
};
const QuitLine QUIT_LINES[] = {
    {"It looks like you're", 3, 32},
    {"trying to QUIT!", 3, 36},
    {"Are you absolutely sure", 2, 20},
    {"you want to quit the game?", 2, 28},
    {"Isn't this fun?", 2, 38},
    {"It'll be a shame to see you go.", 2, 38},
    {"Press \xACK to Quit", 2, 20},
    {"or \xACJ to return to the fun!", 2, 20},
};

}  // namespace

int c_MyApp::p_OuyaQuit() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  // A plain grey background behind the test card and the texts.
  p_CLS2D(180, 180, 180, 1.0f);
  p_SetSize(3.0f, UNSET);
  p_DrawImg(SLOT_TEST_CARD, W / 2, H / 2, 0);
  // A dark panel keeps the texts readable over the test card.
  p_ResetDraw();
  p_SetCol(0, 0, 0, 0.6f);
  p_Rect(0.65f * W - 210, 0.3f * H - 30, 420, 262);
  p_ResetDraw();
  float y = 0.3f * H;
  for (const QuitLine& line : QUIT_LINES) {
    p_SetSize(line.scale, UNSET);
    p_Text(0.65f * W, y, String(line.text), 1, 1);
    y += line.step;
  }
  p_ResetDraw();

  if (m_inputLatch != 0 || m_anyKeyHeld != 0) return 0;
  if (AnyPressing(*this, ACTION_CONFIRM, BUTTONS_ONLY)) {
    m_screen = SCREEN_MENU;
    m_inputLatch = m_anyKeyHeld = 1;
    return 0;
  }
  if (AnyPressing(*this, ACTION_CANCEL, BUTTONS_ONLY) || AnyPressing(*this, ACTION_OPTION, BUTTONS_ONLY) ||
      AnyPressing(*this, ACTION_BACK, BUTTONS_ONLY)) {
    bbError(String());
  }
  return 0;
}
