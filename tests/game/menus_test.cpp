// The menus through the stepping harness: the main menu's keys, the join
// screen's riders and rules, the options box, the pause menu, the credits,
// the quit confirmation, and the progress they save and load.
#include <gtest/gtest.h>

#include "game/menus/menus.h"
#include "tests/game/menus_support.h"

using namespace zephrine_test;

namespace {

const bool private_folder = (UsePrivateStateFolder(), true);

// One press and release, then an update with nothing held.
void Tap(GameHarness& h, int key) {
  h.Press(key);
  h.Update();
}

// Entry k selected with the row standing on it.
void Select(c_MyApp* app, int k) {
  app->m_menuEntry = k;
  app->m_menuTarget = app->m_menuScroll = float(1 - k) * 88.0f;
}

// A screen number that runs no step, so a test can run one box alone.
constexpr int NO_SCREEN = 99;

}  // namespace

TEST(Menu, KeysStepOnceAndStopAtTheEndsThenChooseWithTheKeyboardAsHost) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(app, 1);
  struct Step {
    int key, entry;
  } steps[] = {{KEY_LEFT, 1}, {KEY_RIGHT, 2}, {KEY_DOWN, 3}, {KEY_RIGHT, 4}, {KEY_RIGHT, 5}, {KEY_RIGHT, 6},
               {KEY_RIGHT, 7}, {KEY_RIGHT, 8}, {KEY_RIGHT, 8}, {KEY_UP, 7}, {KEY_LEFT, 6}};
  for (const Step& s : steps) {
    Tap(h, s.key);
    EXPECT_EQ(app->m_menuEntry, s.entry);
  }
  EXPECT_EQ(app->m_gameMode, 6);
  h.KeyDown(KEY_LEFT);  // held: one step only
  h.Update(10);
  h.KeyUp(KEY_LEFT);
  h.Update();
  EXPECT_EQ(app->m_menuEntry, 5);
  EXPECT_FLOAT_EQ(app->m_menuTarget, -4 * 88.0f);

  app->m_hostSource = 2;
  app->m_controlStyle = 2;
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_MATCH_LOAD);
  EXPECT_EQ(app->m_gameMode, 5);
  EXPECT_EQ(app->m_hostSource, -1);
  EXPECT_EQ(app->m_controlStyle, 0);

  OnMenu();
  Select(app, 8);
  app->m_optionsRow = 2;
  h.Press(KEY_SPACE);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(app->m_optionsOpen, 1);
  EXPECT_EQ(app->m_optionsRow, 0);
  Tap(h, KEY_RIGHT);  // the box has the keys now
  EXPECT_EQ(app->m_menuEntry, 8);
}

TEST(Menu, HiddenKeysOpenTheTrailDemonstrationWithoutMovingTheSelection) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(app, 4);
  for (int key : {KEY_B, KEY_LEFT, KEY_V}) h.KeyDown(key);
  h.Update();
  for (int key : {KEY_B, KEY_LEFT, KEY_V}) h.KeyUp(key);
  EXPECT_EQ(app->m_screen, SCREEN_TRAIL_DEMO);
  EXPECT_EQ(bb_KRV_DebugMode, 1);
  EXPECT_EQ(app->m_menuEntry, 4);
  bb_KRV_DebugMode = 0;
}

TEST(MenuDeathTest, BackOnTheDesktopEndsTheGameWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        GameHarness& h = OnMenu();
        h.Press(KEY_ESCAPE);
        std::exit(3);
      },
      testing::ExitedWithCode(0), "");
}

TEST(Join, RightAndLeftWalkTheRingOfEveryMatchSize) {
  GameHarness& h = OnMenu();
  const std::vector<std::vector<int>> rings = {{1, 2},          {1, 2, 3},          {1, 4, 2, 3},
                                               {1, 5, 4, 2, 3}, {1, 5, 4, 2, 6, 3}, {1, 5, 4, 2, 6, 7, 3},
                                               {1, 5, 8, 4, 2, 6, 7, 3}};
  for (const std::vector<int>& ring : rings) {
    c_MyApp* app = OnJoin(h, int(ring.size()));
    std::vector<int> right{Rider(app, -1)}, left{Rider(app, -1)};
    for (size_t i = 0; i < ring.size(); ++i) {
      Tap(h, KEY_RIGHT);
      right.push_back(Rider(app, -1));
    }
    for (size_t i = 0; i < ring.size(); ++i) {
      Tap(h, KEY_LEFT);
      left.insert(left.begin(), Rider(app, -1));
    }
    std::vector<int> round = ring;
    round.push_back(1);
    EXPECT_EQ(right, round) << ring.size() << " riders";
    EXPECT_EQ(left, round) << ring.size() << " riders";
    EXPECT_EQ(app->m_screen, SCREEN_JOIN);
  }
}

