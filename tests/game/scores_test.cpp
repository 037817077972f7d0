// Scores, highscores and badges through the stepping harness: the score of
// whole matches replayed from a seed with a scripted human, the score
// entered at every kind of match end and none without a human, every badge
// rule at its boundary, a badge's notice, sound and save, and the highscore
// view and the badges box driven by keys, joypads and the mouse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game/match/facts.h"
#include "game/match/match.h"
#include "game/menus/state_string.h"
#include "tests/game/harness.h"
#include "tests/support/support.h"

using namespace match;
using namespace zephrine_test;

using Scores = GameTest; using Badges = GameTest; using Views = GameTest;

namespace {

constexpr int FIRST_RIDE = 1;
constexpr int SENTINEL = 7;  // a score no test enters
constexpr int BADGE_GROUP_FIELD = GAME_SETTINGS + 1;
// Field of table t's newest score in the state string: top and last ranks
// alternate after the settings and badge blocks.
int LastScoreField(int t) { return GAME_SETTINGS + 1 + PROGRESS_BADGE_GROUPS + 1 + (2 * PROGRESS_RANKS + 1) * t + 1; }

float& R(c_MyApp* app, int p, int field) { return Rider(app, p, field); }
int& Top(c_MyApp* app, int t, int i) { return app->m_highscores[PROGRESS_RANKS * t + i]; }
int& Last(c_MyApp* app, int t, int i) { return app->m_highscores[PROGRESS_LAST + PROGRESS_RANKS * t + i]; }

void ClearProgress(c_MyApp* app) {
  for (int i = 0; i < GAME_HIGHSCORES; ++i) app->m_highscores[i] = 0;
  for (int i = 0; i < GAME_BADGES; ++i) app->m_badges[i] = false;
  for (int i = 0; i < GAME_NOTICES; ++i) app->m_noticeTimer[i] = 0;
}

// A match of `riders` loaded from the menu with the keyboard as host on
// rider 1, the rules set, on its way to the first round.
c_MyApp* LoadMatch(GameHarness& h, int riders, int speed, int deathRule, int target) {
  c_MyApp* app = h.App();
  app->m_gameMode = MAX_RIDERS + 1 - riders;  // the menu entry of that size
  app->m_controlStyle = 0;
  app->m_hostSource = SOURCE_KEYBOARD;
  app->m_screen = SCREEN_MATCH_LOAD;
  h.Update();
  EXPECT_EQ(app->m_screen, SCREEN_JOIN);
  app->m_settings[SETTING_SPEED] = speed;
  app->m_settings[SETTING_DEATH_RULE] = deathRule;
  app->m_settings[SETTING_WINNER] = target;
  app->m_settings[SETTING_SOUND_MODE] = 2;
  app->m_demoMode = app->m_paused = app->m_gameOver = 0;
  app->m_screen = SCREEN_ARENA_PREPARE;
  return app;
}

// The heading with the longest free run across `dir`, for a rider at (x, y).
int FreerSide(c_MyApp* app, int x, int y, int dir) {
  const int sides[2] = {dir == DIR_LEFT || dir == DIR_RIGHT ? DIR_UP : DIR_LEFT,
                        dir == DIR_LEFT || dir == DIR_RIGHT ? DIR_DOWN : DIR_RIGHT};
  int best = sides[0], longest = -1;
  for (int side : sides) {
    int run = 0;
    while (run < 100 && Cell(app, x + DIR_X[side] * (run + 1), y + DIR_Y[side] * (run + 1)) == 0) ++run;
    if (run > longest) best = side, longest = run;
  }
  return best;
}

// The scripted player of rider 1: straight on until the next step would
// crash, then the arrow key towards the freer side, held for one update.
void Autopilot(GameHarness& h) {
  constexpr int ARROWS[] = {0, KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_UP};
  for (int d = 1; d <= 4; ++d) h.KeyUp(ARROWS[d]);
  c_MyApp* app = h.App();
  if (app->m_screen != SCREEN_MATCH || R(app, 1, R_DEATH) != 0.0f || R(app, 1, R_NUMBER) == 0.0f) return;
  const int x = int(R(app, 1, R_X)), y = int(R(app, 1, R_Y)), dir = int(R(app, 1, R_DIR));
  if (Cell(app, x + DIR_X[dir], y + DIR_Y[dir]) == 0 && Cell(app, x + 2 * DIR_X[dir], y + 2 * DIR_Y[dir]) == 0) return;
  h.KeyDown(ARROWS[FreerSide(app, x, y, dir)]);
}

struct Played {
  int score, aliveUpdates, wins, rounds;
};

// A "First to 3" match played to its end by the scripted player against the
// computer, from a fixed clock.
Played PlayRecorded(int riders, int speed, int deathRule) {
  GameHarness& h = Loaded();
  h.SetClock(250000, 17);
  bb_random_Seed = 1234;
  c_MyApp* app = LoadMatch(h, riders, speed, deathRule, 1);
  Played played{0, 0, 0, 0};
  for (int updates = 0; app->m_screen != SCREEN_MENU && updates < 100000; ++updates) {
    Autopilot(h);
    const int before = app->m_screen;
    h.Update();
    if (before == SCREEN_MATCH && app->m_screen == SCREEN_MATCH && R(app, 1, R_NUMBER) > 0.0f &&
        R(app, 1, R_DEATH) == 0.0f) {
      ++played.aliveUpdates;
    }
  }
  Autopilot(h);
  h.ReleaseClock();
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  played.score = app->m_lastScore;
  played.wins = app->m_wins[1];
  played.rounds = app->m_roundsPlayed;
  return played;
}

}  // namespace

