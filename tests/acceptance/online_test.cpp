// Two real games on two virtual displays of one machine play online over
// the loopback address: the host opens a two-rider match, the joiner's
// keyboard player joins it from the other machine and takes rider 2, and
// both games end the round with the same round line; the host quitting
// sends the joiner back to its menu with the reason.
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>

#include "tests/acceptance/player.h"

using namespace zephrine_test;

namespace {

std::string RoundLine(const Player& p, int round) {
  std::smatch m;
  const std::string out = p.Output();
  const std::regex line("round " + std::to_string(round) + " update [0-9]+ state [0-9a-f]{16}");
  return std::regex_search(out, m, line) ? m.str() : "";
}

}  // namespace

TEST(Online, HostAndJoinerOnTwoDisplaysPlayARoundAndEndItInTheSameState) {
  const std::string port = std::to_string(40000 + getpid() % 20000);
  Player host, joiner;
  ASSERT_TRUE(host.Start({}, false, "./zephrine", "--host " + port));
  ASSERT_TRUE(host.Play({{"", Screen::MENU}}));
  ASSERT_TRUE(joiner.Start({}, false, "./zephrine", "--join 127.0.0.1:" + port));
  ASSERT_TRUE(joiner.Play({{"", Screen::MENU}}));
  ASSERT_TRUE(Within(20, [&] { return host.Output().find("machine 2 joined") != std::string::npos; }))
      << host.Output();

  // The host's menu choice opens the join screen on both machines.
  host.Keys(TWO_RIDERS);
  ASSERT_TRUE(host.WaitFor([](const Shot& s) { return Shows(s, Screen::JOIN); }));
  ASSERT_TRUE(joiner.WaitFor([](const Shot& s) { return Shows(s, Screen::JOIN); }));
  // The joiner's keyboard player joins and moves on to rider 2; the host
  // starts the match.
  joiner.Keys("z Right");
  host.Keys("Return");
  for (Player* p : {&host, &joiner}) {
    ASSERT_TRUE(p->WaitFor([](const Shot& s) { return Shows(s, Screen::MARKERS); }));
    ASSERT_TRUE(p->WaitFor([](const Shot& s) { return Shows(s, Screen::PLAYING); }));
  }
  // The joiner steers rider 2 down into the wall; the host's rider rides
  // on to the end of the round.
  joiner.Keys("Down");
  ASSERT_TRUE(Within(90, [&] { return !RoundLine(host, 1).empty() && !RoundLine(joiner, 1).empty(); }))
      << host.Output() << joiner.Output();
  EXPECT_EQ(RoundLine(host, 1), RoundLine(joiner, 1));

  host.Keys("F4");
  EXPECT_EQ(host.Exit(), 0) << host.Output();
  EXPECT_TRUE(Within(20, [&] { return joiner.Output().find("The host left") != std::string::npos; }))
      << joiner.Output();
  EXPECT_TRUE(joiner.WaitFor([](const Shot& s) { return Shows(s, Screen::MENU); }));
  joiner.Keys("F4");
  EXPECT_EQ(joiner.Exit(), 0) << joiner.Output();
}
