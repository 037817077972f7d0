// Two players at one keyboard of a machine without joypads play a whole
// round of the real game: the options box cuts the keyboard in two and
// saves it, the next start reads it back, the arrows' seat opens a
// two-rider match and rides rider 1, the letters' seat joins and moves on to
// rider 2, and each key steers its own seat's rider alone.
#include <gtest/gtest.h>

#include "tests/acceptance/player.h"

using namespace zephrine_test;

namespace {

constexpr int SEATS_FIELD = 15;

}  // namespace

TEST(Seats, TwoPlayersAtOneKeyboardJoinStartAndEachSteersTheirOwnRiderThroughAWholeRound) {
  Player p;
  ASSERT_TRUE(p.Start());
  // The gear, then the Keyboard row of its box: two players; closing saves.
  // The game is then started afresh, so the menu is reached without waiting
  // for the box to slide away (the menu ignores keys until it has).
  ASSERT_TRUE(p.Play({{"", Screen::MENU}, {"Right Right Right Right Right Right Right Return", Screen::OPTIONS}}));
  p.Keys("Down Down Down Down Return Escape");
  EXPECT_TRUE(Within(10, [&] { return StateField(p.State(), SEATS_FIELD) == 1; })) << p.State();
  p.Keys("F4");
  ASSERT_EQ(p.Exit(), 0) << p.Output();
  ASSERT_TRUE(p.Start());
  // The arrows choose the two-rider match; the letters join and move on.
  ASSERT_TRUE(p.Play(
      {{"", Screen::MENU}, {TWO_RIDERS, Screen::JOIN}, {"z d Return", Screen::MARKERS}, {"", Screen::PLAYING}}));
  // The letters' down turns rider 2 into the bottom wall; rider 1 rides on.
  p.Keys("s");
  const int before = TrailEnd(p.Look());
  EXPECT_TRUE(p.WaitFor([&](const Shot& s) { return Shows(s, Screen::PLAYING) && TrailEnd(s) > before + 32; }, 20));
  // The arrows' down turns rider 1: its trail along the start row stops
  // short of the wall and stays so for half a second of looks.
  p.Keys("Down");
  int last = 0, unchanged = 0;
  EXPECT_TRUE(p.WaitFor(
      [&](const Shot& s) {
        const int end = TrailEnd(s);
        unchanged = end == last ? unchanged + 1 : 0;
        last = end;
        return Shows(s, Screen::PLAYING) && unchanged >= 5 && end < 600;
      },
      20));
  // Both riders out: the round is over, and back leaves for the menu.
  EXPECT_TRUE(p.Play({{"", Screen::MARKERS}, {"Escape", Screen::MENU}}));
  p.Keys("F4");
  EXPECT_EQ(p.Exit(), 0) << p.Output();
}
