// The menus through the stepping harness: the menu row by keys, pointer and
// joypads, the join screen's squares, rules and starts, the options box,
// the credits, the quit confirmation, and the pause box over a match. The
// whole visit (menu, join, a paused and quit match, back to the menu) and
// back on the menu ending the game are the acceptance test's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "tests/game/harness.h"
#include "tests/support/gated_disk.h"
#include "tests/support/support.h"

using namespace zephrine_test;

// Every test starts from a fresh game; the suites name what they test.
using Menu = GameTest; using Join = GameTest; using Options = GameTest; using Credits = GameTest;
using Pause = GameTest;

namespace {

constexpr int HELD_KEYS[] = {KEY_ENTER, KEY_ESCAPE, KEY_SPACE, KEY_LEFT, KEY_UP, KEY_RIGHT,
                             KEY_DOWN,  KEY_B,      KEY_C,     KEY_N,    KEY_V,  KEY_X};

// The game loaded, on the main menu with every box closed, no key or button
// held and both latches free.
GameHarness& OnMenu() {
  GameHarness& h = Loaded();
  for (int key : HELD_KEYS) h.KeyUp(key);
  h.MouseUp();
  for (int port = 0; port < 4; ++port) h.SetPad(port, PadInput());
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  app->m_creditsOpen = app->m_optionsOpen = app->m_badgesOpen = 0;
  app->m_paused = 0;
  app->m_gameOverTimer = 0;
  h.Update(31);  // boxes slide out, latches clear
  return h;
}

// A source's join slot: joined flag, rider, key latch.
int& Slot(c_MyApp* app, int source, int field) { return JoinField(app, SlotOf(source), field); }
int& Joined(c_MyApp* app, int source) { return Slot(app, source, SLOT_JOINED); }
int& Rider(c_MyApp* app, int source) { return Slot(app, source, SLOT_RIDER); }
int& Latch(c_MyApp* app, int source) { return Slot(app, source, SLOT_LATCH); }

// The join screen as a match of `riders` opens it: every latch set, the
// keyboard host joined on rider 1, no rule row highlighted; one update run.
c_MyApp* OnJoin(GameHarness& h, int riders) {
  c_MyApp* app = h.App();
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = i % SLOT_STRIDE == SLOT_LATCH ? 1 : 0;
  Joined(app, -1) = Rider(app, -1) = 1;
  app->m_hostSource = -1;
  app->m_gameMode = riders - 1;
  app->m_settings[SETTING_ROW] = 0;
  app->m_screen = SCREEN_JOIN;
  h.Update();
  return app;
}

// Field i of the saved state string once the saves handed over are on disk;
// -1 when there is none.
int SavedField(int i) { return StateField(SavedState(), i); }

// Entry k selected with the row standing on it.
void Select(GameHarness& h, int k) {
  h.App()->m_menuEntry = k;
  h.App()->m_menuTarget = h.App()->m_menuScroll = float(1 - k) * 88.0f;
  h.Update();
}

// The options box slid in over the menu with the cursor on `row`.
c_MyApp* OptionsOn(GameHarness& h, int row) {
  c_MyApp* app = h.App();
  app->m_optionsOpen = 1;
  app->m_optionsRow = row;
  h.Update(BOX_SLIDE_STEPS + 1);
  return app;
}

// The row's centre on a 640 x 480 window; entries stand 88 apart.
constexpr float ROW_X = 320, ROW_Y = 384;
// A screen number that runs no step.
constexpr int NO_SCREEN = 99;

}  // namespace

TEST_F(Menu, KeysStepWithoutWrapping) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(h, 1);
  // Left stops at the first entry, right at the gear; down and up step too.
  for (auto [key, entry] : {std::pair{KEY_LEFT, 1}, {KEY_RIGHT, 2}, {KEY_DOWN, 3}, {KEY_RIGHT, 4}, {KEY_RIGHT, 5},
                            {KEY_RIGHT, 6}, {KEY_RIGHT, 7}, {KEY_RIGHT, 8}, {KEY_RIGHT, 8}, {KEY_UP, 7}}) {
    Tap(h, key);
    EXPECT_EQ(app->m_menuEntry, entry);
  }
}

