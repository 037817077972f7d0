// The match through the real runtime: the random generator, the controls,
// the arena and its segment ring, riders crashing, dying and accelerating,
// the round and match flow, and whole computer matches replayed from a seed.
// What the match screens look like is played in the acceptance test.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/match/match.h"
#include "tests/game/harness.h"
#include "tests/support/support.h"

using namespace match;
using namespace zephrine_test;

namespace {

float& R(int p, int field) { return Rider(GameHarness::Get().App(), p, field); }
int GridAt(int x, int y) { return GameHarness::Get().App()->m_grid[x + GRID_ROW * y]; }

// A prepared round of `riders` riders on a virtual screen of w x h units
// (until the next frame), on the match screen, every rider a keyboard human
// (so it runs straight unless a key steers it).
c_MyApp* Round(int riders, int deathRule = 0, float w = 640, float h = 480) {
  GameHarness& harness = Loaded();
  c_MyApp* app = harness.App();
  bb_KRV_jscrw = w;
  bb_KRV_jscrh = h;
  app->m_gameMode = riders - 1;
  app->m_settings[SETTING_DEATH_RULE] = deathRule;
  app->m_settings[SETTING_SPEED] = 0;
  app->m_settings[SETTING_WINNER] = 1;
  app->m_settings[SETTING_SOUND_MODE] = 2;
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = 0;
  for (int i = 0; i < GAME_WINS; ++i) app->m_wins[i] = 0;
  app->m_demoMode = app->m_paused = app->m_gameOver = app->m_anyKeyHeld = 0;
  app->m_ridersInPlay = 0;  // as the round before left it
  app->m_screen = SCREEN_ARENA_PREPARE;
  harness.Update();
  EXPECT_EQ(app->m_screen, SCREEN_ROUND_START);
  for (int p = 1; p <= riders; ++p) R(p, R_CONTROL) = -1.0f;
  app->m_screen = SCREEN_MATCH;
  return app;
}

void Place(int p, int x, int y, int dir) {
  R(p, R_X) = float(x);
  R(p, R_Y) = float(y);
  R(p, R_DIR) = float(dir);
  R(p, R_SEGMENT) = float(GameHarness::Get().App()->p_NewLine(dir, x, y, p));
}

}  // namespace

TEST(Random, FirstDrawsFromTheStartSeed) {
  bb_random_Seed = 1234;
  EXPECT_EQ(bb_random_Rnd(), 11984094.0f / 16777216.0f);
  EXPECT_EQ(unsigned(bb_random_Seed), 3067928073u);
  EXPECT_NEAR(bb_random_Rnd2(1.0f, 3.0f), 2.0f * 0.20701f + 1.0f, 1e-4);
  EXPECT_EQ(unsigned(bb_random_Seed), 889114580u);
}

