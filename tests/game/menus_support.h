// What the menu tests share: a game on the menu with nothing held, the join
// slots, the text the display list spells, the saved state, and key codes.
#pragma once

#include <string>

#include "tests/game/harness.h"

namespace zephrine_test {

// Runtime key codes.
constexpr int KEY_ENTER = 13, KEY_ESCAPE = 27, KEY_SPACE = 32;
constexpr int KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40;
constexpr int KEY_B = 66, KEY_C = 67, KEY_N = 78, KEY_V = 86, KEY_X = 88;

// The game at w x h pixels, loaded, on the main menu with every box closed,
// no key or button held and both latches free.
GameHarness& OnMenu(int width = 640, int height = 480);

// A source's join slot: joined flag, rider, key latch.
int& Joined(c_MyApp* app, int source);
int& Rider(c_MyApp* app, int source);
int& Latch(c_MyApp* app, int source);
// The join screen as a match of `riders` opens it: every latch set, the
// keyboard host joined on rider 1, no rule row highlighted; one update run.
c_MyApp* OnJoin(GameHarness& h, int riders);

// Whether some line of text drawn spells `line` (spaces draw nothing, so
// they are ignored).
bool Shows(const GameHarness& h, const std::string& line);

// The state file as saved, "" when there is none.
std::string SavedState();
// Field i of the saved state string.
int SavedField(int i);

}  // namespace zephrine_test
