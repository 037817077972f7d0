// Several players at one keyboard and joypads that come and go, through the
// stepping harness: which seat each key answers, seats choosing, joining,
// starting and steering, the options row that cuts the keyboard, the marks
// of eight players on one square, and a joined joypad pulled out during a
// round.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "game/match/match.h"
#include "tests/game/harness.h"
#include "tests/support/support.h"

using namespace zephrine_test;

using Seats = GameTest; using Pads = GameTest;

namespace {

// The keyboard's codes; 1 to 3 are the mouse buttons.
constexpr int FIRST_KEY = 4, LAST_KEY = 255;

constexpr int ACTIONS[] = {ACTION_UP,     ACTION_LEFT, ACTION_RIGHT,  ACTION_DOWN,   ACTION_CONFIRM, ACTION_CANCEL,
                           ACTION_OPTION, ACTION_QUIT, ACTION_EXTRA1, ACTION_EXTRA2, ACTION_BACK};
using match::R_CONTROL, match::R_DEATH, match::R_DIR, match::R_NUMBER;

int& Joined(c_MyApp* app, int source) { return JoinField(app, SlotOf(source), SLOT_JOINED); }
int& Rider(c_MyApp* app, int source) { return JoinField(app, SlotOf(source), SLOT_RIDER); }
float& RiderField(c_MyApp* app, int p, int field) { return match::Rider(app, p, field); }

// The game on the main menu with entry `entry` selected, nothing held, no
// joypad, the keyboard cut into `seats`.
GameHarness& OnMenu(int seats, int entry) {
  GameHarness& h = Loaded();
  for (int key = FIRST_KEY; key <= LAST_KEY; ++key) h.KeyUp(key);
  for (int port = 0; port < 4; ++port) h.SetPad(port, PadInput());
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  app->m_creditsOpen = app->m_optionsOpen = app->m_badgesOpen = app->m_paused = app->m_gameOverTimer = 0;
  app->m_pauseDir = -1;
  app->m_settings[SETTING_KEYBOARD_SEATS] = seats - 1;
  app->m_menuEntry = entry;
  app->m_menuTarget = app->m_menuScroll = float(1 - entry) * 88.0f;
  h.Update(31);  // boxes slide out, latches clear
  return h;
}

void Until(GameHarness& h, int screen) {
  for (int i = 0; i < 400 && h.App()->m_screen != screen; ++i) h.Update();
  ASSERT_EQ(h.App()->m_screen, screen);
}

// Every (source, action) that answers now.
std::set<std::pair<int, int>> Answers(c_MyApp* app) {
  std::set<std::pair<int, int>> answers;
  for (int source = SOURCE_KEYBOARD; source <= SOURCE_LAST; ++source) {
    for (int action : ACTIONS) {
      if (app->p_PlayKey(action, STICK, source) != 0) answers.insert({source, action});
    }
  }
  return answers;
}

// The "ME!" marks drawn: the centre of each.
std::vector<std::pair<float, float>> Marks(const GameHarness& h) {
  const std::vector<DrawEntry> glyphs = h.EntriesOf(float(SLOT_FONT));
  std::vector<std::pair<float, float>> marks;
  for (size_t i = 0; i + 2 < glyphs.size(); ++i) {
    const bool me = glyphs[i].frame == 'M' - 32 && glyphs[i + 1].frame == 'E' - 32 && glyphs[i + 2].frame == '!' - 32;
    if (me && glyphs[i].y == glyphs[i + 2].y) marks.push_back({(glyphs[i].x + glyphs[i + 2].x) / 2, glyphs[i].y});
  }
  return marks;
}

// With ZEPHRINE_SHOTS naming a folder, the window as it stands goes there
// as `name`.png for a person to look at.
void Keep(GameHarness& h, const std::string& name) {
  const char* folder = std::getenv("ZEPHRINE_SHOTS");
  if (!folder) return;
  const std::vector<unsigned> argb = h.Screenshot();
  std::vector<unsigned char> rgb;
  for (unsigned p : argb) rgb.insert(rgb.end(), {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p});
  WritePng(std::string(folder) + "/" + name + ".png", h.DeviceWidth(), h.DeviceHeight(), 3, rgb.data());
}

}  // namespace