TEST_F(Menu, EnterChoosesWithTheKeyboardAsHost) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(h, 7);
  app->m_controlStyle = CONTROL_POINTER;
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_MATCH_LOAD);
  EXPECT_EQ(app->m_gameMode, 7);
  EXPECT_EQ(app->m_hostSource, SOURCE_KEYBOARD);
  EXPECT_EQ(app->m_controlStyle, CONTROL_KEYBOARD);
}

TEST_F(Menu, SpaceOnTheGearOpensTheOptions) {
  GameHarness& h = OnMenu();
  Select(h, 8);
  h.Press(KEY_SPACE);
  EXPECT_EQ(h.App()->m_optionsOpen, 1);
  EXPECT_EQ(h.App()->m_screen, SCREEN_MENU);
}

TEST_F(Menu, ATapSelectsASecondChoosesOnReleaseAndADragNeverChooses) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(h, 3);
  h.Click(ROW_X + 88, ROW_Y);
  h.Update();
  EXPECT_EQ(app->m_menuEntry, 4);
  h.Update(40);  // entry 4 scrolls to the centre
  h.MouseMove(ROW_X, ROW_Y);
  h.MouseDown();
  h.Update(3);
  for (float x : {ROW_X + 12, ROW_X + 60}) {  // 18 units in one update: a drag
    h.MouseMove(x, ROW_Y);
    h.Update();
  }
  h.MouseUp();
  h.Update(40);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_NE(app->m_menuEntry, 4);  // the row moved under the drag

  Select(h, 4);
  app->m_hostSource = 3;
  h.Click(ROW_X, ROW_Y);  // the pointer belongs to the keyboard player
  h.Update();
  EXPECT_EQ(app->m_screen, SCREEN_MATCH_LOAD);
  EXPECT_EQ(app->m_hostSource, SOURCE_KEYBOARD);
  EXPECT_EQ(app->m_controlStyle, CONTROL_POINTER);
}

TEST_F(Menu, AJoypadThatChoosesHostsUnlessTheKeyboardChoosesToo) {
  const struct {
    bool keyboard;
    int port, host, style;
  } cases[] = {{false, 1, 1, CONTROL_JOYPAD}, {false, 3, 3, CONTROL_JOYPAD}, {true, 2, SOURCE_KEYBOARD, CONTROL_KEYBOARD}};
  for (const auto& c : cases) {
    GameHarness& h = OnMenu();
    Select(h, 6);
    PadInput pad;
    pad.present = pad.buttons[JOY_A] = true;
    h.SetPad(c.port, pad);
    if (c.keyboard) h.KeyDown(KEY_ENTER);
    h.Update(2);
    EXPECT_EQ(h.App()->m_screen, SCREEN_JOIN);
    EXPECT_EQ(h.App()->m_hostSource, c.host);
    EXPECT_EQ(h.App()->m_controlStyle, c.style);
    EXPECT_EQ(Joined(h.App(), c.host), 1);
  }
}

TEST_F(Join, RightGoesClockwiseOnceRoundTheSquaresOfEveryMatchSize) {
  GameHarness& h = OnMenu();
  for (int riders = 2; riders <= 8; ++riders) {
    c_MyApp* app = OnJoin(h, riders);
    std::set<int> visited;
    float turned = 0.0f, last = 0.0f;
    for (int step = 0; step <= riders; ++step) {
      visited.insert(Rider(app, -1));
      app->p_GetPos(Rider(app, -1));
      // Clockwise on the screen, where y grows downwards; a step to the
      // opposite square is half a turn either way.
      const float angle = std::atan2(float(app->m_posY) - 240.0f, float(app->m_posX) - 320.0f);
      const float turn = std::fmod(angle - last + 4.0f * float(M_PI), 2.0f * float(M_PI));
      if (step > 0) {
        EXPECT_TRUE(turn > 0.0f && turn < float(M_PI) + 0.01f) << riders << " riders, step " << step;
        turned += turn;
      }
      last = angle;
      Tap(h, KEY_RIGHT);
    }
    EXPECT_NEAR(turned, 2.0f * float(M_PI), 0.01f) << riders << " riders";
    EXPECT_EQ(visited.size(), size_t(riders));
    Tap(h, KEY_LEFT);
    EXPECT_EQ(Rider(app, -1), 1);  // left walks back
  }
}

