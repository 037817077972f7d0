// Scores and the match's counts behind them. While a round runs the match
// counts, per rider, the updates it stayed alive, the riders it outlived and
// the crashes it dodged at the last moment; at each round's end it adds the
// round won and the streaks, and at the match's end it turns the counts into
// the match's score (the best human's), enters it into the highscore table
// of the match size and hands the facts to the badge rules.
//
// The scoring rule: a second alive is worth 1 point, a rider outlived 10 and
// a round won 50, all summed over the match; the sum is then multiplied by
// the rules' difficulty, in quarters: 4 at "Speed = Slow", 2 more for each
// faster speed, 1 more when dead trails remain.
#include "game/match/facts.h"
#include "game/match/match.h"
#include "game/menus/state_string.h"

using namespace match;

namespace {

constexpr int UPDATES_PER_POINT = UPDATE_RATE;  // one point per second alive
constexpr int OUTLIVED_POINTS = 10;
constexpr int ROUND_POINTS = 50;
constexpr int DIFFICULTY_BASE = 4;       // quarters at the easiest rules
constexpr int DIFFICULTY_PER_SPEED = 2;  // quarters per speed step
constexpr int DIFFICULTY_LINE_REMAINS = 1;
constexpr int MAX_SPEED = 3;

bool Riding(c_MyApp* app, int p) { return Rider(app, p, R_NUMBER) > 0.0f && Rider(app, p, R_DEATH) == 0.0f; }

// Whether heading `dir` from (x, y) crashes in the next step: the rider
// moves into a free cell and crashes when the cell after it is taken.
bool CrashesAhead(c_MyApp* app, int x, int y, int dir) {
  return Cell(app, x + DIR_X[dir], y + DIR_Y[dir]) != 0 || Cell(app, x + 2 * DIR_X[dir], y + 2 * DIR_Y[dir]) != 0;
}

int Difficulty(int speed, int deathRule) {
  return DIFFICULTY_BASE + DIFFICULTY_PER_SPEED * std::max(0, std::min(speed, MAX_SPEED)) +
         (deathRule == 1 ? DIFFICULTY_LINE_REMAINS : 0);
}

int Score(const RiderFacts& r, int speed, int deathRule) {
  const int points = r.updates / UPDATES_PER_POINT + OUTLIVED_POINTS * r.outlived + ROUND_POINTS * r.wins;
  return points * Difficulty(speed, deathRule) / DIFFICULTY_BASE;
}

MatchFacts Gather(c_MyApp* app, MatchEvent event) {
  MatchFacts f;
  f.event = event;
  f.riders = RiderCount(app);
  f.speed = app->m_settings[SETTING_SPEED];
  f.deathRule = app->m_settings[SETTING_DEATH_RULE];
  f.winnerTarget = app->m_settings[SETTING_WINNER];
  f.roundsPlayed = app->m_roundsPlayed;
  const int winner = int(app->m_matchState[MS_LAST_IN_PLAY]);
  int computers = 0;
  for (int p = 1; p <= f.riders; ++p) {
    RiderFacts& r = f.rider[p];
    r.human = IsHuman(app, p);
    f.humans += r.human ? 1 : 0;
    computers += r.human ? 0 : 1;
    r.wonRound = p == winner;
    r.roundUpdates = int(Rider(app, p, R_ALIVE));
    r.roundCpuOutlived = int(Rider(app, p, R_CPU_OUTLIVED));
    r.updates = Tally(app, p, T_UPDATES);
    r.outlived = Tally(app, p, T_OUTLIVED);
    r.nearMisses = Tally(app, p, T_NEAR_MISSES);
    r.wins = app->m_wins[p];
    r.streak = Tally(app, p, T_STREAK);
    r.worstDeficit = Tally(app, p, T_DEFICIT);
    r.score = Score(r, f.speed, f.deathRule);
    const int needed = WinsNeeded(f.winnerTarget);
    if (needed > 0 && r.wins >= needed) f.matchWinner = p;
  }
  f.rider[f.matchWinner].wonMatch = f.matchWinner > 0;
  for (int p = 1; p <= f.riders; ++p) {
    if (f.rider[p].human && computers > 0 && f.rider[p].roundCpuOutlived == computers) ++f.humansAtEnd;
  }
  return f;
}

// The highscore facts of table t after the entry.
void AddTableFacts(const c_MyApp* app, MatchFacts& f) {
  for (int t = 0; t < PROGRESS_TABLES; ++t) f.scoredTables += app->m_highscores[PROGRESS_RANKS * t] > 0 ? 1 : 0;
  f.lastTenFull = true;
  for (int i = 0; i < PROGRESS_RANKS; ++i) {
    f.lastTenFull = f.lastTenFull && app->m_highscores[PROGRESS_LAST + PROGRESS_RANKS * f.table + i] > 0;
  }
}

}  // namespace