TEST_F(Scores, RecordedMatchesScoreTimeOutlivedAndWinsByTheRulesDifficulty) {
  // The recorded scores: a round won of four at "Fast" (44 s alive, one
  // rider outlived, one round won: 104 points, times 6/4); three short
  // rounds at "Hyper" with the trails remaining; a clean sweep at "Slow".
  struct Case {
    int riders, speed, deathRule, quarters, score;
  } cases[] = {{2, 1, 0, 6, 156}, {4, 3, 1, 11, 11}, {6, 0, 0, 4, 418}};
  for (const Case& c : cases) {
    c_MyApp* app = GameHarness::Get().App();
    ClearProgress(app);
    const Played p = PlayRecorded(c.riders, c.speed, c.deathRule);
    // A second alive is a point, an outlived rider ten, a round won fifty;
    // outliving is between none and every other rider in every round.
    const int base = p.aliveUpdates / 60 + 50 * p.wins;
    EXPECT_GE(p.score, base * c.quarters / 4) << c.riders;
    EXPECT_LE(p.score, (base + 10 * (c.riders - 1) * p.rounds) * c.quarters / 4) << c.riders;
    EXPECT_GE(p.aliveUpdates, 60) << c.riders;
    EXPECT_EQ(p.score, c.score) << c.riders;
    // Entered into the size's table, and the same match replays to the same score.
    EXPECT_EQ(Last(app, c.riders - 2, 0), p.score);
    EXPECT_EQ(Top(app, c.riders - 2, 0), p.score);
    const Played again = PlayRecorded(c.riders, c.speed, c.deathRule);
    EXPECT_EQ(again.score, p.score);
    EXPECT_EQ(again.aliveUpdates, p.aliveUpdates);
  }
}

namespace {

// Updates until the screen is `screen`; false when it did not come.
bool RunUntil(GameHarness& h, int screen, int most = 20000) {
  for (int i = 0; i < most && h.App()->m_screen != screen; ++i) h.Update();
  return h.App()->m_screen == screen;
}

// Rider p crashes where it stands.
void Crash(c_MyApp* app, int p) {
  R(app, p, R_DEATH) = 1.0f;
  TallyCrash(app, p);
}

enum class End { WINS_NEEDED, PAUSE_QUIT, QUIT_CHECK, DEMO, COMPUTERS_ONLY };

}  // namespace

