// What the menu tests share: a game on the menu with nothing held, the join
// slots, the text the display list spells, and the saved state.
#pragma once

#include <string>

#include "tests/game/harness.h"

namespace zephrine_test {

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

// Field i of the saved state string; -1 when there is none.
int SavedField(int i);

}  // namespace zephrine_test