// Which key moves which seat the join and menu tests play; here, that no key
// of the 33 the four seats use answers two seats or a joypad, and that the
// back keys of the whole keyboard answer every seat.
TEST_F(Seats, EachKeyOfAKeyboardCutInFourAnswersOneSeatAloneAndNoJoypad) {
  GameHarness& h = OnMenu(4, 1);
  c_MyApp* app = h.App();
  const std::set<int> everyones = {KEY_ESCAPE, KEY_GRAVE, KEY_DELETE, KEY_BACKSPACE};
  int seatKeys = 0;
  for (int key = FIRST_KEY; key <= LAST_KEY; ++key) {
    h.KeyDown(key);
    std::set<int> seats;
    for (const auto& [source, action] : Answers(app)) {
      EXPECT_TRUE(source == SOURCE_KEYBOARD || source >= SOURCE_FIRST_SEAT) << "key " << key << ", source " << source;
      seats.insert(source);
    }
    h.KeyUp(key);
    if (everyones.count(key)) {
      EXPECT_EQ(seats.size(), size_t(MAX_KEYBOARD_SEATS)) << "key " << key;
      continue;
    }
    EXPECT_LE(seats.size(), 1u) << "key " << key;
    seatKeys += int(seats.size());
  }
  EXPECT_EQ(seatKeys, 33);
  // A joypad still answers its own buttons.
  PadInput pad;
  pad.present = pad.buttons[JOY_A] = true;
  h.SetPad(2, pad);
  h.Update();
  EXPECT_EQ(Answers(app), (std::set<std::pair<int, int>>{{2, ACTION_CONFIRM}}));
}

TEST_F(Seats, WithOnePlayerTheOtherSeatsAreSilentAndEveryJoypadStillAnswersEnter) {
  GameHarness& h = OnMenu(1, 1);
  c_MyApp* app = h.App();
  for (int key = FIRST_KEY; key <= LAST_KEY; ++key) {
    h.KeyDown(key);
    for (const auto& [source, action] : Answers(app)) EXPECT_LT(source, SOURCE_FIRST_SEAT) << "key " << key;
    h.KeyUp(key);
  }
  h.KeyDown(KEY_ENTER);
  EXPECT_EQ(
      Answers(app),
      (std::set<std::pair<int, int>>{
          {-1, ACTION_CONFIRM}, {0, ACTION_CONFIRM}, {1, ACTION_CONFIRM}, {2, ACTION_CONFIRM}, {3, ACTION_CONFIRM}}));
}

TEST_F(Seats, AnySeatMovesTheMenuAndTheSeatThatChoosesHostsTheMatchOnRiderOne) {
  const struct {
    int move, choose, host;
  } cases[] = {{KEY_D, KEY_Z, -1}, {KEY_RIGHT, KEY_ENTER, 4}, {KEY_L, KEY_U, 5}, {KEY_KP_0 + 6, KEY_KP_ENTER, 6}};
  for (const auto& c : cases) {
    GameHarness& h = OnMenu(4, 3);
    c_MyApp* app = h.App();
    SCOPED_TRACE(c.host);
    Tap(h, c.move);
    EXPECT_EQ(app->m_menuEntry, 4);
    Tap(h, c.choose);
    EXPECT_EQ(app->m_screen, SCREEN_JOIN);
    EXPECT_EQ(app->m_hostSource, c.host);
    EXPECT_EQ(app->m_controlStyle, CONTROL_KEYBOARD);
    EXPECT_EQ(Joined(app, c.host), 1);
    EXPECT_EQ(Rider(app, c.host), 1);
  }
}

