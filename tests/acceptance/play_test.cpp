// The real game played through its window, from start-up to its end: whole
// matches, the pause menu, full screen, focus loss, resizing, quitting.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "tests/acceptance/player.h"

using namespace zephrine_test;

namespace {

constexpr int SPEED_FIELD = 3, SOUND_FIELD = 5, STATE_FIELDS = 182;

void Pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// How far right the keyboard player's red trail (dimmed or not) reaches on
// its start row, in design units; 0 when none shows. Unsteered, the rider
// heads right from 64.
int TrailEnd(const Shot& s) {
  int end = 0;
  for (int x = 64; x < 640; ++x) {
    for (int y = 71; y <= 73; ++y) {
      const int c = int(s.At(x, y)), r = c >> 16, g = (c >> 8) & 0xff, b = c & 0xff;
      if (r > 60 && r > 3 * g && r > 3 * b) end = x;
    }
  }
  return end;
}

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more) {
  steps.insert(steps.end(), more.begin(), more.end());
  return steps;
}

TEST(Play, TwoRoundsAtEverySpeedFromStartUpThroughTheJoinScreenToTheRoundWonScreenAndBack) {
  SideBySide(4, [](Player& p, int speed) {
    std::string rules = "Down Down";  // the speed row
    for (int i = 0; i < speed; ++i) rules += " Right";
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.Play({{"", Screen::MENU}, {TWO_RIDERS, Screen::JOIN}, {rules + " Return", Screen::MARKERS}}));
    EXPECT_EQ(p.StateField(SPEED_FIELD), speed);  // each rule key saves
    // Into the top wall twice: a round ends once the computer crashes too.
    EXPECT_TRUE(p.Play({{"", Screen::PLAYING}, {"Up", Screen::MARKERS}, {"", Screen::PLAYING}, {"Up", Screen::MARKERS},
                        {"Escape", Screen::MENU}}))
        << "speed " << speed;
    p.Keys("F4");
    EXPECT_EQ(p.Exit(), 0);
  });
}

// Four games side by side: the pause menu, full screen, focus loss and
// resizing, each during a match that then goes on where it was.
TEST(Play, PauseFullScreenFocusLossAndResizingDuringAMatch) {
  const std::function<void(Player&, int)> games[] = {
      [](Player& p, int before) {
        p.Click(16, 16);  // the pause button
        ASSERT_TRUE(p.Play({{"", Screen::PAUSED}, {"Right Return", Screen::OPTIONS}}));
        ASSERT_TRUE(p.Play({{"Down Return Escape", Screen::PAUSED}}));  // sound: effects only; closing saves
        EXPECT_EQ(p.StateField(SOUND_FIELD), 2);
        Pause(0.5);  // keys act once the box has slid out
        p.Keys("Left Return");  // resume
        EXPECT_TRUE(p.WaitFor([&](const Shot& s) { return Shows(s, Screen::PLAYING) && TrailEnd(s) > before; }));
        unlink(p.Path(".tarvexstate").c_str());
        EXPECT_TRUE(p.Play({{"Escape", Screen::PAUSED}, {"Left Return", Screen::GAME_OVER}, {"", Screen::MENU}}));
        EXPECT_EQ(p.StateField(SOUND_FIELD), 2) << "saved on the way back to the menu";
      },
      [](Player& p, int before) {
        p.Hold("Right");  // steering the way it goes
        p.Keys("F11");
        EXPECT_TRUE(p.WaitFor([](const Shot& s) { return s.width > 640 && Shows(s, Screen::PLAYING); }));
        p.Keys("F11");
        EXPECT_TRUE(p.WaitFor([&](const Shot& s) {
          return s.width == 640 && Shows(s, Screen::PLAYING) && TrailEnd(s) > before;
        }));
        p.Release("Right");
        // No key is left held in the game: the pause menu takes the next ones.
        EXPECT_TRUE(p.Play({{"Escape", Screen::PAUSED}, {"Return", Screen::PLAYING}}));
      },
      [](Player& p, int) {
        unlink(p.Path(".tarvexstate").c_str());
        p.Focus(false);
        EXPECT_TRUE(Within(5, [&] { return p.StateField(SOUND_FIELD) == 1; })) << "saved on losing the focus";
        const int before = TrailEnd(p.Look());
        Pause(0.5);
        EXPECT_EQ(TrailEnd(p.Look()), before) << "nothing moves without the focus";
        p.Focus(true);
        ASSERT_TRUE(p.WaitFor(Screen::PAUSED));
        EXPECT_EQ(TrailEnd(p.Look()), before);
        p.Keys("Return");  // resume
        EXPECT_TRUE(p.WaitFor([&](const Shot& s) { return Shows(s, Screen::PLAYING) && TrailEnd(s) > before; }));
      },
      [](Player& p, int before) {
        p.Resize(1000, 750);
        EXPECT_TRUE(p.WaitFor(Screen::LOADING));
        EXPECT_TRUE(p.WaitFor([&](const Shot& s) {
          return s.width == 1000 && Shows(s, Screen::PLAYING) && TrailEnd(s) >= before;
        }));
      },
  };
  SideBySide(4, [&](Player& p, int i) {
    ASSERT_TRUE(p.Start() && p.Play(TO_MATCH));
    games[i](p, TrailEnd(p.Look()));
    p.Keys("F4");
    EXPECT_EQ(p.Exit(), 0) << i << p.Output();
  });
}

TEST(Play, TheCloseBoxAndF4EndWithStatusZeroFromEveryScreenLeavingNoHalfWrittenState) {
  // The ways from start-up to each screen: the loading screen at once, the
  // menu, its options box, the join screen (a rule row moved: saved), the
  // countdown, the match, the pause menu, the game-over overlay, the
  // round-won screen.
  const std::vector<Step> screens[] = {
      {},
      {TO_MATCH[0]},
      {TO_MATCH[0], {"Right Right Right Right Right Right Right Return", Screen::OPTIONS}},
      {TO_MATCH[0], {TWO_RIDERS + " Down", Screen::JOIN}},
      {TO_MATCH.begin(), TO_MATCH.end() - 1},
      TO_MATCH,
      Then(TO_MATCH, {{"Escape", Screen::PAUSED}}),
      Then(TO_MATCH, {{"Escape", Screen::PAUSED}, {"Left Return", Screen::GAME_OVER}}),
      Then(TO_MATCH, {{"Up", Screen::MARKERS}}),
  };
  constexpr int SCREENS = int(sizeof(screens) / sizeof(screens[0]));
  SideBySide(2 * SCREENS, [&](Player& p, int i) {
    const bool closeBox = i % 2 == 0;
    ASSERT_TRUE(p.Start() && p.Play(screens[i / 2])) << "screen " << i / 2;
    if (closeBox) {
      p.CloseBox();
    } else {
      p.Keys("F4");
    }
    EXPECT_EQ(p.Exit(), 0) << "screen " << i / 2 << (closeBox ? " close box" : " F4");
    const std::string state = p.State();
    EXPECT_TRUE(state.empty() || (state.back() == '|' && std::count(state.begin(), state.end(), '|') == STATE_FIELDS))
        << state;
    for (const auto& entry : std::filesystem::directory_iterator(p.Path(""))) {
      const std::string name = entry.path().filename();
      EXPECT_TRUE(name == "data" || name == "zephrine" || name == "output.txt" || name == ".tarvexstate") << name;
    }
  });
}

}  // namespace