TEST(Join, OnlyTheHostMovesTheRulesAndEveryRuleChangeIsSaved) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 4);
  app->m_settings[2] = 1;
  Tap(h, KEY_DOWN);
  EXPECT_EQ(app->m_settings[6], 1);
  EXPECT_EQ(SavedField(6), 1);
  EXPECT_TRUE(Shows(h, "> Death = Line Remains"));
  h.Press(KEY_RIGHT);
  EXPECT_EQ(SavedField(2), 2);  // saved as changed, wrapped when drawn next
  h.Update();
  EXPECT_EQ(app->m_settings[2], 0);
  EXPECT_TRUE(Shows(h, "> Death = Line Removed"));
  EXPECT_EQ(Rider(app, -1), 1);  // a highlighted row keeps every rider in place
  Tap(h, KEY_DOWN);
  Tap(h, KEY_LEFT);
  EXPECT_EQ(app->m_settings[3], 3);  // Slow wraps round to Hyper
  EXPECT_TRUE(Shows(h, "> Speed = Hyper"));

  app->m_hostSource = 0;  // joypad 0 hosts: the keyboard's keys leave the rules
  Tap(h, KEY_UP);
  Tap(h, KEY_RIGHT);
  EXPECT_EQ(app->m_settings[6], 2);
  EXPECT_EQ(app->m_settings[3], 3);
  EXPECT_EQ(Rider(app, -1), 1);
  app->m_settings[6] = 0;
  Tap(h, KEY_RIGHT);
  EXPECT_EQ(Rider(app, -1), 4);

  Tap(h, KEY_C);  // anyone toggles the death rule, and it is kept
  EXPECT_EQ(app->m_settings[2], 1);
  EXPECT_EQ(SavedField(2), 1);
}

TEST(Join, StartingLeavingAndTheDemo) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 3);
  Joined(app, 0) = Rider(app, 0) = 1;  // joypad 0 on the keyboard player's square
  Latch(app, 0) = 0;
  Tap(h, KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_JOIN);
  Rider(app, 0) = 2;
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);

  app = OnJoin(h, 3);
  h.Press(KEY_X);
  EXPECT_EQ(Joined(app, -1), 0);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(app->m_anyKeyHeld, 1);

  OnMenu();
  app = OnJoin(h, 5);
  Joined(app, 2) = 1;
  h.KeyDown(KEY_B);
  h.KeyDown(KEY_N);
  h.Update();
  h.KeyUp(KEY_B);
  h.KeyUp(KEY_N);
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);
  EXPECT_EQ(app->m_demoMode, 1);
  for (int source = -1; source <= 3; ++source) EXPECT_EQ(Joined(app, source), 0);
}

TEST(Options, SoundRowCyclesTheFourModesStopsTheMusicAndSavesOnClose) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_settings[5] = 0;
  app->m_optionsOpen = 1;
  app->m_optionsRow = 1;
  h.Update(5);
  Tap(h, KEY_ENTER);  // still sliding in: nothing happens
  EXPECT_EQ(app->m_settings[5], 0);
  h.Update(30);
  EXPECT_TRUE(Shows(h, "Sound : Off"));
  struct Case {
    const char* label;
    int mode, musicOn;
  } cases[] = {{"Sound : SFX + Music", 1, 1}, {"Sound : SFX", 2, 0}, {"Sound : Music", 3, 1}, {"Sound : Off", 0, 0}};
  for (const Case& c : cases) {
    app->m_musicOn = 1;
    Tap(h, KEY_ENTER);
    EXPECT_EQ(app->m_settings[5], c.mode);
    EXPECT_EQ(app->m_musicOn, c.musicOn) << c.label;
    EXPECT_TRUE(Shows(h, c.label)) << c.label;
  }
  app->m_musicOn = 0;

  // A build without a music stream has two modes; a third shows nothing once.
  bb_KRV_HasMusicStream = 0;
  app->m_settings[5] = 3;
  h.Update();
  EXPECT_FALSE(Shows(h, "Sound : Music"));
  EXPECT_EQ(app->m_settings[5], 0);
  h.Update();
  EXPECT_TRUE(Shows(h, "Sound : Off"));
  Tap(h, KEY_ENTER);
  EXPECT_TRUE(Shows(h, "Sound : On"));
  bb_KRV_HasMusicStream = 1;

  Tap(h, KEY_UP);
  EXPECT_EQ(app->m_optionsRow, 0);
  Tap(h, KEY_UP);
  EXPECT_EQ(app->m_optionsRow, 0);
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(SavedField(5), 1);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);  // the closing key does not choose on the menu
}