TEST(Controls, SourcesIcadeAndStick) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  struct Case {
    int iCade, key;
    float stickX, stickY;
    int action, withStick, source, expected;
  } cases[] = {
      {0, KEY_W, 0, 0, ACTION_UP, STICK, SOURCE_KEYBOARD, 1},
      {1, KEY_W, 0, 0, ACTION_UP, STICK, SOURCE_KEYBOARD, 0},
      {1, KEY_Z, 0, 0, ACTION_CONFIRM, STICK, SOURCE_KEYBOARD, 0},
      {1, KEY_UP, 0, 0, ACTION_UP, STICK, SOURCE_KEYBOARD, 1},
      {1, KEY_SPACE, 0, 0, ACTION_CONFIRM, STICK, 2, 1},
      {0, KEY_SPACE, 0, 0, ACTION_CONFIRM, STICK, SOURCE_LAST_PAD, 1},
      {0, KEY_SPACE, 0, 0, ACTION_CONFIRM, STICK, SOURCE_LAST_PAD + 1, 0},
      {0, 0, 0.4f, 0, ACTION_RIGHT, STICK, SOURCE_FIRST_PAD, 0},
      {0, 0, 0.41f, 0, ACTION_RIGHT, STICK, SOURCE_FIRST_PAD, 1},
      {0, 0, 0.41f, 0, ACTION_RIGHT, BUTTONS_ONLY, SOURCE_FIRST_PAD, 0},
      {0, 0, -0.41f, 0, ACTION_LEFT, STICK, SOURCE_FIRST_PAD, 1},
      {0, 0, 0, 0.41f, ACTION_UP, STICK, SOURCE_FIRST_PAD, 1},
      {0, 0, 0, -0.4f, ACTION_DOWN, STICK, SOURCE_FIRST_PAD, 0},
      {0, 0, 0, -0.41f, ACTION_DOWN, STICK, SOURCE_FIRST_PAD, 1},
      {1, 0, 0.41f, 0, ACTION_RIGHT, STICK, SOURCE_FIRST_PAD, 0},
      {0, KEY_ESCAPE, 0, 0, ACTION_BACK, STICK, 1, 1},
  };
  for (const Case& c : cases) {
    PadInput pad;
    pad.present = true;
    pad.stickX = c.stickX;
    pad.stickY = c.stickY;
    h.SetPad(0, pad);
    if (c.key) h.KeyDown(c.key);
    h.Update();
    bb_KRV_iCadeControls = c.iCade;
    EXPECT_EQ(app->p_PlayKey(c.action, c.withStick, c.source), c.expected)
        << "key " << c.key << " stick " << c.stickX << "," << c.stickY << " action " << c.action << " source "
        << c.source;
    bb_KRV_iCadeControls = 0;
    if (c.key) h.KeyUp(c.key);
  }
  h.SetPad(0, PadInput());
  h.Update();
  EXPECT_EQ(app->p_StickY(2, 0), 0.0f);  // a pad has two sticks

  // A rectangle at x = 100, w = 50 takes touches from 94 to 162, both exclusive.
  for (auto [x, expected] : {std::pair{94, 0}, {95, 1}, {161, 1}, {162, 0}}) {
    app->m_touchDown[0] = 1;
    app->m_touchX[0] = x;
    app->m_touchY[0] = 120;
    EXPECT_EQ(app->p_Touch(100, 100, 50, 50), expected) << x;
  }
  app->m_touchDown[0] = 0;
}

TEST(Arena, StartCellsAndTheSegmentRing) {
  // The factors of the screen are taken in double precision: 0.9 of 640 is
  // 575 (the order of all eight is the join screen test's).
  c_MyApp* app = Round(8);
  EXPECT_EQ((std::vector<float>{R(1, R_X), R(1, R_Y), R(2, R_X), R(2, R_Y)}), (std::vector<float>{64, 72, 575, 408}));
  EXPECT_EQ(GridAt(0, 0), WALL_CELL);
  EXPECT_EQ(GridAt(639, 479), WALL_CELL);
  EXPECT_EQ(GridAt(64, 72), 0);  // start cells stay unmarked

  // Straight runs extend one record; a turn starts at the old run's last cell.
  const int seg = app->p_NewLine(DIR_RIGHT, 100, 100, 3);
  EXPECT_EQ(app->p_LineTo(seg, 101, 100, 3, DIR_RIGHT, 3), seg);
  EXPECT_EQ(app->p_LineTo(seg, 102, 100, 3, DIR_RIGHT, 3), seg);
  const int turn = app->p_LineTo(seg, 102, 101, 3, DIR_DOWN, 3);
  EXPECT_EQ(turn, seg + 1);
  const int* t = Segment(app, turn);
  EXPECT_EQ(std::vector<int>(t, t + 6), (std::vector<int>{DIR_DOWN, 102, 100, 102, 101, 3}));
  EXPECT_EQ(GridAt(102, 101), 3);

  // Rider 4 crosses rider 3's cells; flushing 3 leaves rider 4 alone.
  const int cross = app->p_NewLine(DIR_DOWN, 101, 98, 4);
  app->p_LineTo(cross, 101, 100, 4, DIR_DOWN, 4);
  app->p_FlushGrid(3);
  EXPECT_EQ(GridAt(102, 101), 0);
  EXPECT_EQ(GridAt(101, 100), 4);
  EXPECT_EQ(Segment(app, seg)[S_DIR], 0);
  EXPECT_EQ(Segment(app, cross)[S_DIR], DIR_DOWN);

  // The 4,002nd segment overwrites record 1 and frees its run, whoever holds
  // the cells now.
  Round(2);
  Segment(app, 1)[S_X2] = 70;
  for (int x = 64; x <= 70; ++x) app->m_grid[x + GRID_ROW * 72] = 5;
  for (int i = 0; i < 4000; ++i) app->p_NewLine(DIR_UP, 300, 300, 2);
  EXPECT_EQ(app->m_segmentCursor, 1);
  for (int x = 64; x <= 70; ++x) EXPECT_EQ(GridAt(x, 72), 0) << x;
  EXPECT_EQ(Segment(app, 1)[S_DIR], DIR_UP);

  // A virtual screen beyond the grid gets an arena of 999 x 999 units.
  Round(8, 0, 1500, 1200);
  EXPECT_EQ(GridAt(990, 500), 0);
  EXPECT_EQ(GridAt(991, 500), WALL_CELL);
  EXPECT_EQ(GridAt(500, 999), WALL_CELL);
  EXPECT_EQ(R(2, R_X), 899.0f);
  GameHarness::Get().Update(20);
  GameHarness::Get().Render();
  EXPECT_EQ(bb_KRV_jscrw, 640.0f);
}

