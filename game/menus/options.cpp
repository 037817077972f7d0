// The options box: a panel that slides up over the menu or the paused match
// with the sound mode, the iCade mode, the window mode, the players at the
// keyboard, the riders' palette and the ways to the highscores, the badges
// and the credits, driven by taps or by a cursor that keys move.
#include <algorithm>

#include "game/menus/state_string.h"
#include "game/menus/widgets.h"

using namespace menus;

namespace {

enum class Row { SOUND, ICADE, WINDOW, KEYBOARD, COLOURS, HIGHSCORES, BADGES, ONLINE_HOST, ONLINE_JOIN, CREDITS };
constexpr int MAX_ROWS = 10;

// The rows shown now, in order; row number r + 1 is rows[r].
struct Rows {
  Row rows[MAX_ROWS];
  int count = 0;
};

Rows ShownRows(const c_MyApp& app) {
  Rows r;
  r.rows[r.count++] = Row::SOUND;
  if (bb_KRV_isOuya != 1) r.rows[r.count++] = Row::ICADE;
  r.rows[r.count++] = Row::WINDOW;
  // The seats are taken when a match is joined, so not during one.
  if (app.m_paused == 0) r.rows[r.count++] = Row::KEYBOARD;
  r.rows[r.count++] = Row::COLOURS;
  // The boxes these open lie over the menu, not over a paused match, and
  // sessions open and close from the menu.
  if (app.m_paused == 0) {
    r.rows[r.count++] = Row::HIGHSCORES;
    r.rows[r.count++] = Row::BADGES;
    if (app.m_onlineShared == 0) {
      r.rows[r.count++] = Row::ONLINE_HOST;
      r.rows[r.count++] = Row::ONLINE_JOIN;
    }
    r.rows[r.count++] = Row::CREDITS;
  }
  return r;
}

// Rows stand ROW_PITCH apart from LIST_TOP down (closer when the screen is
// too short for them all), the credits row a little further.
constexpr float LIST_TOP = 130.0f;
constexpr float BOTTOM_GAP = 8.0f;
constexpr float ROW_PITCH = 40.0f;
constexpr float CREDITS_PITCH = 50.0f;
constexpr float ROW_HEIGHT = 24.0f;
constexpr float CREDITS_WIDTH = 180.0f;

const char* const STREAM_SOUND_LABELS[] = {"Sound : Off", "Sound : SFX + Music", "Sound : SFX", "Sound : Music"};
const char* const PLAIN_SOUND_LABELS[] = {"Sound : Off", "Sound : On"};
constexpr int STREAM_SOUND_MODES = 4;
constexpr int PLAIN_SOUND_MODES = 2;

int SoundModes() { return bb_KRV_HasMusicStream == 1 ? STREAM_SOUND_MODES : PLAIN_SOUND_MODES; }

// The label of a row; a sound mode this build cannot play shows nothing
// and becomes 0.
String Label(c_MyApp& app, Row row) {
  int& mode = app.m_settings[SETTING_SOUND_MODE];
  switch (row) {
    case Row::SOUND:
      if (mode < 0 || mode >= SoundModes()) {
        mode = 0;
        return String();
      }
      return String(bb_KRV_HasMusicStream == 1 ? STREAM_SOUND_LABELS[mode] : PLAIN_SOUND_LABELS[mode]);
    case Row::ICADE:
      return String(bb_KRV_iCadeControls == 1 ? "iCade : On" : "iCade : Off");
    case Row::WINDOW:
      return String(app.m_fullScreen == 1 ? "Windowed" : "Fullscreen");
    case Row::KEYBOARD: {
      const int seats = app.m_settings[SETTING_KEYBOARD_SEATS] + 1;
      return String("Keyboard : ") + String(seats) + String(seats == 1 ? " Player" : " Players");
    }
    case Row::COLOURS:
      return String(app.m_settings[SETTING_COLOURS] == PALETTE_CLEAR ? "Colours : Clear" : "Colours : Classic");
    case Row::HIGHSCORES:
      return String("Highscores");
    case Row::BADGES:
      return String("Badges");
    case Row::ONLINE_HOST:
    case Row::ONLINE_JOIN:
      return app.p_OnlineLabel(row == Row::ONLINE_HOST);
    case Row::CREDITS:
      return String("Credits");
  }
  return String();
}

void Close(c_MyApp& app) {
  app.m_optionsOpen = 0;
  app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  app.p_Save();
}

// The box closes for another one. Saved too, so that nothing chosen here is
// lost when the game is closed from the menu (which saves nothing).
void LeaveFor(c_MyApp& app) {
  app.m_optionsOpen = 0;
  app.m_optionsKeyLatch = app.m_optionsTapLatch = 0;
  app.p_Save();
}

void Activate(c_MyApp& app, Row row) {
  int& mode = app.m_settings[SETTING_SOUND_MODE];
  switch (row) {
    case Row::SOUND:
      mode = (mode + 1) % SoundModes();
      if (mode == 0 || mode == 2) app.p_StopTune();  // modes without music
      break;
    case Row::ICADE:
      bb_KRV_iCadeControls = 1 - bb_KRV_iCadeControls;
      app.p_iCade(bb_KRV_iCadeControls);
      for (int i = 0; i < GAME_PAD_BUTTONS; ++i) app.m_padButtons[i] = 0;
      break;
    case Row::WINDOW:
      app.p_FullscreenFlip();
      break;
    case Row::KEYBOARD: {
      int& seats = app.m_settings[SETTING_KEYBOARD_SEATS];
      seats = (seats + 1) % MAX_KEYBOARD_SEATS;
      break;
    }
    case Row::COLOURS:
      app.m_settings[SETTING_COLOURS] = app.m_settings[SETTING_COLOURS] == PALETTE_CLEAR ? PALETTE_CLASSIC : PALETTE_CLEAR;
      break;
    case Row::HIGHSCORES:
      app.m_highscoreTable = app.m_enteredTable >= 0 ? app.m_enteredTable : app.m_gameMode - 1;
      app.m_highscoresOpen = 1;
      return LeaveFor(app);
    case Row::BADGES:
      app.m_badgesOpen = 1;
      return LeaveFor(app);
    case Row::ONLINE_HOST:
    case Row::ONLINE_JOIN:
      app.p_OnlineRow(row == Row::ONLINE_HOST);
      break;
    case Row::CREDITS:
      app.m_creditsOpen = 1;
      return LeaveFor(app);
  }
  app.m_optionsKeyLatch = app.m_optionsTapLatch = 1;
  app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
}

constexpr int ROW_KEYS[] = {ACTION_CONFIRM, ACTION_CANCEL, ACTION_OPTION, ACTION_QUIT, ACTION_EXTRA1, ACTION_EXTRA2};
constexpr int CLOSE_KEYS[] = {ACTION_EXTRA2, ACTION_CONFIRM, ACTION_CANCEL};
constexpr int DIRECTIONS[] = {ACTION_UP, ACTION_LEFT, ACTION_RIGHT, ACTION_DOWN};

template <size_t N>
bool AnyOf(c_MyApp& app, const int (&actions)[N]) {
  return std::any_of(actions, actions + N, [&app](int a) { return AnyPressing(app, a, BUTTONS_ONLY); });
}

bool KeyHeld(c_MyApp& app) {
  return AnyOf(app, ROW_KEYS) || AnyPressing(app, ACTION_BACK, BUTTONS_ONLY) ||
         std::any_of(DIRECTIONS, DIRECTIONS + 4, [&app](int a) { return AnyPressing(app, a, STICK); });
}

void MoveCursor(c_MyApp& app, int step) {
  app.m_optionsRow += step;
  app.m_optionsKeyLatch = 1;
  app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
}

// The pitch at which the rows shown, from LIST_TOP, end above the bottom.
float RowPitch(const Rows& rows) {
  const bool credits = rows.rows[rows.count - 1] == Row::CREDITS;
  const float room = bb_KRV_jscrh - LIST_TOP - ROW_HEIGHT - BOTTOM_GAP - (credits ? CREDITS_PITCH - ROW_PITCH : 0.0f);
  return rows.count > 1 ? std::min(ROW_PITCH, room / float(rows.count - 1)) : ROW_PITCH;
}

void DrawRows(c_MyApp& app, const Rows& rows, float top) {
  const float W = bb_KRV_jscrw, pitch = RowPitch(rows);
  float x = 100.0f, y = top;
  for (int r = 0; r < rows.count; ++r) {
    const Row row = rows.rows[r];
    const bool credits = row == Row::CREDITS;
    if (credits) {
      x = W - 264.0f;
      y += CREDITS_PITCH - ROW_PITCH;
    }
    const bool cursor = app.m_optionsRow == r + 1;
    app.p_SetCol(0, cursor ? 180.0f : 0.0f, cursor ? 255.0f : 160.0f, 0.5f);
    const bool tapped = credits ? app.p_Touch(x - 16, y - 2, CREDITS_WIDTH, ROW_HEIGHT) != 0
                                : app.p_Touch(84, y - 2, W - 168, ROW_HEIGHT) != 0;
    app.p_SetCol(255, 255, 255, 1.0f);
    app.p_SetSize(2.0f, UNSET);
    app.p_Text(x, y, Label(app, row), 0, 0);
    app.p_SetSize(1.0f, UNSET);
    const bool keyed = cursor && AnyOf(app, ROW_KEYS);
    if ((tapped || keyed) && app.m_optionsKeyLatch == 0 && app.m_optionsTapLatch == 0) {
      app.m_optionsRow = r + 1;
      Activate(app, row);
    }
    y += pitch;
  }
}

}  // namespace

