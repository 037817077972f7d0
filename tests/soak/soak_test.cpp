// The soak: a computer-only match at "Speed = Hyper" with "Winner =
// Infinite" for half an hour of game time (108,000 updates), stepped as fast
// as the machine goes through the real runtime, with a frame drawn every
// few updates. Under the sanitizers in the long run (./test.sh --long):
// every round ends, the match never leaves its screens, and resident memory
// stays flat after the first minute. Prints the longest collection step.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "game/menus/state_string.h"
#include "tests/game/menus_support.h"

using namespace zephrine_test;

// Freed blocks wait in a small quarantine, so that resident memory shows
// what the game holds rather than how much the sanitizer keeps back.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace {

constexpr int UPDATES_PER_MINUTE = 60 * 60;
constexpr int UPDATES = 30 * UPDATES_PER_MINUTE;
constexpr int UPDATES_PER_FRAME = 4;
// A round at hyper speed, the computer riders speeding up, ends long before.
constexpr int LONGEST_ROUND = 2 * UPDATES_PER_MINUTE;
// Growth of resident memory allowed after the first minute: each round's
// tune is decoded anew (7 MB), and the copy comes and goes.
constexpr long GROWTH_KB = 16 * 1024;

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

TEST(Soak, HalfAnHourOfAComputerMatchAtHyperSpeed) {
  GameHarness& h = OnMenu();
  c_MyApp* app = OnJoin(h, 8);
  app->m_settings[SLOT_SPEED] = 3;
  app->m_settings[SLOT_WINNER_TARGET] = 0;
  h.KeyDown(KEY_B);  // both demo keys
  h.Press(KEY_N);
  h.KeyUp(KEY_B);
  ASSERT_EQ(app->m_demoMode, 1);
  gc_timed = true;
  long minuteKb = 0;
  int rounds = 0, roundStart = 0, longestRound = 0;
  for (int update = 1; update <= UPDATES; ++update) {
    const int before = app->m_screen;
    if (update % UPDATES_PER_FRAME == 0) h.Render();
    h.Update();
    const int screen = app->m_screen;
    ASSERT_TRUE(screen == SCREEN_ARENA_PREPARE || screen == SCREEN_ROUND_START || screen == SCREEN_MATCH ||
                screen == SCREEN_ROUND_WON)
        << "screen " << screen << " at update " << update;
    if (screen == SCREEN_ROUND_WON && before != SCREEN_ROUND_WON) {
      ++rounds;
      longestRound = std::max(longestRound, update - roundStart);
      roundStart = update;
    }
    if (update == UPDATES_PER_MINUTE) minuteKb = ResidentKb();
  }
  longestRound = std::max(longestRound, UPDATES - roundStart);
  const long endKb = ResidentKb();
  std::printf("soak: %d rounds, longest %d updates; resident %ld kB after a minute, %ld kB at the end; "
              "longest collection step %.3f ms\n",
              rounds, longestRound, minuteKb, endKb, gc_longest_step_ns / 1e6);
  EXPECT_LE(longestRound, LONGEST_ROUND);
  EXPECT_LE(endKb - minuteKb, GROWTH_KB);
}

}  // namespace