TEST(Arena, TrailDemoKeepsTheRingFull) {
  GameHarness& h = Loaded();
  h.App()->m_screen = SCREEN_TRAIL_DEMO;
  h.Update(200);
  EXPECT_EQ(h.EntriesOf(DRAW_RECT).size(), size_t(SEGMENT_LAST + 1));
  h.App()->m_screen = SCREEN_MENU;
}

TEST(Riders, CrashesAndDeathRules) {
  GameHarness& h = Loaded();
  // Head-on with one free cell between: both crash in the same step, and
  // the higher number takes the round.
  c_MyApp* app = Round(2);
  Place(1, 100, 100, DIR_RIGHT);
  Place(2, 102, 100, DIR_LEFT);
  app->m_grid[100 + GRID_ROW * 100] = 1;
  app->m_grid[102 + GRID_ROW * 100] = 2;
  h.Update();
  EXPECT_EQ(R(1, R_DEATH), 1.0f);
  EXPECT_EQ(R(2, R_DEATH), 1.0f);
  EXPECT_EQ(GridAt(101, 100), 0);
  h.Update(26);
  EXPECT_EQ(app->m_screen, SCREEN_ROUND_WON);
  EXPECT_EQ(app->m_wins[2], 1);
  EXPECT_EQ(app->m_wins[1], 0);

  // A wall crash writes the rider's number into the wall's inner cell; the
  // rule decides whether the removed rider frees it.
  for (auto [rule, after] : {std::pair{0, 0}, {1, 1}}) {
    Round(2, rule);
    Place(1, 9, 200, DIR_LEFT);
    h.Update();
    EXPECT_EQ(GridAt(7, 200), 1);
    h.Update(25);
    EXPECT_EQ(R(1, R_NUMBER), 0.0f);
    EXPECT_EQ(GridAt(7, 200), after) << "rule " << rule;
    EXPECT_EQ(GridAt(6, 200), WALL_CELL);
  }

  // Beyond the grid's edge is wall too: the crash writes nothing there.
  Round(2);
  Place(1, 3, 0, DIR_UP);
  h.Update();
  EXPECT_EQ(R(1, R_DEATH), 1.0f);
  EXPECT_EQ(R(1, R_Y), -1.0f);
}