namespace match {

void ResetTally(c_MyApp* app) {
  for (int i = 0; i < GAME_TALLY; ++i) app->m_tally[i] = 0;
  app->m_roundsPlayed = 0;
  app->m_matchOpen = 1;
}

void TallyUpdate(c_MyApp* app) {
  if (app->m_paused != 0 || app->m_gameOver != 0) return;
  for (int p = 1; p <= MAX_RIDERS; ++p) {
    if (!Riding(app, p)) continue;
    Rider(app, p, R_ALIVE) += 1.0f;
    Tally(app, p, T_UPDATES) += 1;
  }
}

void TallyCrash(c_MyApp* app, int p) {
  const bool computer = !IsHuman(app, p);
  for (int q = 1; q <= MAX_RIDERS; ++q) {
    if (q == p || !Riding(app, q)) continue;
    Tally(app, q, T_OUTLIVED) += 1;
    if (computer) Rider(app, q, R_CPU_OUTLIVED) += 1.0f;
  }
}

void TallyTurn(c_MyApp* app, int p, int from, int to) {
  if (app->m_gameOver != 0) return;
  const int x = int(Rider(app, p, R_X)), y = int(Rider(app, p, R_Y));
  if (CrashesAhead(app, x, y, from) && !CrashesAhead(app, x, y, to)) Tally(app, p, T_NEAR_MISSES) += 1;
}

void TallyRoundEnd(c_MyApp* app) {
  app->m_roundsPlayed += 1;
  const int winner = int(app->m_matchState[MS_LAST_IN_PLAY]);
  const int riders = RiderCount(app);
  int leader = 0;
  for (int p = 1; p <= riders; ++p) leader = std::max(leader, app->m_wins[p]);
  for (int p = 1; p <= riders; ++p) {
    int& streak = Tally(app, p, T_STREAK);
    streak = p == winner ? streak + 1 : 0;
    int& deficit = Tally(app, p, T_DEFICIT);
    deficit = std::max(deficit, leader - app->m_wins[p]);
  }
  if (app->m_demoMode == 0) app->p_AwardBadges(Gather(app, MatchEvent::ROUND_END));
}

}  // namespace match

int c_MyApp::p_MatchEnded() {
  if (m_matchOpen == 0) return 0;
  m_matchOpen = 0;
  MatchFacts f = Gather(this, MatchEvent::MATCH_END);
  if (m_demoMode != 0 || f.humans == 0) return 0;
  m_lastScore = 0;
  for (int p = 1; p <= f.riders; ++p) {
    if (f.rider[p].human) m_lastScore = std::max(m_lastScore, f.rider[p].score);
  }
  f.score = m_lastScore;
  f.table = std::max(0, std::min(m_gameMode - 1, PROGRESS_TABLES - 1));
  f.previousBest = m_highscores[PROGRESS_RANKS * f.table];
  p_LoadMenu();
  AddTableFacts(this, f);
  p_AwardBadges(f);
  return 0;
}