TEST_F(Scores, EveryEndOfAMatchWithAHumanEntersItsScoreAndADemoOrAComputerMatchNothing) {
  struct Case {
    End end;
    bool entered;
  } cases[] = {{End::WINS_NEEDED, true}, {End::PAUSE_QUIT, true}, {End::QUIT_CHECK, true},
               {End::DEMO, false},       {End::COMPUTERS_ONLY, false}};
  GameHarness& h = Loaded();
  for (const Case& c : cases) {
    const int end = int(c.end);
    c_MyApp* app = h.App();
    ClearProgress(app);
    for (int i = 0; i < PROGRESS_RANKS; ++i) Last(app, 1, i) = SENTINEL;
    LoadMatch(h, 3, 0, 0, 1);
    if (c.end == End::DEMO || c.end == End::COMPUTERS_ONLY) {
      for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = 0;
    }
    h.Update();  // the arena is prepared: the demo is set as the join screen sets it
    app->m_demoMode = c.end == End::DEMO ? 1 : 0;
    ASSERT_TRUE(RunUntil(h, SCREEN_MATCH)) << end;
    h.Update(70);  // the keyboard's rider heads right from the left: over a second alive
    switch (c.end) {
      case End::WINS_NEEDED:
        // Its third win: the others crash, it rides on alone until it crashes too.
        app->m_wins[1] = 2;
        Crash(app, 2);
        Crash(app, 3);
        ASSERT_TRUE(RunUntil(h, SCREEN_ROUND_WON));
        h.Update();
        break;
      case End::PAUSE_QUIT:
      case End::COMPUTERS_ONLY:
        h.Press(KEY_ESCAPE);
        h.Update(20);
        h.Press(KEY_LEFT);
        h.Update();
        h.Press(KEY_ENTER);
        ASSERT_TRUE(RunUntil(h, SCREEN_MENU)) << end;
        break;
      case End::QUIT_CHECK:
      case End::DEMO:
        if (c.end == End::QUIT_CHECK) Crash(app, 1);
        ASSERT_TRUE(RunUntil(h, SCREEN_ROUND_WON)) << end;
        h.Press(KEY_V);
        EXPECT_EQ(app->m_screen, SCREEN_MENU) << end;
        break;
    }
    const int score = app->m_lastScore;
    SCOPED_TRACE(end);
    EXPECT_EQ(Last(app, 1, 0), c.entered ? score : SENTINEL);
    EXPECT_EQ(Last(app, 1, 1), SENTINEL);
    EXPECT_EQ(app->m_badges[FIRST_RIDE], c.entered);
    if (!c.entered) continue;
    EXPECT_GT(score, 0) << end;
    EXPECT_EQ(StateField(SavedState(), LastScoreField(1)), score) << end;
    // The entry is made once: the menu-return screen after it adds none.
    app->m_screen = SCREEN_MENU_RETURN;
    h.Update();
    EXPECT_EQ(Last(app, 1, 1), SENTINEL) << end;
  }
}

namespace {

// A match of `riders` whose round has just ended, as the badge rules find
// it: rider 1 the keyboard's, the others computers, rider 2 the round's
// winner, nothing counted yet, the easiest rules, no progress.
c_MyApp* Prepared(int riders) {
  c_MyApp* app = GameHarness::Get().App();
  ClearProgress(app);
  app->m_gameMode = riders - 1;
  app->m_settings[SETTING_SPEED] = app->m_settings[SETTING_DEATH_RULE] = 0;
  app->m_settings[SETTING_WINNER] = 1;
  app->m_demoMode = 0;
  ResetTally(app);
  for (int i = 0; i < RIDER_RECORDS_END; ++i) app->m_matchState[i] = 0.0f;
  for (int i = 0; i < GAME_WINS; ++i) app->m_wins[i] = 0;
  for (int p = 1; p <= riders; ++p) R(app, p, R_CONTROL) = p == 1 ? float(SOURCE_KEYBOARD) : -10.0f;
  app->m_matchState[MS_LAST_IN_PLAY] = 2.0f;
  return app;
}

void WinMatch(c_MyApp* app) {
  app->m_wins[1] = 3;
  app->m_roundsPlayed = 4;
}

}  // namespace

