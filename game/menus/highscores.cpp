// The highscore view: a panel that slides down over the menu and shows one
// match size's table at a time, its top ten with ranks beside its last ten
// (newest first), the score entered last marked in both. Left and right
// step between the sizes; it opens on the size of the score entered last,
// or of the match last chosen.
#include <algorithm>

#include "game/menus/state_string.h"
#include "game/menus/widgets.h"

using namespace menus;

namespace {

constexpr float SLIDE_PER_STEP = 18.0f;  // units the panel stands higher per step short of it
constexpr float PANEL_MARGIN = 16.0f;
constexpr float TITLE_Y = 44.0f;
constexpr float SIZE_Y = 92.0f;
constexpr float ARROW_OFFSET = 150.0f;  // the arrows' distance from the centre
constexpr float ARROW_HIT = 48.0f;      // side of the square a tap on an arrow lands in
constexpr float HEADING_Y = 128.0f;
constexpr float FIRST_ROW_Y = 156.0f;
constexpr float ROW_PITCH = 26.0f;
constexpr float MARK_HEIGHT = 22.0f;
constexpr int FIRST_SIZE = 2;  // riders of table 0
constexpr int STEP_LEFT = -1, STEP_RIGHT = 1;
constexpr int CLOSE_KEYS[] = {ACTION_CONFIRM, ACTION_CANCEL, ACTION_EXTRA2};

void Step(c_MyApp& app, int step) {
  app.m_highscoreTable = (app.m_highscoreTable + step + PROGRESS_TABLES) % PROGRESS_TABLES;
  app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
}

void Close(c_MyApp& app) {
  app.m_highscoresOpen = 0;
  app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
}

// One column: its heading and ten scores, the marked place highlighted;
// `ranks` puts the rank before each score.
void Column(c_MyApp& app, float x, float top, const char* heading, int first, int marked, bool ranks) {
  app.p_SetCol(255, 255, 100, 1.0f);
  app.p_SetSize(2.0f, UNSET);
  app.p_Text(x, top + HEADING_Y, String(heading), 1, 1);
  for (int i = 0; i < PROGRESS_RANKS; ++i) {
    const float y = top + FIRST_ROW_Y + ROW_PITCH * float(i);
    if (i == marked) {
      app.p_SetCol(0, 180, 255, 0.5f);
      app.p_Rect(x - 100, y - MARK_HEIGHT / 2, 200, MARK_HEIGHT);
    }
    app.p_SetCol(255, 255, 255, 1.0f);
    if (ranks) app.p_Text(x - 90, y, String(i + 1) + String("."), 0, 1);
    app.p_Text(x + 90, y, String(app.m_highscores[first + i]), 2, 1);
  }
  app.p_SetSize(1.0f, UNSET);
}

}  // namespace

int c_MyApp::p_HighscoreView() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  const float top = -SLIDE_PER_STEP * float(BOX_SLIDE_STEPS - m_highscoresSlide);
  const int t = std::max(0, std::min(m_highscoreTable, PROGRESS_TABLES - 1));
  p_ResetDraw();
  p_SetCol(0, 0, 40, 0.9f);
  p_Rect(0.1f * W, top + PANEL_MARGIN, 0.8f * W, H - 2 * PANEL_MARGIN);
  p_SetCol(0, 180, 255, 0.8f);
  p_Rect(0.1f * W, top + PANEL_MARGIN, 0.8f * W, 4);
  p_Rect(0.1f * W, top + H - PANEL_MARGIN - 4, 0.8f * W, 4);

  p_SetCol(255, 255, 255, 1.0f);
  p_SetSize(3.0f, UNSET);
  p_Text(W / 2, top + TITLE_Y, String("Highscores"), 1, 1);
  p_SetSize(2.0f, UNSET);
  p_Text(W / 2, top + SIZE_Y, String(t + FIRST_SIZE) + String(" Riders"), 1, 1);
  p_SetCol(255, 255, 100, 1.0f);
  p_Text(W / 2 - ARROW_OFFSET, top + SIZE_Y, String("<"), 1, 1);
  p_Text(W / 2 + ARROW_OFFSET, top + SIZE_Y, String(">"), 1, 1);
  p_SetSize(1.0f, UNSET);

  const bool entered = t == m_enteredTable;
  Column(*this, 0.3f * W, top, "Top Ten", PROGRESS_RANKS * t, entered ? m_enteredRank : -1, true);
  Column(*this, 0.7f * W, top, "Last Ten", PROGRESS_LAST + PROGRESS_RANKS * t, entered ? 0 : -1, false);
  p_ResetDraw();

  // Nothing under the view reacts, and the view itself not while it slides.
  if (m_highscoresSlide != BOX_SLIDE_STEPS || m_highscoresOpen == 0) {
    m_inputLatch = m_anyKeyHeld = 1;
    return 0;
  }
  if (m_pointerDown != 0 && m_inputLatch == 0) {
    m_inputLatch = 1;
    const bool onRow = std::abs(float(m_mouseY) - (top + SIZE_Y)) < ARROW_HIT / 2;
    if (onRow && std::abs(float(m_mouseX) - (W / 2 - ARROW_OFFSET)) < ARROW_HIT / 2) {
      Step(*this, STEP_LEFT);
    } else if (onRow && std::abs(float(m_mouseX) - (W / 2 + ARROW_OFFSET)) < ARROW_HIT / 2) {
      Step(*this, STEP_RIGHT);
    } else {
      Close(*this);
    }
  }
  if (m_anyKeyHeld != 0) return 0;
  if (AnyPressing(*this, ACTION_LEFT, STICK) || AnyPressing(*this, ACTION_UP, STICK)) {
    m_anyKeyHeld = 1;
    Step(*this, STEP_LEFT);
  } else if (AnyPressing(*this, ACTION_RIGHT, STICK) || AnyPressing(*this, ACTION_DOWN, STICK)) {
    m_anyKeyHeld = 1;
    Step(*this, STEP_RIGHT);
  }
  for (int action : CLOSE_KEYS) {
    if (m_anyKeyHeld != 0 || !AnyPressing(*this, action, STICK)) continue;
    m_anyKeyHeld = 1;
    Close(*this);
  }
  return 0;
}
