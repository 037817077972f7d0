// The soak: a computer-only match at "Speed = Hyper" with "Winner =
// Infinite" for half an hour of game time (108,000 updates) through the real
// runtime, stepped as fast as the machine goes, a frame drawn and swapped
// every fourth update (unswapped, Mesa's llvmpipe holds on to each frame's
// work and memory grows by about 11 kB a frame); under the sanitizers in the
// long run (./test.sh --long). The match stays on its screens, every round
// ends, and the peak of resident memory stays flat after the first minute.
// Prints the longest collection step.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "game/menus/state_string.h"
#include "tests/game/harness.h"

using namespace zephrine_test;

// Freed blocks wait in a small quarantine, so that resident memory shows
// what the game holds rather than what the sanitizer keeps back.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

TEST(Soak, HalfAnHourOfAComputerMatchAtHyperSpeed) {
  constexpr int MINUTE = 60 * 60;  // updates
  const int match = 1 << SCREEN_ARENA_PREPARE | 1 << SCREEN_ROUND_START | 1 << SCREEN_MATCH | 1 << SCREEN_ROUND_WON;
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  h.Press(KEY_ENTER);  // the menu's first entry: 8 riders, through the match loader to the join screen
  for (int update = 0; update < 60 && app->m_screen != SCREEN_JOIN; ++update) h.Update();
  ASSERT_EQ(app->m_screen, SCREEN_JOIN);
  app->m_settings[SETTING_SPEED] = 3;
  app->m_settings[SETTING_WINNER] = 0;
  h.KeyDown(KEY_B);  // both demo keys
  h.Press(KEY_N);
  h.KeyUp(KEY_B);
  gc_timed = true;
  rusage usage;  // the peak of resident memory: after the first minute, and at the end
  long minuteKb = 0;
  int rounds = 0, sinceWon = 0, longestRound = 0;  // updates
  for (int update = 1; update <= 30 * MINUTE; ++update) {
    if (update % 4 == 0) h.Render(), glfwSwapBuffers(glfwGetCurrentContext());  // as the loop draws
    h.Update();
    ASSERT_TRUE(match >> app->m_screen & 1) << "screen " << app->m_screen << " at update " << update;
    rounds += app->m_screen == SCREEN_ROUND_WON && sinceWon > 0;
    sinceWon = app->m_screen == SCREEN_ROUND_WON ? 0 : sinceWon + 1;
    longestRound = std::max(longestRound, sinceWon);
    if (update == MINUTE && getrusage(RUSAGE_SELF, &usage) == 0) minuteKb = usage.ru_maxrss;
  }
  getrusage(RUSAGE_SELF, &usage);
  const long growthKb = usage.ru_maxrss - minuteKb;
  std::printf("soak: %d rounds, the longest %d updates; peak resident memory %+ld kB after the first minute; "
              "longest collection step %.3f ms\n", rounds, longestRound, growthKb, gc_longest_step_ns / 1e6);
  EXPECT_LE(longestRound, 2 * MINUTE);  // every round ends
  EXPECT_LE(growthKb, 16 * 1024);  // each round's tune decoded anew: 7 MB that come and go
}