TEST(Riders, SteeringNeverReverses) {
  GameHarness& h = Loaded();
  struct Case {
    int dir;
    std::vector<int> keys;
    int expected;
  } cases[] = {{DIR_RIGHT, {KEY_LEFT}, DIR_RIGHT},
               {DIR_RIGHT, {KEY_LEFT, KEY_UP}, DIR_UP},
               {DIR_UP, {KEY_DOWN}, DIR_UP},
               {DIR_UP, {KEY_RIGHT, KEY_DOWN}, DIR_RIGHT},
               {DIR_LEFT, {KEY_UP, KEY_DOWN}, DIR_DOWN}};
  for (const Case& c : cases) {
    Round(2);
    Place(1, 300, 200, c.dir);
    for (int k : c.keys) h.KeyDown(k);
    h.Update();
    for (int k : c.keys) h.KeyUp(k);
    EXPECT_EQ(R(1, R_DIR), float(c.expected)) << c.dir;
    EXPECT_EQ(R(1, R_X), float(300 + DIR_X[c.expected]));
  }
}

TEST(Riders, AccelerationAndPause) {
  GameHarness& h = Loaded();
  // Once the only human has crashed, a second step per update comes on the
  // 34th accelerating update.
  c_MyApp* app = Round(2);
  R(2, R_CONTROL) = -10.0f;
  R(1, R_DEATH) = 1.0f;
  h.Update();
  EXPECT_EQ(app->m_matchState[MS_LEVEL], 0.0f);
  h.Update(33);
  EXPECT_EQ(app->m_stepsExtra, 0);
  h.Update();
  EXPECT_EQ(app->m_stepsExtra, 1);

  // A computer-only match never accelerates while two ride.
  app = Round(3);
  app->m_demoMode = 1;
  for (int p = 1; p <= 3; ++p) R(p, R_CONTROL) = -10.0f;
  for (int i = 0; i < 150 && app->m_ridersInPlay >= 2; ++i) {
    h.Update();
    if (app->m_ridersInPlay >= 2) {
      ASSERT_EQ(app->m_matchState[MS_LEVEL], 0.0f) << i;
    }
  }

  // Paused: the dying go on dying, the living stand still but may turn.
  app = Round(2);
  R(1, R_DEATH) = 1.0f;
  app->m_paused = 1;
  h.KeyDown(KEY_UP);
  h.Update(3);
  h.KeyUp(KEY_UP);
  EXPECT_EQ(R(1, R_DEATH), 7.0f);
  EXPECT_EQ(R(2, R_X), 575.0f);
  EXPECT_EQ(R(2, R_DIR), float(DIR_UP));
  app->m_paused = 0;
}

TEST(Flow, RoundEndAndQuitKeys) {
  GameHarness& h = Loaded();
  // Rider 1 is removed last and takes the round; with its third win of a
  // "First to 3" match the menu follows 321 updates after the round ended.
  struct Case {
    int winsBefore, screenAfter, updates;
  } cases[] = {{2, SCREEN_MENU, 321}, {0, SCREEN_ARENA_PREPARE, 121}};
  for (const Case& c : cases) {
    c_MyApp* app = Round(2);
    app->m_wins[1] = c.winsBefore;
    R(1, R_DEATH) = 1.0f;
    R(2, R_DEATH) = 3.0f;
    int updates = 0;
    while (app->m_screen == SCREEN_MATCH && updates++ < 100) h.Update();
    ASSERT_EQ(app->m_screen, SCREEN_ROUND_WON);
    EXPECT_EQ(app->m_wins[1], c.winsBefore + 1);
    for (updates = 0; app->m_screen == SCREEN_ROUND_WON && updates < 400; ++updates) {
      h.Update();
      EXPECT_EQ(app->m_matchWon, c.winsBefore == 2 ? 1 : 0);
    }
    EXPECT_EQ(app->m_screen, c.screenAfter);
    EXPECT_EQ(updates, c.updates);
  }

  // Escape during the countdown leaves for the menu (during play it pauses:
  // the acceptance test's); a quit on the round-won screen's last update
  // stands.
  struct Key {
    int screen, key;
    float wonTimer;
  } keys[] = {{SCREEN_ROUND_START, KEY_ESCAPE, 0}, {SCREEN_ROUND_WON, KEY_V, 120}};
  for (const Key& k : keys) {
    c_MyApp* app = Round(2);
    app->m_screen = k.screen;
    app->m_matchState[MS_COUNTDOWN] = COUNTDOWN_START;
    app->m_matchState[MS_WON_TIMER] = k.wonTimer;
    h.KeyDown(k.key);
    h.Update();
    h.KeyUp(k.key);
    EXPECT_EQ((std::vector<int>{app->m_screen, app->m_paused, app->m_anyKeyHeld}), (std::vector<int>{SCREEN_MENU, 0, 1}))
        << k.screen;
  }

  // Game over: on its 90th update the menu-return screen comes, and the
  // overlay starts to withdraw in the same update.
  c_MyApp* app = Round(4);
  app->m_gameOver = 1;
  h.Update(60);
  // The overlay darkens the match: the wall's pink at 30% (blending rounds
  // differently on different renderers).
  EXPECT_TRUE(Near(h.Screenshot()[640 * 239 + 1] & 0xffffff, 0x4d2727, 6));
  h.Update(30);
  EXPECT_EQ(app->m_screen, SCREEN_MENU_RETURN);
  EXPECT_EQ(app->m_gameOverTimer, 71);
  app->m_gameOver = 0;
}