TEST_F(Join, OnlyTheHostMovesTheRulesAndEveryRuleChangeIsSaved) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 4);
  app->m_settings[SETTING_DEATH_RULE] = 1;
  Tap(h, KEY_DOWN);
  EXPECT_EQ(SavedField(SETTING_ROW), 1);
  EXPECT_TRUE(Shows(h, "> Death = Line Remains"));
  h.Press(KEY_RIGHT);
  EXPECT_EQ(SavedField(SETTING_DEATH_RULE), 2);  // saved as changed, wrapped when drawn next
  h.Update();
  EXPECT_EQ(app->m_settings[SETTING_DEATH_RULE], 0);
  EXPECT_TRUE(Shows(h, "> Death = Line Removed"));
  EXPECT_EQ(Rider(app, -1), 1);  // a highlighted row keeps every rider in place

  app->m_hostSource = 0;  // joypad 0 hosts: the keyboard's keys leave the rules
  Tap(h, KEY_UP);
  Tap(h, KEY_RIGHT);
  EXPECT_EQ(app->m_settings[SETTING_ROW], 1);
  EXPECT_EQ(app->m_settings[SETTING_DEATH_RULE], 0);
  app->m_settings[SETTING_ROW] = 0;
  Tap(h, KEY_RIGHT);
  EXPECT_EQ(Rider(app, -1), 4);

  Tap(h, KEY_C);  // anyone toggles the death rule, and it is kept
  EXPECT_EQ(SavedField(SETTING_DEATH_RULE), 1);
}

// The fourth row: right from Normal is Hard, then Easy, then round to
// Normal; left from Normal is Easy. Each change is saved.
TEST_F(Join, TheHostSetsTheComputerSkillOnTheFourthRow) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 3);
  for (int i = 0; i < 4; ++i) Tap(h, KEY_DOWN);
  Tap(h, KEY_DOWN);  // there is no fifth row
  EXPECT_EQ(app->m_settings[SETTING_ROW], 4);
  EXPECT_TRUE(Shows(h, "> Computer = Normal"));
  const struct {
    int key;
    const char* label;
    int value;
  } steps[] = {{KEY_RIGHT, "> Computer = Hard", SKILL_HARD},
               {KEY_RIGHT, "> Computer = Easy", SKILL_EASY},
               {KEY_RIGHT, "> Computer = Normal", SKILL_NORMAL},
               {KEY_LEFT, "> Computer = Easy", SKILL_EASY}};
  for (const auto& c : steps) {
    Tap(h, c.key);
    EXPECT_TRUE(Shows(h, c.label)) << c.label;
    EXPECT_EQ(app->m_settings[SETTING_SKILL], c.value) << c.label;
  }
  EXPECT_EQ(SavedField(SETTING_SKILL), SKILL_EASY);
}

// Every square shows its rider's number in the square's upper half.
TEST_F(Join, EverySquareShowsItsRidersNumber) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 8);
  for (int i = 1; i <= 8; ++i) {
    app->p_GetPos(i);
    const float x = float(app->m_posX), y = float(app->m_posY);
    const std::vector<DrawEntry> glyphs = h.EntriesOf(float(SLOT_FONT));
    EXPECT_EQ(std::count_if(glyphs.begin(), glyphs.end(),
                            [&](const DrawEntry& e) {
                              return e.frame + 32 == float('0' + i) && e.x == x && e.y < y && e.y > y - 30;
                            }),
              1)
        << "rider " << i;
  }
}

