// A short match on the real game, ridden past its first second and quit
// from the pause menu: the state file then holds a score above 0 as the
// two-rider table's newest and best, and the "First Ride" badge.
#include <gtest/gtest.h>

#include <functional>

#include "tests/acceptance/player.h"

using namespace zephrine_test;

namespace {

// Fields of the state string: the badge group of badges 0 to 31, then the
// two-rider table's best and newest score.
constexpr int BADGE_GROUP_FIELD = 26, TOP_FIELD = 35, LAST_FIELD = 36;
constexpr int FIRST_RIDE_BIT = 1 << 1;

// The keyboard's red trail has reached x on its start row: heading right
// from 64 at one cell an update, it has ridden for x - 64 updates.
bool TrailReaches(const Shot& s, int x) {
  const int c = int(s.At(x, 73)), r = c >> 16, g = (c >> 8) & 0xff, b = c & 0xff;
  return r > 60 && r > 3 * g && r > 3 * b;
}

// The pause box, dropped in, with its cursor ring round the quit button.
bool QuitMarked(const Shot& s) { return (s.At(180, 150) & 0xffff00) == 0xffff00; }

// A key pressed again until the window shows what follows: a game slowed
// down by a busy machine may take no update between two quick presses, and
// a press that comes while the one before still holds the key latch is lost.
bool PressUntil(const Player& p, const std::string& key, const std::function<bool(const Shot&)>& seen) {
  return Within(60, [&] {
    p.Keys(key);
    return p.WaitFor(seen, 1);
  });
}

}  // namespace

TEST(Scores, AMatchQuitAfterItsFirstSecondLeavesItsScoreAndTheFirstRideBadgeInTheStateFile) {
  Player p;
  ASSERT_TRUE(p.Start() && p.Play(TO_MATCH));
  EXPECT_TRUE(p.WaitFor([](const Shot& s) { return TrailReaches(s, 64 + 90); }));
  ASSERT_TRUE(p.Play({{"Escape", Screen::PAUSED}}));
  ASSERT_TRUE(PressUntil(p, "Left", QuitMarked));
  ASSERT_TRUE(PressUntil(p, "Return", [](const Shot& s) { return Shows(s, Screen::GAME_OVER); }));
  ASSERT_TRUE(p.Play({{"", Screen::MENU}}));
  const std::string state = p.State();
  EXPECT_GT(StateField(state, LAST_FIELD), 0) << state;
  EXPECT_EQ(StateField(state, TOP_FIELD), StateField(state, LAST_FIELD)) << state;
  EXPECT_EQ(StateField(state, BADGE_GROUP_FIELD), FIRST_RIDE_BIT) << state;
  p.Keys("F4");
  EXPECT_EQ(p.Exit(), 0) << p.Output();
}
