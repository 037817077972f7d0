// The runtime spine under a real X server: the program is started in a child
// process with a small probe application and driven the way a player's
// desktop would (a typed key, a held button), its window seen through
// xdotool. Every check is on places, codes and exit statuses; the loop's
// timing and its suspension are tested on a clock of its own in the unit
// test, the focus and the close box on the real game in the acceptance
// test. ctest runs no other window test beside this one, so no other window
// takes the keyboard focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <vector>

#include "graphics/graphics.h"
#include "input/input.h"
#include "probe_app.h"
#include "tests/support/support.h"

using zephrine_test::ChildResult;

namespace {

typedef std::vector<std::vector<long>> Rows;

// The lines of `out` that start with `word` (followed by a space or, as
// xdotool prints them, "="), each split into its numbers.
Rows Records(const std::string& out, const std::string& word) {
  Rows records;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::replace(line.begin(), line.end(), '=', ' ');
    std::istringstream fields(line);
    std::string first;
    if (!(fields >> first) || first != word) continue;
    std::vector<long> numbers;
    for (long n; fields >> n;) numbers.push_back(n);
    records.push_back(numbers);
  }
  return records;
}

void Print(const char* format, long a = 0, long b = 0, long c = 0, long d = 0) {
  std::printf(format, a, b, c, d);
  std::fflush(stdout);
}

// Runs xdotool with `args` inside the program under test; what it prints
// joins the program's output.
void Xdotool(const std::string& args) {
  std::fflush(stdout);
  if (std::system(("xdotool " + args).c_str()) != 0) Print("xdotool failed\n");
}

// Ends the child when a scenario never reaches its end.
void GiveUpAfter(ProbeApp* app, int updates) {
  if (app->updates < updates) return;
  Print("stuck\n");
  _exit(3);
}

// The whole program in a child, with `setup` given the new application.
ChildResult RunProgram(const std::function<void(ProbeApp*)>& setup, bool display = true) {
  zephrine_test::ChildOptions options;
  options.display = display;
  options.seconds = 30;
  return zephrine_test::RunChild(
      [&setup] {
        probe_setup = setup;
        return RunProbeProgram();
      },
      options);
}

// Key codes, characters and their order are the unit test's; here a typed
// key reaches the game as a key and as a character at all.
TEST(WindowLoop, ANewWindowReleasesHeldKeysAndButtonsAndIsPlacedAndTitled) {
  ChildResult r = RunProgram([](ProbeApp* app) {
    auto recreatedAt = std::make_shared<int>(0);
    app->onUpdate = [app, recreatedAt] {
      while (int c = bb_input_GetChar()) Print("typed %ld\n", c);
      if (app->updates == 3) {
        Print("desktop %ld %ld %ld\n", bb_app__desktopMode->m__width, bb_app__desktopMode->m__height,
              bb_app__displayModes.Length() > 0);
        // The screen's size, then the focused window's title and place.
        Xdotool("getdisplaygeometry --shell getwindowfocus getwindowname getwindowgeometry --shell");
        Xdotool("keydown a getwindowfocus mousemove --window %1 100 50 mousedown 1");
      }
      if (app->updates > 3 && !*recreatedAt && bb_input_KeyDown(KEY_A) && bb_input_MouseDown(0)) {
        int seq = glfwGraphicsSeq;
        bb_app__game->SetDeviceWindow(640, 480, 0);
        Print("released %ld %ld %ld %ld\n", bb_input_KeyDown(KEY_A), bb_input_MouseDown(0), bb_input_TouchDown(0),
              glfwGraphicsSeq - seq);
        Xdotool("keyup a mouseup 1");
        *recreatedAt = app->updates;
      }
      if (*recreatedAt && app->updates == *recreatedAt + 5) {
        Xdotool("getwindowfocus getwindowgeometry --shell");
        bb_app_EndApp();
      }
      GiveUpAfter(app, 600);
    };
  });
  ASSERT_EQ(r.status, 0) << r.out;
  const Rows desktop = Records(r.out, "desktop");
  ASSERT_EQ(desktop.size(), 1u) << r.out;
  const long width = desktop[0][0], height = desktop[0][1];
  // The desktop mode is the screen's size, and some modes are listed; the
  // window is centred on the screen, before and after the new window.
  EXPECT_EQ(desktop[0][2], 1);
  EXPECT_EQ(Records(r.out, "WIDTH"), (Rows{{width}, {640}, {640}})) << r.out;
  EXPECT_EQ(Records(r.out, "HEIGHT"), (Rows{{height}, {480}, {480}}));
  EXPECT_EQ(Records(r.out, "X"), (Rows{{(width - 640) / 2}, {(width - 640) / 2}}));
  EXPECT_EQ(Records(r.out, "Y"), (Rows{{(height - 480) / 2}, {(height - 480) / 2}}));
  EXPECT_NE(r.out.find("\nZephrine\n"), std::string::npos) << "the title";
  EXPECT_EQ(Records(r.out, "typed"), (Rows{{'a'}}));
  EXPECT_EQ(Records(r.out, "released"), (Rows{{0, 0, 0, 1}}));
}

// The ways out of start-up; runtime errors inside the game are the
// diagnostics test's, the game's quit ends every test above.
TEST(ProgramExit, EveryWayOutEndsWithItsStatus) {
  const std::string banner = "Tarvex Runtime Error : ";
  const struct {
    std::function<void()> main;
    std::function<void(ProbeApp*)> setup;
    bool display;
    int status;
    std::string firstLine;
  } cases[] = {
      {nullptr, nullptr, false, 255, "glfwInit failed"},
      {nullptr, [](ProbeApp*) { (new ProbeApp)->m_new(); }, true, 255, banner + "App has already been created"},
      {[] {}, nullptr, true, 0, ""},  // no application: nothing to run
      {[] { dbg_throw("start-up failed"); }, nullptr, true, 255, banner + "Uncaught Tarvex Exception"},
      {[] { std::raise(SIGILL); }, nullptr, true, 255, banner + "Illegal instruction"},  // handlers installed
  };
  for (const auto& c : cases) {
    probe_main = c.main;
    ChildResult r = RunProgram(c.setup, c.display);
    probe_main = nullptr;
    EXPECT_EQ(r.status, c.status) << c.firstLine;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), c.firstLine);
  }
}

}  // namespace