TEST_F(Badges, EveryRuleHoldsAtItsBoundaryAndNotJustShortOfIt) {
  using Prepare = std::function<void(c_MyApp*, bool meet)>;
  struct Case {
    int badge;
    MatchEvent event;
    int riders;
    Prepare prepare;
  } cases[] = {
      {1, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { R(a, 1, R_CONTROL) = m ? 0.0f : -5.0f; }},
      {2, MatchEvent::ROUND_END, 2, [](c_MyApp* a, bool m) { a->m_matchState[MS_LAST_IN_PLAY] = m ? 1.0f : 2.0f; }},
      {3, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_settings[SETTING_SPEED] = m ? 0 : 1; }},
      {4, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_settings[SETTING_SPEED] = m ? 1 : 2; }},
      {5, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_settings[SETTING_SPEED] = m ? 2 : 3; }},
      {6, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_settings[SETTING_SPEED] = m ? 3 : 0; }},
      {7, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_settings[SETTING_DEATH_RULE] = m; }},
      {8, MatchEvent::ROUND_END, 8, [](c_MyApp* a, bool m) { R(a, 1, R_CPU_OUTLIVED) = m ? 7.0f : 6.0f; }},
      {9, MatchEvent::MATCH_END, 5,
       [](c_MyApp* a, bool m) {
         for (int p = 2; p <= (m ? 4 : 3); ++p) R(a, p, R_CONTROL) = float(p - 2);
       }},
      {10, MatchEvent::ROUND_END, 2, [](c_MyApp* a, bool m) { R(a, 1, R_ALIVE) = m ? 3600.0f : 3599.0f; }},
      {11, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { Tally(a, 1, T_UPDATES) = m ? 18000 : 17999; }},
      {12, MatchEvent::ROUND_END, 2, [](c_MyApp* a, bool m) { Tally(a, 1, T_NEAR_MISSES) = m ? 1 : 0; }},
      {13, MatchEvent::ROUND_END, 2, [](c_MyApp* a, bool m) { Tally(a, 1, T_NEAR_MISSES) = m ? 10 : 9; }},
      {14, MatchEvent::ROUND_END, 2,
       [](c_MyApp* a, bool m) { Tally(a, 1, T_STREAK) = 2, a->m_matchState[MS_LAST_IN_PLAY] = m ? 1.0f : 2.0f; }},
      {15, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_roundsPlayed = m ? 3 : 4; }},
      {16, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), Tally(a, 1, T_DEFICIT) = m ? 2 : 1; }},
      {17, MatchEvent::MATCH_END, 2,
       [](c_MyApp* a, bool m) { a->m_settings[SETTING_WINNER] = m ? 3 : 2, a->m_wins[1] = m ? 10 : 5; }},
      {18, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { WinMatch(a), a->m_gameMode = m ? 1 : 2; }},
      {19, MatchEvent::MATCH_END, 8, [](c_MyApp* a, bool m) { WinMatch(a), a->m_gameMode = m ? 7 : 6; }},
      {20, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { Tally(a, 1, T_UPDATES) = m ? 6000 : 5999; }},
      {21, MatchEvent::MATCH_END, 2, [](c_MyApp* a, bool m) { Tally(a, 1, T_UPDATES) = m ? 60000 : 59999; }},
      {22, MatchEvent::MATCH_END, 2,
       [](c_MyApp* a, bool m) { Top(a, 0, 0) = 5, Tally(a, 1, T_UPDATES) = m ? 360 : 300; }},
      {23, MatchEvent::MATCH_END, 2,
       [](c_MyApp* a, bool m) {
         for (int i = 0; i < PROGRESS_RANKS - 1; ++i) Last(a, 0, i) = i == 8 && !m ? 0 : 1;
         Tally(a, 1, T_UPDATES) = 60;
       }},
      {24, MatchEvent::MATCH_END, 2,
       [](c_MyApp* a, bool m) {
         for (int t = 1; t < PROGRESS_TABLES; ++t) Top(a, t, 0) = t == 6 && !m ? 0 : 1;
         Tally(a, 1, T_UPDATES) = 60;
       }},
      {25, MatchEvent::ROUND_END, 2, [](c_MyApp* a, bool m) { R(a, 1, R_ALIVE) = m ? 59.0f : 60.0f; }},
      {26, MatchEvent::ROUND_END, 3,
       [](c_MyApp* a, bool m) {
         R(a, 2, R_CONTROL) = 0.0f;
         R(a, 1, R_CPU_OUTLIVED) = 1.0f;
         R(a, 2, R_CPU_OUTLIVED) = m ? 1.0f : 0.0f;
       }},
      {27, MatchEvent::ROUND_END, 2,
       [](c_MyApp* a, bool m) { a->m_settings[SETTING_SPEED] = 3, R(a, 1, R_ALIVE) = m ? 1800.0f : 1799.0f; }},
      {28, MatchEvent::ROUND_END, 2,
       [](c_MyApp* a, bool m) { a->m_settings[SETTING_WINNER] = 0, a->m_wins[1] = m ? 20 : 19; }},
  };
  c_MyApp* app = Loaded().App();
  std::vector<bool> covered(GAME_BADGES, false);
  for (const Case& c : cases) {
    for (bool meet : {false, true}) {
      Prepared(c.riders);
      c.prepare(app, meet);
      if (c.event == MatchEvent::ROUND_END) {
        TallyRoundEnd(app);
      } else {
        app->p_MatchEnded();
      }
      EXPECT_EQ(app->m_badges[c.badge], meet) << app->p_BadgeName(c.badge).ToUtf8() << (meet ? " met" : " missed");
    }
    covered[c.badge] = true;
  }
  // Every badge of the catalogue has its case; the test badge is never earned.
  for (int badge = 1; badge < GAME_BADGES; ++badge) {
    EXPECT_EQ(covered[badge], app->p_BadgeName(badge).Length() > 0) << badge;
  }
  EXPECT_FALSE(app->m_badges[0]);
}