TEST(Options, TheCreditsRowOpensTheCreditsExceptOverAPausedMatch) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_optionsOpen = 1;
  app->m_optionsRow = 4;
  h.Update(31);
  EXPECT_TRUE(Shows(h, "Credits"));
  app->m_settings[5] = 2;
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(app->m_creditsOpen, 1);
  EXPECT_EQ(SavedField(5), 2);
  app->m_settings[5] = 1;

  OnMenu();
  app->m_screen = NO_SCREEN;
  app->m_paused = 1;
  app->m_optionsOpen = 1;
  h.Update(31);
  EXPECT_FALSE(Shows(h, "Credits"));
  EXPECT_EQ(app->m_optionsRow, 3);  // the window row is the last one now
  app->m_paused = 0;
}

TEST(Pause, AHeldKeyMovesTheCursorOnceAndConfirmOnQuitEndsTheMatch) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_screen = NO_SCREEN;
  app->m_paused = app->m_pauseDir = 1;
  app->m_pauseY = 240;
  app->m_pauseRow = 0;
  struct Step {
    int key, row;
  } steps[] = {{KEY_RIGHT, 1}, {KEY_RIGHT, 1}, {KEY_DOWN, 0}, {KEY_UP, -1}, {KEY_LEFT, -1}};
  for (const Step& s : steps) {
    h.KeyDown(s.key);
    for (int i = 0; i < 3; ++i) {  // held: one step only
      h.Update();
      app->p_PauseMenu();
    }
    h.KeyUp(s.key);
    h.Update();
    EXPECT_EQ(app->m_pauseRow, s.row);
  }
  EXPECT_EQ(app->m_gameOver, 0);
  h.KeyDown(KEY_ENTER);
  h.Update();
  app->p_PauseMenu();
  h.KeyUp(KEY_ENTER);
  EXPECT_EQ(app->m_gameOver, 1);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_EQ(app->m_pauseY, -64);
  app->m_gameOver = 0;
}

TEST(Credits, LinesWrapFromTheLastBackToTheFirstAndEndNeverShows) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_creditLine = 40;
  app->m_creditScroll = 0.0f;
  app->m_creditsOpen = 1;
  h.Update();
  EXPECT_FLOAT_EQ(app->m_creditScroll, -0.3f);
  h.KeyDown(KEY_DOWN);  // hurries the scroll
  h.Update();
  EXPECT_FLOAT_EQ(app->m_creditScroll, -2.1f);
  bool end = false, first = false;
  for (int i = 0; i < 200; ++i) {
    h.Update();
    end = end || Shows(h, "End");
    first = first || (app->m_creditLine > 55 && Shows(h, "A Game by"));
  }
  h.KeyUp(KEY_DOWN);
  EXPECT_GT(app->m_creditLine, 60);
  EXPECT_FALSE(end);
  EXPECT_TRUE(first);
  EXPECT_EQ(bb_KRV_CreditText.Length(), 56);
  EXPECT_TRUE(bb_KRV_CreditText[55] == String("End"));

  Tap(h, KEY_ENTER);  // closes, and the key does not act on the menu
  EXPECT_EQ(app->m_creditsOpen, 0);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
}

TEST(QuitConfirmation, ConfirmReturnsToTheMenuOnAGreyBackground) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_QUIT_CONFIRM;
  app->m_anyKeyHeld = 1;
  h.Update();
  EXPECT_TRUE(Shows(h, "trying to QUIT!"));
  EXPECT_EQ(h.Screenshot()[0] & 0xffffff, 0xb4b4b4u);
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
}

TEST(QuitConfirmationDeathTest, CancelEndsTheGameWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        GameHarness& h = OnMenu();
        h.App()->m_screen = SCREEN_QUIT_CONFIRM;
        h.Press(KEY_X);
        std::exit(3);
      },
      testing::ExitedWithCode(0), "");
}

TEST(Progress, LoadingPrintsOneLinePerBlockAndSavesHappenOnFocusLossAndScores) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  std::string state = "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|";
  for (int i = 0; i < 9; ++i) state += "0|";
  for (int t = 0; t < 7; ++t) {
    for (int i = 0; i < 21; ++i) state += t == 3 && i == 0 ? "1|" : "0|";
  }
  bb_app_SaveState(String(state.c_str()));
  testing::internal::CaptureStdout();
  app->p_Load();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n"
            "Highscore 3 Checksum Invalid\nHighscore 4 Loaded\nHighscore 5 Loaded\nHighscore 6 Loaded\n");
  EXPECT_EQ(bb_KRV_overscan, 0.0f);

  app->m_settings[3] = 2;
  h.Suspend();
  EXPECT_EQ(SavedField(3), 2);
  h.Resume();
  app->m_settings[3] = 0;

  app->m_gameMode = 3;
  app->m_lastScore = 5;
  app->m_screen = SCREEN_MENU_RETURN;
  h.Update();
  app->m_lastScore = 0;
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(SavedField(35 + 2 * 21), 5);      // table 2's best
  EXPECT_EQ(SavedField(35 + 2 * 21 + 1), 5);  // and its newest
}
