// The main menu: a scrolling row of eight round buttons (seven match sizes
// and the options gear) moved by keys, taps, drags and flings, the game's
// logo, the start button, and the maker's logo that opens the credits.
#include <cmath>

#include "game/menus/widgets.h"
#include "input/input.h"

using namespace menus;

namespace {

constexpr int ENTRIES = 8;
constexpr int GEAR_ENTRY = 8;
constexpr float ENTRY_PITCH = 88.0f;
constexpr float SELECTED_SCALE = 1.75f;
constexpr float SCROLL_EASE = 0.125f;  // share of the way to the target per update
constexpr float FLING_DECAY = 0.2f;
constexpr float FLING_STOP = 3.0f;
constexpr float KEY_MOVE_SETTLED = 32.0f;
constexpr float RUBBER_BAND = 8.0f;  // pull per update on a row scrolled too far
constexpr float DRAG_GAIN = 1.5f;
constexpr float DRAG_THRESHOLD = 2.0f;
// m_inputLatch of a press that became a drag: it can no longer choose.
constexpr int DRAG_LATCH = 2;
constexpr float FADE_DISTANCE = 480.0f;  // alpha falls to 0.5 over half of it
constexpr int ICON_START = 3;

// The scroll position that centres entry k.
float Centred(int k) { return float(1 - k) * ENTRY_PITCH; }

bool BoxOpen(const c_MyApp& app) {
  return app.m_creditsOpen != 0 || app.m_optionsOpen != 0 || app.m_badgesOpen != 0 || app.m_highscoresOpen != 0 ||
         app.m_highscoresSlide != 0;
}

void PlayMove(c_MyApp& app) { app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f); }

// Selects entry k and scrolls it to the centre; the row does not pick the
// entry nearest the centre until it has arrived.
void MoveTo(c_MyApp& app, int k) {
  app.m_menuEntry = k;
  app.m_menuTarget = Centred(k);
  app.m_menuFling = app.m_menuDrag = 0.0f;
  app.m_menuKeyMove = k;
  PlayMove(app);
}

void Choose(c_MyApp& app, int k) {
  if (k == GEAR_ENTRY) {
    app.m_optionsOpen = 1;
    app.m_optionsRow = 0;
  } else if (!app.p_OnlineChoose(k)) {
    app.m_gameMode = k;
    app.m_screen = SCREEN_MATCH_LOAD;
  }
  app.m_menuArmed = 0;
  app.m_inputLatch = app.m_anyKeyHeld = 1;
  app.p_PlaySFX(SFX_CHOOSE, 1.0f, 1.0f, 0.0f);
}

// The held-key exits: a hidden combination to the trail demonstration, and
// back, which ends the game (on the console it asks first). True when the
// menu has been left.
bool LeaveByKeys(c_MyApp& app) {
  if (AnyPressing(app, ACTION_EXTRA1, STICK) && AnyPressing(app, ACTION_LEFT, STICK) &&
      AnyPressing(app, ACTION_QUIT, STICK) && app.m_anyKeyHeld == 0) {
    bb_KRV_DebugMode = 1 - bb_KRV_DebugMode;
    app.m_anyKeyHeld = 1;
    app.m_screen = SCREEN_TRAIL_DEMO;
    return true;
  }
  if (app.m_anyKeyHeld != 0 || app.m_inputLatch != 0) return false;
  const bool back = AnyPressing(app, ACTION_BACK, STICK);
  if (bb_KRV_isOuya != 1) {
    if (back) bbError(String());
    return false;
  }
  if (!back && !bb_input_KeyDown(KEY_ESCAPE)) return false;
  app.m_screen = SCREEN_QUIT_CONFIRM;
  app.m_anyKeyHeld = app.m_inputLatch = 1;
  return true;
}