int c_MyApp::p_OptionBox() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  const int s = m_optionsSlide;
  p_ResetDraw();
  if (bb_KRV_isOuya == 1) {
    for (float x : {0.0f, W - 16}) {
      for (float y : {0.0f, H - 16}) {
        p_Rect(x, y + (y > 0 ? 8 : 0), 16, 8);
        p_Rect(x + (x > 0 ? 8 : 0), y, 8, 16);
      }
    }
  }
  // Nothing under the box reacts, and the box itself not while it slides
  // or while an address is typed.
  m_inputLatch = m_anyKeyHeld = 1;
  if (s != BOX_SLIDE_STEPS) m_optionsKeyLatch = m_optionsTapLatch = 1;
  if (m_onlineEditing == 1) {
    p_OnlineEntry();
    m_optionsKeyLatch = 1;
  }

  p_SetCol(150, 75, 0, 0.85f);
  p_Rect(50, float((BOX_SLIDE_STEPS - s) * 24), W - 100, H);
  p_ResetDraw();

  const Rows rows = ShownRows(*this);
  m_optionsRow = std::min(m_optionsRow, rows.count);
  const float gearX = float(12 * s - 260);
  m_gearAngle += 0.2f;
  const float gear = DrawGear(*this, gearX, 60, m_optionsRow == 0 ? 2.0f : 1.5f);
  p_SetSize(2.0f, UNSET);
  p_Text(gearX + 76, 60, String("<[BACK]"), 0, 1);
  p_SetSize(1.0f, UNSET);
  if ((Touched(*this, gearX, 60, gear) || AnyPressing(*this, ACTION_BACK, BUTTONS_ONLY)) && m_optionsKeyLatch == 0 &&
      m_optionsTapLatch == 0) {
    Close(*this);
  }

  if (bb_KRV_isOuya == 1) {
    const float y = float(12 * s - 268);
    OverscanGauge(*this, 0.6f * W, y, y - 5, m_optionsKeyLatch);
  }
  DrawRows(*this, rows, float((BOX_SLIDE_STEPS - s) * 24) + LIST_TOP);

  if (m_optionsKeyLatch == 0) {
    if (m_optionsRow == 0 && AnyOf(*this, CLOSE_KEYS)) {
      m_optionsKeyLatch = 1;
      Close(*this);
    } else if (AnyPressing(*this, ACTION_UP, STICK) || AnyPressing(*this, ACTION_LEFT, STICK)) {
      if (m_optionsRow > 0) MoveCursor(*this, -1);
    } else if (AnyPressing(*this, ACTION_DOWN, STICK) || AnyPressing(*this, ACTION_RIGHT, STICK)) {
      if (m_optionsRow < rows.count) MoveCursor(*this, 1);
    }
  }
  if (m_pointerDown == 0) m_optionsTapLatch = 0;
  if (!KeyHeld(*this)) m_optionsKeyLatch = 0;
  p_ResetDraw();
  return 0;
}