// A rule row moved while the disk stalls: the updates go on while the save
// stands at the disk, and it lands once the disk moves.
TEST_F(Join, ARuleChangeOnASlowDiskNeverHoldsAnUpdateUp) {
  GameHarness& h = OnMenu();
  OnJoin(h, 4);
  BBGame::Game()->StateStore().SetCalls(gated_disk::Calls());
  Tap(h, KEY_DOWN);
  ASSERT_TRUE(gated_disk::WaitForSync());
  h.Update(3);
  gated_disk::Open();
  EXPECT_EQ(SavedField(SETTING_ROW), 1);
  EXPECT_EQ(gated_disk::Forced(), 0) << "an update waited for the disk";
}

TEST_F(Join, TwoOnASquareBarAStart) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 3);
  Joined(app, 0) = Rider(app, 0) = 1;
  Latch(app, 0) = 0;
  Tap(h, KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_JOIN);
  for (int source = 1; source <= 3; ++source) EXPECT_EQ(Joined(app, source), 0);  // Enter is the keyboard's
  Rider(app, 0) = 2;
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);
}

TEST_F(Join, TheLastToLeaveReturnsToTheMenu) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 3);
  h.Press(KEY_X);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(app->m_anyKeyHeld, 1);
}

TEST_F(Join, TheDemoKeysStartAMatchWithNobodyJoined) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 5);
  h.KeyDown(KEY_B);
  h.Press(KEY_N);
  h.KeyUp(KEY_B);
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);
  EXPECT_EQ(app->m_demoMode, 1);
  EXPECT_EQ(Joined(app, -1), 0);
}

TEST_F(Options, TheSoundRowCyclesTheFourModesOnceInAndStopsTheMusic) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_settings[SETTING_SOUND_MODE] = 0;
  app->m_optionsOpen = 1;
  app->m_optionsRow = 1;
  h.Update(5);
  Tap(h, KEY_ENTER);  // still sliding in: nothing happens
  EXPECT_EQ(app->m_settings[SETTING_SOUND_MODE], 0);
  h.Update(30);
  const struct {
    const char* label;
    int mode, musicOn;
  } cases[] = {{"Sound : SFX + Music", 1, 1}, {"Sound : SFX", 2, 0}, {"Sound : Music", 3, 1}, {"Sound : Off", 0, 0}};
  for (const auto& c : cases) {
    app->m_musicOn = 1;
    Tap(h, KEY_ENTER);
    EXPECT_EQ(app->m_settings[SETTING_SOUND_MODE], c.mode) << c.label;
    EXPECT_EQ(app->m_musicOn, c.musicOn) << c.label;
    EXPECT_TRUE(Shows(h, c.label)) << c.label;
  }
}

TEST_F(Options, TheGearClosesTheBoxAndSavesWithoutChoosing) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OptionsOn(h, 1);
  app->m_settings[SETTING_SOUND_MODE] = 2;
  Tap(h, KEY_UP);
  h.Press(KEY_ENTER);  // on the gear: closes, saves, and the key does not choose
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(SavedField(SETTING_SOUND_MODE), 2);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
}

TEST_F(Options, TheColoursRowSwitchesThePaletteAndSavesOnClose) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OptionsOn(h, 5);
  EXPECT_TRUE(Shows(h, "Colours : Classic"));
  for (int palette : {PALETTE_CLEAR, PALETTE_CLASSIC, PALETTE_CLEAR}) {
    Tap(h, KEY_ENTER);
    EXPECT_EQ(app->m_settings[SETTING_COLOURS], palette);
    EXPECT_TRUE(Shows(h, palette == PALETTE_CLEAR ? "Colours : Clear" : "Colours : Classic"));
  }
  for (int i = 0; i < 5; ++i) Tap(h, KEY_UP);
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(SavedField(SETTING_COLOURS), PALETTE_CLEAR);
}