// Draws entry k at (x, y); true when a touch is on it.
bool DrawEntry(c_MyApp& app, int k, float x, float y, float alpha) {
  const float scale = k == app.m_menuEntry ? SELECTED_SCALE : 1.0f;
  app.p_Alpha(alpha);
  float size;
  if (k == GEAR_ENTRY) {
    size = DrawGear(app, x, y, scale);
  } else {
    app.p_SetSize(scale, UNSET);
    app.p_DrawImg(SLOT_BUTTONS, x, y, float(k - 1));
    size = FrameSize(app, SLOT_BUTTONS, scale);
  }
  app.p_ResetDraw();
  return Touched(app, x, y, size);
}

bool StartButton(c_MyApp& app, float W, float H) {
  app.p_SetSize(3.0f, 2.5f);
  app.p_SetCol(100, 255, 100, 0.3f);
  const bool hit = app.p_Button(SLOT_ICONS, W - 70, H - 48 - 4 * float(app.m_menuDrop), ICON_START) != 0;
  app.p_ResetDraw();
  return hit;
}

// A pointer on entry k: an unselected entry is selected at once; the
// selected one is chosen when the press ends without having become a drag,
// so that the row can be dragged from anywhere.
void PointAt(c_MyApp& app, int k, bool touched) {
  const bool free = app.m_inputLatch == 0 && app.m_anyKeyHeld == 0;
  if (k != app.m_menuEntry) {
    if (!touched || !free) return;
    MoveTo(app, k);
    app.m_inputLatch = app.m_anyKeyHeld = 1;
    return;
  }
  if (app.m_pointerDown == 0 && app.m_menuArmed == k) {
    app.m_hostSource = SOURCE_KEYBOARD;  // the pointer belongs to the keyboard player
    app.m_controlStyle = CONTROL_POINTER;
    Choose(app, k);
    return;
  }
  app.m_menuArmed = touched && free ? k : 0;
}

void Keys(c_MyApp& app) {
  if (AnyPressing(app, ACTION_LEFT, STICK) || AnyPressing(app, ACTION_UP, STICK)) {
    if (app.m_menuEntry > 1) {
      MoveTo(app, app.m_menuEntry - 1);
      app.m_anyKeyHeld = 1;
    }
    return;
  }
  if (AnyPressing(app, ACTION_RIGHT, STICK) || AnyPressing(app, ACTION_DOWN, STICK)) {
    if (app.m_menuEntry < ENTRIES) {
      MoveTo(app, app.m_menuEntry + 1);
      app.m_anyKeyHeld = 1;
    }
    return;
  }
  for (int source = SOURCE_KEYBOARD; source <= app.p_LastSource(); ++source) {
    for (int action : {ACTION_CONFIRM, ACTION_CANCEL, ACTION_OPTION, ACTION_QUIT}) {
      if (action == ACTION_QUIT && bb_KRV_isOuya == 1) continue;
      if (app.p_PlayKey(action, STICK, source) == 0) continue;
      app.m_hostSource = source;
      const bool keyboard = SOURCES[source + 1].kind == SourceKind::KEYBOARD_SEAT;
      app.m_controlStyle = keyboard ? CONTROL_KEYBOARD : CONTROL_JOYPAD;
      Choose(app, app.m_menuEntry);
      return;
    }
  }
  if (AnyPressing(app, ACTION_EXTRA2, STICK)) {
    app.m_anyKeyHeld = 1;
    PlayMove(app);
    app.m_creditsOpen = 1;
  }
}

// Eases the row toward its target, which a fling keeps pushing.
void Scroll(c_MyApp& app) {
  app.m_menuTarget += app.m_menuFling;
  app.m_menuScroll -= (app.m_menuScroll - app.m_menuTarget) * SCROLL_EASE;
  if (app.m_menuFling == 0.0f) return;
  app.m_menuFling *= FLING_DECAY;
  if (std::fabs(app.m_menuFling) < FLING_STOP) app.m_menuFling = 0.0f;
}

