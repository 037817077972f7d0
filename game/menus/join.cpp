// The join screen: players on the keyboard and four joypads join, leave and
// pick riders round the ring of squares, the player who opened the match
// sets its rules, and a key or a tap on one's own square starts it.
#include <algorithm>
#include <utility>

#include "game/menus/state_string.h"
#include "game/menus/widgets.h"

using namespace menus;

namespace {

// The riders' squares stand at their start places; stepping right goes
// clockwise round the screen.
constexpr int RINGS[MAX_RIDERS + 1][MAX_RIDERS] = {
    {}, {}, {1, 2}, {1, 2, 3}, {1, 4, 2, 3}, {1, 5, 4, 2, 3}, {1, 5, 4, 2, 6, 3}, {1, 5, 4, 2, 6, 7, 3},
    {1, 5, 8, 4, 2, 6, 7, 3},
};

struct Rule {
  int slot;
  int count;  // values 0 .. count - 1
  const char* labels[4];
  // Wrapped as soon as it changes, so it is saved in range (loading takes
  // anything else as 0); the first rules wrap only when drawn next.
  bool savedInRange;
};
constexpr Rule RULES[] = {
    {SETTING_DEATH_RULE, 2, {"Death = Line Removed", "Death = Line Remains"}, false},
    {SETTING_SPEED, 4, {"Speed = Slow", "Speed = Fast", "Speed = Extreme", "Speed = Hyper"}, false},
    {SETTING_WINNER, 4, {"Winner = Infinite", "Winner = First to 3", "Winner = First to 5", "Winner = First to 10"}, false},
    {SETTING_SKILL, SKILL_COUNT, {"Computer = Normal", "Computer = Hard", "Computer = Easy"}, true},
};
constexpr int RULE_ROWS = 4;

// The seats' legend: lines from LEGEND_TOP above the middle of the screen,
// starting LEGEND_INDENT left of it.
constexpr float LEGEND_TOP = 112.0f;
constexpr float LEGEND_PITCH = 14.0f;
constexpr float LEGEND_INDENT = 128.0f;

constexpr float SQUARE = 64.0f;
constexpr float TOUCH_SQUARE = 60.0f;
// The rider's number in its square, above the keyboard player's mark.
constexpr float NUMBER_SCALE = 2.0f;
constexpr float NUMBER_OFFSET = -17.0f;

// The rider one step round the ring from `rider` (right: clockwise).
int RingStep(int riders, int rider, bool right) {
  const int* ring = RINGS[riders];
  const int* at = std::find(ring, ring + riders, rider);
  if (at == ring + riders) return rider;
  const int i = int(at - ring);
  return ring[(i + (right ? 1 : riders - 1)) % riders];
}

// A value past either end comes round to the other.
void Wrap(const Rule& rule, int& value) {
  if (value >= rule.count) value = 0;
  if (value < 0) value = rule.count - 1;
}

// Draws the rule rows (when `draw`), the highlighted one marked, and
// brings each value back into its range, wrapping round.
void RuleRows(c_MyApp& app, bool draw) {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  app.p_SetSize(1.5f, UNSET);
  for (int r = 0; r < RULE_ROWS; ++r) {
    const Rule& rule = RULES[r];
    int& value = app.m_settings[rule.slot];
    String text(app.m_settings[SETTING_ROW] == r + 1 ? "> " : "");
    if (value >= 0 && value < rule.count) text += String(rule.labels[value]);
    if (draw) app.p_Text(W / 2 - 128, H / 2 + 48 + 16 * float(r), text, 0, 1);
    Wrap(rule, value);
  }
  app.p_SetSize(1.0f, UNSET);
}

// Whether the source presses the action. Keys that every source answers
// (Enter, Space, Ctrl, Shift, the iCade letters) belong to the keyboard
// player here: otherwise one press of Enter would also join all four
// joypads, connected or not, on the keyboard player's square. A keyboard
// cut into seats shares no such key, and its seats press for themselves.
bool Presses(c_MyApp& app, int source, int action) {
  const bool direction = action == ACTION_UP || action == ACTION_DOWN || action == ACTION_LEFT || action == ACTION_RIGHT;
  const int stick = direction ? STICK : BUTTONS_ONLY;
  if (app.p_PlayKey(action, stick, source) == 0) return false;
  // Online, each machine's input has already given the shared keys to its
  // keyboard.
  const bool own = SOURCES[source + 1].kind == SourceKind::KEYBOARD_SEAT || app.p_KeyboardSeats() > 1 ||
                   app.m_onlineShared == 1;
  return own || app.p_PlayKey(action, stick, SOURCE_KEYBOARD) == 0;
}

// A rule key of the host: acts once, sounds and saves.
void RuleKey(c_MyApp& app, int source) {
  JoinField(&app, SlotOf(source), SLOT_LATCH) = 1;
  app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  app.p_Save();
}

void HostKeys(c_MyApp& app, int source) {
  int& row = app.m_settings[SETTING_ROW];
  int& latch = JoinField(&app, SlotOf(source), SLOT_LATCH);
  if (latch == 0 && Presses(app, source, ACTION_UP)) {
    row = std::max(row - 1, 0);
    RuleKey(app, source);
  }
  if (latch == 0 && Presses(app, source, ACTION_DOWN)) {
    row = std::min(row + 1, RULE_ROWS);
    RuleKey(app, source);
  }
  if (row < 1 || row > RULE_ROWS) return;
  const Rule& rule = RULES[row - 1];
  for (const auto& [action, step] : {std::pair{ACTION_LEFT, -1}, {ACTION_RIGHT, 1}}) {
    if (latch != 0 || !Presses(app, source, action)) continue;
    int& value = app.m_settings[rule.slot];
    value += step;
    if (rule.savedInRange) Wrap(rule, value);
    RuleKey(app, source);
  }
}

void SourceKeys(c_MyApp& app, int source, int riders) {
  int& joined = JoinField(&app, SlotOf(source), SLOT_JOINED);
  int& rider = JoinField(&app, SlotOf(source), SLOT_RIDER);
  int& latch = JoinField(&app, SlotOf(source), SLOT_LATCH);
  if (source == app.m_hostSource) HostKeys(app, source);
  if (latch == 0 && joined == 0 && Presses(app, source, ACTION_CONFIRM)) {
    joined = rider = latch = 1;
  }
  if (latch == 0 && joined == 1 && Presses(app, source, ACTION_CANCEL)) {
    joined = 0;
    latch = 1;
  }
  const bool left = Presses(app, source, ACTION_LEFT), right = Presses(app, source, ACTION_RIGHT);
  if (latch == 0 && (left || right) && app.m_settings[SETTING_ROW] == 0) {
    latch = 1;
    rider = RingStep(riders, rider, right);
  }
  const bool any = left || right || Presses(app, source, ACTION_UP) || Presses(app, source, ACTION_DOWN) ||
                   Presses(app, source, ACTION_CONFIRM) || Presses(app, source, ACTION_CANCEL) ||
                   Presses(app, source, ACTION_OPTION);
  if (!any) latch = 0;
  if (rider <= 0) rider = riders;
  if (rider > riders) rider = 1;
  // The death rule toggles for anyone; saved like the host's changes, so a
  // game closed from the menu keeps it.
  if (latch == 0 && Presses(app, source, ACTION_OPTION)) {
    int& death = app.m_settings[SETTING_DEATH_RULE];
    const int next = death + 1;
    death = next == 0 || next == 1 ? next : 0;
    latch = 1;
    app.p_PlaySFX(SFX_CHOOSE, 1.0f, 1.0f, 0.0f);
    app.p_Save();
  }
}

void StartMatch(c_MyApp& app) { app.m_screen = SCREEN_ARENA_PREPARE; }

// While the keyboard is split: each seat's steer and join keys, one line
// each in the colour of its "ME!" marks, above the title.
void DrawSeatLegend(c_MyApp& app) {
  const int seats = app.p_KeyboardSeats();
  if (seats < 2) return;
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  for (int seat = 0; seat < seats; ++seat) {
    const float* ink = ME_MARK_COLOUR[SeatSource(seat) + 1];
    app.p_SetCol(ink[0], ink[1], ink[2], UNSET);
    app.p_Text(W / 2 - LEGEND_INDENT, H / 2 - LEGEND_TOP + LEGEND_PITCH * float(seat), String(SeatLegend(seat)), 0, 1);
  }
  app.p_SetCol(255, 255, 255, UNSET);
}

// Draws rider i's square with its number and the marks of the sources on
// it; a tap on it
// moves the keyboard player there, or starts the match when already there.
// Returns how many sources ride it.
int RiderSquare(c_MyApp& app, int i) {
  app.p_GetPos(i);
  const float x = float(app.m_posX), y = float(app.m_posY);
  app.p_Ink(i, 1.0f);
  app.p_Rect(x - SQUARE / 2, y - SQUARE / 2, SQUARE, SQUARE);
  app.p_Ink(i, 0.3f);
  app.p_Rect(x - TOUCH_SQUARE / 2, y - TOUCH_SQUARE / 2, TOUCH_SQUARE, TOUCH_SQUARE);
  app.p_SetCol(255, 255, 255, UNSET);
  app.p_SetSize(NUMBER_SCALE, UNSET);
  app.p_Glyph(x, y + NUMBER_OFFSET, '0' + i);
  app.p_SetSize(1.0f, UNSET);

  int& keyboardRider = JoinField(&app, SlotOf(SOURCE_KEYBOARD), SLOT_RIDER);
  if (app.p_MouseIn_Centered(x, y, TOUCH_SQUARE, TOUCH_SQUARE) != 0 && app.m_inputLatch == 0 &&
      JoinField(&app, SlotOf(SOURCE_KEYBOARD), SLOT_JOINED) == 1) {
    if (keyboardRider == i) StartMatch(app);
    keyboardRider = i;
    app.m_inputLatch = 1;
    app.p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  }

  int riding = 0;
  for (int source = SOURCE_KEYBOARD; source <= app.p_LastSource(); ++source) {
    const int slot = SlotOf(source);
    if (JoinField(&app, slot, SLOT_JOINED) != 1 || JoinField(&app, slot, SLOT_RIDER) != i) continue;
    ++riding;
    app.p_JoinMark(slot, x, y, UNSET);
  }
  app.p_SetCol(255, 255, 255, UNSET);
  return riding;
}

}  // namespace