namespace {

std::string Bytes(const void* data, size_t n) { return std::string(static_cast<const char*>(data), n); }

// A computer-only "First to 3" match from menu entry `entry` to the menu,
// started from a fixed seed and clock. Returns, round by round, the winner
// and the grid and display list as the round ended; the update count last.
std::vector<std::string> PlayMatch(int entry) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  h.SetClock(100000, 17);
  bb_random_Seed = 1234;
  app->m_gameMode = entry;
  app->m_controlStyle = CONTROL_KEYBOARD;
  app->m_hostSource = SOURCE_KEYBOARD;
  app->m_screen = SCREEN_MATCH_LOAD;
  h.Update();
  EXPECT_EQ(app->m_screen, SCREEN_JOIN);
  EXPECT_EQ(app->m_gameMode, 8 - entry);
  // What the join screen's demo keys do.
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = 0;
  app->m_demoMode = 1;
  app->m_settings[SETTING_DEATH_RULE] = 0;
  app->m_settings[SETTING_SPEED] = 3;
  app->m_settings[SETTING_WINNER] = 1;
  app->m_settings[SETTING_SOUND_MODE] = 2;
  app->m_screen = SCREEN_ARENA_PREPARE;
  std::vector<std::string> record;
  int updates = 0;
  for (; app->m_screen != SCREEN_MENU && updates < 200000; ++updates) {
    const int before = app->m_screen;
    h.Update();
    if (before != SCREEN_MATCH || app->m_screen != SCREEN_ROUND_WON) continue;
    const std::vector<DrawEntry> list = h.DisplayList();
    record.push_back(std::to_string(int(app->m_matchState[MS_LAST_IN_PLAY])) + Bytes(&app->m_grid[0], sizeof(int) * GAME_GRID) +
                     Bytes(list.data(), list.size() * sizeof(DrawEntry)));
  }
  h.ReleaseClock();
  record.push_back(std::to_string(updates));
  return record;
}

}  // namespace

TEST(Match, ComputerMatchesReplayFromTheSeed) {
  const std::vector<std::string> first = PlayMatch(5);
  c_MyApp* app = GameHarness::Get().App();
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  ASSERT_GE(first.size(), 3u + 1);
  std::vector<int> winners;
  for (size_t r = 0; r + 1 < first.size(); ++r) winners.push_back(first[r][0] - '0');
  EXPECT_EQ(app->m_wins[winners.back()], 3);
  EXPECT_EQ(std::count(winners.begin(), winners.end(), winners.back()), 3);
  EXPECT_TRUE(PlayMatch(5) == first) << "the replay differs";
}