TEST_F(Seats, TwoSeatsJoinPickTheirRidersStartAndEachSteersItsOwnRiderOnly) {
  GameHarness& h = OnMenu(2, 6);  // three riders
  c_MyApp* app = h.App();
  Tap(h, KEY_ENTER);  // the arrows' seat chooses and rides rider 1
  h.Update();
  Tap(h, KEY_Z);     // the letters' seat joins there too
  Tap(h, KEY_D);     // and moves on to rider 2
  h.KeyDown(KEY_D);  // and to 3, holding its key while the arrows' seat moves to 2
  Tap(h, KEY_RIGHT);
  h.KeyUp(KEY_D);
  h.Update();
  EXPECT_EQ(Rider(app, 4), 2);
  EXPECT_EQ(Joined(app, -1), 1);
  EXPECT_EQ(Rider(app, -1), 3);
  Tap(h, KEY_ENTER);
  Until(h, SCREEN_MATCH);
  EXPECT_EQ(RiderField(app, 2, R_CONTROL), 4);
  EXPECT_EQ(RiderField(app, 3, R_CONTROL), -1);
  EXPECT_LT(RiderField(app, 1, R_CONTROL), -2);  // the computer's
  // Rider 2 starts heading left, rider 3 right.
  h.KeyDown(KEY_W);
  h.Update();
  EXPECT_EQ(RiderField(app, 2, R_DIR), match::DIR_LEFT);
  EXPECT_EQ(RiderField(app, 3, R_DIR), match::DIR_UP);
  h.KeyDown(KEY_DOWN);
  h.Update();
  EXPECT_EQ(RiderField(app, 2, R_DIR), match::DIR_DOWN);
  EXPECT_EQ(RiderField(app, 3, R_DIR), match::DIR_UP);
}

TEST_F(Seats, TheOptionsKeyboardRowCountsOneToFourPlayersAndIsSavedOnClose) {
  GameHarness& h = OnMenu(1, 1);
  c_MyApp* app = h.App();
  app->m_optionsOpen = 1;
  app->m_optionsRow = 4;
  h.Update(31);
  EXPECT_TRUE(Shows(h, "Keyboard : 1 Player"));
  for (const char* label : {"Keyboard : 2 Players", "Keyboard : 3 Players", "Keyboard : 4 Players"}) {
    Tap(h, KEY_SPACE);
    EXPECT_TRUE(Shows(h, label)) << label;
  }
  Tap(h, KEY_ESCAPE);
  bb_app_FlushState();
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(StateField(SavedState(), SETTING_KEYBOARD_SEATS), 3);
  app->m_optionsOpen = 1;
  h.Update(31);
  Tap(h, KEY_Z);  // four seats: the first seat's key goes on round to one
  EXPECT_TRUE(Shows(h, "Keyboard : 1 Player"));
  Tap(h, KEY_ESCAPE);
  EXPECT_EQ(app->m_settings[SETTING_KEYBOARD_SEATS], 0);
}