// On a very wide window (a virtual screen 295 high) the rows close up so
// that the last one, the credits, still ends on the screen.
TEST_F(Options, RowsFitAShortScreen) {
  GameHarness& h = OnMenu();
  h.Resize(1300, 600);
  ASSERT_TRUE(h.FinishLoading());
  c_MyApp* app = h.App();
  app->m_optionsOpen = 1;
  h.Step(31);
  // The credits label's glyphs: the row drawn last and lowest.
  const std::vector<DrawEntry> glyphs = h.EntriesOf(float(SLOT_FONT));
  const size_t credits = Spelled(glyphs).find("Credits");
  ASSERT_NE(credits, std::string::npos);
  EXPECT_LT(glyphs[credits].y, bb_KRV_jscrh - 8);
}

TEST_F(Options, TheCreditsRowOpensTheCreditsAndSaves) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_optionsOpen = 1;
  app->m_optionsRow = 99;  // the last row
  h.Update(31);
  app->m_settings[SETTING_SPEED] = 2;
  h.Press(KEY_ENTER);  // saved too, though the box did not close by the gear
  EXPECT_EQ(app->m_creditsOpen, 1);
  EXPECT_EQ(SavedField(SETTING_SPEED), 2);
}

TEST_F(Options, TheCreditsRowIsHiddenOverAPausedMatch) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_screen = NO_SCREEN;
  app->m_paused = app->m_optionsOpen = 1;
  app->m_optionsRow = 99;  // past the last row
  h.Update(31);
  EXPECT_FALSE(Shows(h, "Credits"));
  EXPECT_EQ(app->m_optionsRow, 4);  // the colours row is the last one now
}

TEST_F(Credits, LinesWrapFromTheLastBackToTheFirstAndEndNeverShows) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_creditLine = 40;
  app->m_creditsOpen = 1;
  h.KeyDown(KEY_DOWN);  // hurries the scroll: 1.8 units an update
  bool end = false, first = false;
  for (int i = 0; i < 200; ++i) {
    h.Update();
    end = end || Shows(h, "End");
    first = first || (app->m_creditLine > 55 && Shows(h, "A Game by"));
  }
  h.KeyUp(KEY_DOWN);
  EXPECT_GT(app->m_creditLine, 60);
  EXPECT_FALSE(end) << "the End line showed";
  EXPECT_TRUE(first) << "the first line never came round again";
  EXPECT_EQ(h.Screenshot()[640 * 4 + 6] & 0xffffff, 0u);  // the box's black frame covers the menu
}

TEST_F(Credits, EnterClosesTheBoxWithoutActingOnTheMenu) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_creditsOpen = 1;
  h.Update(BOX_SLIDE_STEPS + 1);
  Tap(h, KEY_ENTER);
  EXPECT_EQ(app->m_creditsOpen, 0);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
}

TEST_F(Credits, TheQuitConfirmationOnGreyGoesBack) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_QUIT_CONFIRM;
  h.Update();
  EXPECT_TRUE(Shows(h, "trying to QUIT!"));
  EXPECT_EQ(h.Screenshot()[0] & 0xffffff, 0xb4b4b4u);
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
}

TEST_F(Pause, AResumedMatchStandsStillUntilTheBoxHasSlidOut) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(h, 7);  // two riders
  h.Press(KEY_ENTER);
  h.Update(2);
  h.Press(KEY_ENTER);
  for (int i = 0; i < 200 && app->m_screen != SCREEN_MATCH; ++i) h.Update();
  ASSERT_EQ(app->m_screen, SCREEN_MATCH);
  h.Update(5);
  Tap(h, KEY_ESCAPE);
  h.Update(20);  // the box drops in
  auto head = [app] { return app->m_matchState[20 * 1 + 1]; };
  const float before = head();
  h.Press(KEY_ENTER);  // resume: the box slides out, play waits for it
  int frozen = 0;
  for (; app->m_paused == 1 && frozen < 40; ++frozen) {
    EXPECT_EQ(head(), before);
    h.Update();
  }
  EXPECT_GT(frozen, 10);
  h.Update();
  EXPECT_NE(head(), before);
}
