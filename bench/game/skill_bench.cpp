// How often each computer skill beats another: seeded two-rider rounds with
// nobody at the controls, played through the real match frame in the
// stepping harness (its window is never drawn). Each pairing plays the same
// seeds with the skills on either seat in turn, so neither start corner
// nor the higher rider number (which takes a round when both go out in the
// same step) favours a skill. Prints the share of rounds each skill won.
//
//   skill_bench [--rounds N]   N rounds per pairing, 1000 unless given
//
// Run from the game folder (build/game), where data/ is, under a display.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/match/match.h"
#include "tests/game/harness.h"

using namespace match;
using zephrine_test::GameHarness;

namespace {

constexpr int DEFAULT_ROUNDS = 1000;
// The clock each round's seed is taken from starts here and moves on by
// one per round.
constexpr int FIRST_CLOCK_MS = 500000;
// A round that lasts this long is counted as a draw (none has so far).
constexpr int MAX_UPDATES = 100000;
constexpr int HYPER = 3;

const char* const SKILL_NAMES[SKILL_COUNT] = {"Normal", "Hard", "Easy"};

struct Pairing {
  int a, b;
};
constexpr Pairing PAIRINGS[] = {{SKILL_HARD, SKILL_NORMAL}, {SKILL_NORMAL, SKILL_EASY}, {SKILL_HARD, SKILL_EASY},
                                {SKILL_NORMAL, SKILL_NORMAL}};

// One round of rider 1 at skill `first` against rider 2 at `second`; the
// winning rider's number, 0 for a draw. Updates played are added to
// `updates`.
int PlayRound(GameHarness& h, int clockMs, int first, int second, long& updates) {
  c_MyApp* app = h.App();
  h.SetClock(clockMs);
  app->m_screen = SCREEN_ARENA_PREPARE;
  app->m_ridersInPlay = 0;
  h.Update();
  Rider(app, 1, R_SKILL) = float(first);
  Rider(app, 2, R_SKILL) = float(second);
  app->m_screen = SCREEN_MATCH;
  for (int u = 0; u < MAX_UPDATES; ++u) {
    app->p_Game();
    ++updates;
    if (app->m_screen == SCREEN_ROUND_WON) return int(app->m_matchState[MS_LAST_IN_PLAY]);
  }
  return 0;
}

int Rounds(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0) return std::max(1, std::atoi(argv[i + 1]));
  }
  return DEFAULT_ROUNDS;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = Rounds(argc, argv);
  GameHarness& h = GameHarness::Get();
  if (!h.FinishLoading()) {
    std::fprintf(stderr, "skill_bench: the game did not load (run it from the game folder)\n");
    return 1;
  }
  c_MyApp* app = h.App();
  app->m_gameMode = 1;  // two riders
  app->m_demoMode = 1;
  app->m_settings[SETTING_DEATH_RULE] = 0;
  app->m_settings[SETTING_SPEED] = HYPER;
  app->m_settings[SETTING_SOUND_MODE] = 0;
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = 0;

  std::printf("%-16s %7s %7s %7s %7s %10s\n", "pairing", "rounds", "A won", "B won", "draws", "A won %");
  for (const Pairing& pairing : PAIRINGS) {
    int wonA = 0, wonB = 0;
    long updates = 0;
    for (int r = 0; r < rounds; ++r) {
      const bool aFirst = r % 2 == 0;
      const int winner = PlayRound(h, FIRST_CLOCK_MS + r / 2, aFirst ? pairing.a : pairing.b,
                                   aFirst ? pairing.b : pairing.a, updates);
      if (winner == 0) continue;
      ((winner == 1) == aFirst ? wonA : wonB) += 1;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%s v %s", SKILL_NAMES[pairing.a], SKILL_NAMES[pairing.b]);
    std::printf("%-16s %7d %7d %7d %7d %9.1f%%   (%.0f updates a round)\n", name, rounds, wonA, wonB,
                rounds - wonA - wonB, 100.0 * wonA / rounds, double(updates) / rounds);
    std::fflush(stdout);
  }
  h.ReleaseClock();
  return 0;
}