TEST_F(Seats, FourSeatsAndFourJoypadsOnOneSquareEachHaveAMarkOfTheirOwnAndTheLegendNamesEverySeatsKeys) {
  GameHarness& h = OnMenu(4, 1);
  c_MyApp* app = h.App();
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = i % SLOT_STRIDE == SLOT_LATCH ? 1 : 0;
  for (int source = SOURCE_KEYBOARD; source <= SOURCE_LAST; ++source) Joined(app, source) = Rider(app, source) = 1;
  app->m_hostSource = SOURCE_KEYBOARD;
  app->m_gameMode = 7;
  app->m_settings[SETTING_ROW] = 0;
  app->m_screen = SCREEN_JOIN;
  h.Update();
  // Glyphs stand 7 units apart and lines 10: no two marks may share a place.
  const std::vector<std::pair<float, float>> marks = Marks(h);
  ASSERT_EQ(marks.size(), 8u);
  for (size_t a = 0; a < marks.size(); ++a) {
    for (size_t b = a + 1; b < marks.size(); ++b) {
      const float dx = std::abs(marks[a].first - marks[b].first), dy = std::abs(marks[a].second - marks[b].second);
      EXPECT_TRUE(dx >= 3 * 7 || dy >= 10) << "marks " << a << " and " << b;
    }
  }
  for (const char* line : {"Seat 1: W A S D, join Z", "Seat 2: arrows, join Enter", "Seat 3: I J K L, join U",
                           "Seat 4: keypad 8 4 5 6, join keypad Enter"}) {
    EXPECT_TRUE(Shows(h, line)) << line;
  }
  Keep(h, "join_eight_on_one_square");
  // Four seats and two joypads on squares of their own, for a person's eye.
  for (int source = SOURCE_KEYBOARD; source <= SOURCE_LAST; ++source) Rider(app, source) = source + 2;
  Joined(app, 2) = Joined(app, 3) = 0;
  h.Update();
  Keep(h, "join_four_seats_two_pads");
}

// A two-rider match counting down: the keyboard (one player) on rider 1,
// joypad 0 on rider 2.
c_MyApp* PadMatch(GameHarness& h) {
  OnMenu(1, 7);
  c_MyApp* app = h.App();
  Tap(h, KEY_ENTER);
  h.Update();
  TapPad(h, 0, JOY_A);           // joins on rider 1
  TapPad(h, 0, JOY_DPAD_RIGHT);  // on to rider 2
  Tap(h, KEY_ENTER);
  EXPECT_EQ(Rider(app, 0), 2);
  EXPECT_EQ(app->m_screen, SCREEN_ROUND_START);
  return app;
}

TEST_F(Pads, AJoinedJoypadPulledOutWhileItsRiderRidesPausesTheRoundOnceAndPluggedBackInKeepsItsRider) {
  GameHarness& h = Loaded();
  const struct {
    const char* what;
    int port;
    bool duringCountdown, riderDying, pauses;
  } cases[] = {
      {"the joined pad, in play", 0, false, false, true},
      {"the joined pad, in the countdown", 0, true, false, true},
      {"a pad nobody joined with", 1, false, false, false},
      {"the joined pad of a crashed rider", 0, false, true, false},
  };
  for (const auto& c : cases) {
    c_MyApp* app = PadMatch(h);
    if (!c.duringCountdown) Until(h, SCREEN_MATCH);
    if (c.riderDying) RiderField(app, 2, R_DEATH) = 1;
    h.UnplugPad(c.port);
    Until(h, SCREEN_MATCH);
    h.Update();
    EXPECT_EQ(app->m_paused, c.pauses ? 1 : 0) << c.what;
    h.Update(40);
    EXPECT_EQ(app->m_pauseDir, c.pauses ? 1 : -1) << c.what << ": paused once, until resumed";
    app->m_screen = SCREEN_MENU;
    app->m_paused = 0;
    app->m_pauseDir = -1;
  }
  // Plugged back in and resumed, the pad steers its rider again.
  c_MyApp* app = PadMatch(h);
  Until(h, SCREEN_MATCH);
  h.UnplugPad(0);
  h.Update(30);
  PadInput up;
  up.present = up.buttons[JOY_DPAD_UP] = true;
  h.PlugPad(0, PadInput());
  Tap(h, KEY_ENTER);  // resume
  for (int i = 0; i < 40 && app->m_paused == 1; ++i) h.Update();
  ASSERT_EQ(app->m_paused, 0);
  EXPECT_EQ(RiderField(app, 2, R_DIR), match::DIR_LEFT);
  h.SetPad(0, up);
  h.Update();
  EXPECT_EQ(RiderField(app, 2, R_DIR), match::DIR_UP);
  h.SetPad(0, PadInput());
  app->m_screen = SCREEN_MENU;
}