int c_MyApp::p_GameSelect() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  const int riders = std::clamp(m_gameMode + 1, 2, MAX_RIDERS);
  p_CLS2D(0, 0, 80, 1.0f);
  for (int source = SOURCE_KEYBOARD; source <= p_LastSource(); ++source) {
    RuleRows(*this, source == SOURCE_KEYBOARD);
    SourceKeys(*this, source, riders);
  }

  p_SetSize(2.0f, UNSET);
  p_Text(W / 2, H / 2 - 32, String("Join The Game!"), 1, 1);
  p_SetSize(1.0f, UNSET);
  p_Text(W / 2, H / 2, String("Join  \xACJ  |  \xACK  Leave"), 1, 1);
  DrawSeatLegend(*this);

  bool shared = false;
  for (int i = 1; i <= riders; ++i) shared = RiderSquare(*this, i) > 1 || shared;
  p_ResetDraw();

  bool anyone = false;
  for (int slot = 0; slot < JOIN_SLOTS; ++slot) anyone = anyone || JoinField(this, slot, SLOT_JOINED) == 1;
  if (!anyone) {
    m_screen = SCREEN_MENU;
    m_anyKeyHeld = 1;
  }
  for (int source = SOURCE_KEYBOARD; source <= p_LastSource() && !shared; ++source) {
    if (JoinField(this, SlotOf(source), SLOT_JOINED) == 1 && JoinField(this, SlotOf(source), SLOT_LATCH) == 0 &&
        Presses(*this, source, ACTION_CONFIRM)) {
      StartMatch(*this);
    }
  }

  m_demoMode = 0;
  if (AnyPressing(*this, ACTION_EXTRA1, BUTTONS_ONLY) && AnyPressing(*this, ACTION_EXTRA2, BUTTONS_ONLY)) {
    for (int k = 0; k < ALL_SLOTS; ++k) {
      JoinField(this, k, SLOT_JOINED) = JoinField(this, k, SLOT_RIDER) = JoinField(this, k, SLOT_LATCH) = 0;
    }
    m_demoMode = 1;
    StartMatch(*this);
  }
  return 0;
}