TEST_F(Badges, EarningSetsTheFlagShowsTheNoticePlaysTheChimeAndSaves) {
  GameHarness& h = Loaded();
  c_MyApp* app = Prepared(2);
  app->m_screen = SCREEN_MENU;
  for (int i = 0; i < GAME_NOTICES; ++i) app->m_noticeTimer[i] = i < 2 ? 5 : 0;  // two notices showing
  const int channel = app->m_sfxChannel;
  app->m_settings[SETTING_SOUND_MODE] = 2;
  Tally(app, 1, T_NEAR_MISSES) = 1;
  TallyRoundEnd(app);  // earns Close Shave (and Kamikaze: rider 1 was alive for no time)
  EXPECT_EQ(app->m_noticeBadge[2], 12);
  EXPECT_EQ(app->m_noticeTimer[2], 1);
  EXPECT_EQ(app->m_noticeBadge[3], 25);
  EXPECT_EQ(app->m_sfxChannel, (channel + 2) % SFX_CHANNELS);
  EXPECT_EQ(StateField(SavedState(), BADGE_GROUP_FIELD), (1 << 12) | (1 << 25));
  // The notice slides in with the badge's art; an earned badge is not earned again.
  h.Update(20);
  bool art = false;
  for (const DrawEntry& e : h.EntriesOf(SLOT_BADGE_ART)) art = art || (e.frame == 12 && e.y == bb_KRV_jscrh - 34 * 3 + 16);
  EXPECT_TRUE(art);
  TallyRoundEnd(app);
  EXPECT_EQ(app->m_noticeTimer[4], 0);
}

namespace {

// One way of playing the menus: moving a cursor, accepting, closing.
struct Device {
  const char* name;
  std::function<void(GameHarness&, int dir)> move;  // DIR_ of the move
  std::function<void(GameHarness&)> accept;
  std::function<void(GameHarness&)> close;
};

constexpr int PAD_BUTTON_OF_DIR[] = {0, JOY_DPAD_RIGHT, JOY_DPAD_DOWN, JOY_DPAD_LEFT, JOY_DPAD_UP};
constexpr int KEY_OF_DIR[] = {0, KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_UP};

const Device KEYS{"keys", [](GameHarness& h, int dir) { Tap(h, KEY_OF_DIR[dir]); },
                  [](GameHarness& h) { Tap(h, KEY_ENTER); }, [](GameHarness& h) { Tap(h, KEY_ESCAPE); }};
const Device PAD{"joypad", [](GameHarness& h, int dir) { TapPad(h, 1, PAD_BUTTON_OF_DIR[dir]); },
                 [](GameHarness& h) { TapPad(h, 1, JOY_A); }, [](GameHarness& h) { TapPad(h, 1, JOY_B); }};

// The options box open on the menu, its cursor on row 0, slid in.
c_MyApp* OptionsOpen(GameHarness& h) {
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  app->m_creditsOpen = app->m_badgesOpen = app->m_highscoresOpen = app->m_paused = 0;
  app->m_gameOverTimer = 0;
  h.Update(31);
  app->m_optionsOpen = 1;
  app->m_optionsRow = 0;
  h.Update(31);
  return app;
}

// Rows of the options box over the menu on a 640 x 480 window: their bars'
// middle, 40 apart from 140.
constexpr int HIGHSCORES_ROW = 6, BADGES_ROW = 7;
float RowY(int row) { return 140.0f + 40.0f * float(row - 1); }

}  // namespace