// Draws the row, the selected entry large and the far ones faded, with the
// start button; with `input`, pulls back a row scrolled past either end and
// handles the pointer. Returns the entry nearest the centre.
int DrawRow(c_MyApp& app, bool input) {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  // Along the bottom of a wide screen, down through the lower part of a
  // tall one.
  const bool wide = app.m_landscape == 1;
  const float centre = wide ? W / 2 : 0.6f * H, across = wide ? H - 96 : W / 2, length = wide ? W : H;
  int nearest = 1;
  float nearestDistance = INFINITY;
  for (int k = 1; k <= ENTRIES; ++k) {
    const float along = centre + app.m_menuScroll + float(k - 1) * ENTRY_PITCH;
    if (input && k == 1 && along > 0.75f * length) {
      app.m_menuEntry = 1;
      app.m_menuTarget -= RUBBER_BAND;
    }
    if (input && k == ENTRIES && along < (wide ? 0.25f : 0.45f) * length) {
      app.m_menuEntry = ENTRIES;
      app.m_menuTarget += RUBBER_BAND;
    }
    const float d = std::fabs(along - centre);
    const bool selected = k == app.m_menuEntry;
    const float alpha = selected ? 1.0f : d <= FADE_DISTANCE / 2 ? 1.0f - d / FADE_DISTANCE : 0.5f;
    bool touched = wide ? DrawEntry(app, k, along, across, alpha) : DrawEntry(app, k, across, along, alpha);
    if (selected && k != GEAR_ENTRY) touched = StartButton(app, W, H) || touched;
    if (input) PointAt(app, k, touched);
    if (d < nearestDistance) {
      nearest = k;
      nearestDistance = d;
    }
  }
  return nearest;
}

// A press that moves more than a little along the row drags and flings it,
// and can no longer choose anything.
void Drag(c_MyApp& app) {
  if (BoxOpen(app) || app.m_inputLatch == 1 || app.m_pointerDown == 0) return;
  const bool wide = app.m_landscape == 1;
  app.m_menuDrag = DRAG_GAIN * float(wide ? app.m_mouseX - app.m_prevMouseX : app.m_mouseY - app.m_prevMouseY);
  if (std::fabs(app.m_menuDrag) <= DRAG_THRESHOLD) return;
  app.m_inputLatch = DRAG_LATCH;
  app.m_menuFling += app.m_menuDrag;
  app.m_menuArmed = 0;
}

}  // namespace

int c_MyApp::p_Menu() {
  const float W = bb_KRV_jscrw;
  p_CLS2D(0, 0, 80, 1.0f);
  if (m_menuDrop < 0) m_menuDrop += 1;
  if (m_roundMusic == 1) {
    p_StopTune();
    m_roundMusic = 0;
  }
  if (LeaveByKeys(*this)) return 0;

  p_SetSize(1.5f, UNSET);
  p_DrawImg(SLOT_GAME_LOGO, 0.4f * W, 96 + 12 * float(m_menuDrop), 0);
  p_ResetDraw();

  if (m_menuEntry < 1 || m_menuEntry > ENTRIES) m_menuEntry = 1;
  if (m_menuEntry == GEAR_ENTRY) {
    m_gearAngle += 0.5f;
  } else {
    m_gameMode = m_menuEntry;
  }
  if (m_pointerDown == 0) m_menuDrag = 0.0f;
  Scroll(*this);

  // While a box lies over the menu the row neither moves nor chooses.
  const bool input = !BoxOpen(*this);
  if (!input) m_menuArmed = 0;
  const int nearest = DrawRow(*this, input);
  if (input && nearest != m_menuEntry && m_menuKeyMove == 0) {
    m_menuEntry = nearest;
    PlayMove(*this);
  }
  if (m_menuKeyMove != 0 && std::fabs(m_menuScroll - m_menuTarget) < KEY_MOVE_SETTLED) m_menuKeyMove = 0;
  if (m_anyKeyHeld == 0 && input) Keys(*this);

  p_SetSize(0.35f, UNSET);
  const bool logo = p_Button(SLOT_LOGO, W - 70, 32 + 4 * float(m_menuDrop), 0) != 0;
  p_ResetDraw();
  if (logo && m_inputLatch == 0 && !BoxOpen(*this)) {
    m_inputLatch = 1;
    PlayMove(*this);
    m_creditsOpen = 1;
  }
  Drag(*this);
  return 0;
}