// A loaded game with fresh progress in which the last match entered the top
// of table 4.
c_MyApp* WithAnEnteredScore(GameHarness& h) {
  c_MyApp* app = h.App();
  ClearProgress(app);
  app->m_enteredTable = 4;
  app->m_enteredRank = 0;
  Top(app, 4, 0) = Last(app, 4, 0) = 321;
  return app;
}

// Opens the options box, moves its cursor down to `row` and accepts it, all
// by `d`; the options box closes as the view opens.
void ChooseRow(GameHarness& h, const Device& d, int row) {
  OptionsOpen(h);
  for (int i = 0; i < row; ++i) d.move(h, DIR_DOWN);
  d.accept(h);
  EXPECT_EQ(h.App()->m_optionsOpen, 0);
  h.Update(31);  // the options box slides out
}

TEST_F(Views, TheHighscoresOpenOnTheEnteredTableStepAndCloseByKeysAndJoypads) {
  GameHarness& h = Loaded();
  c_MyApp* app = WithAnEnteredScore(h);
  for (const Device& d : {KEYS, PAD}) {
    SCOPED_TRACE(d.name);
    ChooseRow(h, d, HIGHSCORES_ROW);
    EXPECT_EQ(app->m_highscoresOpen, 1);
    EXPECT_EQ(app->m_highscoreTable, 4);
    d.move(h, DIR_RIGHT);
    d.move(h, DIR_RIGHT);
    d.move(h, DIR_LEFT);
    EXPECT_EQ(app->m_highscoreTable, 5);
    d.close(h);
    EXPECT_EQ(app->m_highscoresOpen, 0);
    EXPECT_EQ(app->m_screen, SCREEN_MENU);
  }
}

TEST_F(Views, TheBadgesOpenScrollAndCloseByKeysAndJoypads) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  for (const Device& d : {KEYS, PAD}) {
    SCOPED_TRACE(d.name);
    ChooseRow(h, d, BADGES_ROW);
    EXPECT_EQ(app->m_badgesOpen, 1);
    app->m_badgeScroll = app->m_badgeScrollTarget = 0.0f;
    for (int i = 0; i < 10; ++i) d.move(h, DIR_DOWN);
    EXPECT_LT(app->m_badgeScrollTarget, -100.0f);
    d.close(h);
    EXPECT_EQ(app->m_badgesOpen, 0);
    EXPECT_EQ(app->m_screen, SCREEN_MENU);
  }
}

// The mouse: a tap on the row, on the arrows, and beside the panel closes.
TEST_F(Views, TheHighscoresOpenStepAndCloseByTaps) {
  GameHarness& h = Loaded();
  c_MyApp* app = WithAnEnteredScore(h);
  OptionsOpen(h);
  h.Click(320, RowY(HIGHSCORES_ROW));
  h.Update(31);
  EXPECT_EQ(app->m_highscoresOpen, 1);
  EXPECT_EQ(app->m_highscoreTable, 4);
  h.Click(320 - 150, 92);
  h.Update();
  EXPECT_EQ(app->m_highscoreTable, 3);
  h.Click(320, 300);
  h.Update();
  EXPECT_EQ(app->m_highscoresOpen, 0);
}

TEST_F(Views, TheBadgesOpenByATapScrollByADragAndCloseByATapBeside) {
  GameHarness& h = Loaded();
  c_MyApp* app = OptionsOpen(h);
  h.Click(320, RowY(BADGES_ROW));
  h.Update(31);
  EXPECT_EQ(app->m_badgesOpen, 1);
  app->m_badgeScroll = app->m_badgeScrollTarget = 0.0f;
  h.MouseMove(320, 400);
  h.MouseDown();
  h.Update();
  h.MouseMove(320, 300);
  h.Update();
  h.MouseUp();
  h.Update();
  EXPECT_LT(app->m_badgeScrollTarget, -100.0f);
  h.Click(20, 240);
  h.Update();
  EXPECT_EQ(app->m_badgesOpen, 0);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
}
