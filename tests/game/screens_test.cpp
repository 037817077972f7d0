// Pictures of every screen (loading, menus, match) at the design size and at
// full-screen size, written to screenshots/ in the game's folder for people
// to look at, with one colour a player must see checked on each.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "game/match/match.h"
#include "tests/game/menus_support.h"
#include "tests/support/support.h"

using namespace match;
using namespace zephrine_test;

namespace {

// A computer-only match of `riders` started by the join screen's demo keys,
// every rider one round short of winning "First to 3"; updates until `until`.
void Demo(GameHarness& h, int riders, const std::function<bool(c_MyApp*)>& until) {
  c_MyApp* app = OnJoin(h, riders);
  app->m_settings[SETTING_WINNER] = 1;
  app->m_gameOver = 0;
  h.KeyDown(KEY_B);
  h.Press(KEY_N);
  h.KeyUp(KEY_B);
  for (int p = 1; p <= riders; ++p) app->m_wins[p] = 2;
  for (int i = 0; i < 5000 && !until(app); ++i) h.Update();
  EXPECT_TRUE(until(app));
}

struct Screen {
  const char* name;
  std::function<void(GameHarness&)> show;
  float x, y;       // a place to check, as a share of the window
  unsigned colour;  // what it must show there
};

const Screen SCREENS[] = {
    {"loading", [](GameHarness& h) { h.App()->p_Reload(), h.Update(8); }, 0, 0, 0x282850},
    {"menu", [](GameHarness& h) { h.App()->m_menuEntry = 3, h.App()->m_menuTarget = -2 * 88.0f, h.Update(60); },
     0.02f, 0.5f, 0x000050},
    {"join",
     [](GameHarness& h) {
       c_MyApp* app = OnJoin(h, 4);
       Joined(app, 0) = 1;
       Rider(app, 0) = 2;
       app->m_settings[SETTING_ROW] = 2;
       h.Update(2);
     },
     0.02f, 0.5f, 0x000050},
    {"options", [](GameHarness& h) { h.App()->m_optionsOpen = h.App()->m_optionsRow = 1, h.Update(31); }, 0.5f,
     0.97f, 0x7f3f0c},
    {"credits", [](GameHarness& h) { h.App()->m_creditsOpen = 1, h.App()->m_creditLine = 0, h.Update(40); }, 0.01f,
     0.01f, 0x000000},
    {"quit", [](GameHarness& h) { h.App()->m_screen = SCREEN_QUIT_CONFIRM, h.Update(); }, 0.24f, 0.35f, 0xffff00},
    {"countdown", [](GameHarness& h) { Demo(h, 4, [](c_MyApp* a) { return a->m_screen == SCREEN_ROUND_START && a->m_matchState[MS_COUNTDOWN] < 100; }); },
     0.1f, 0.15f, 0x4c0707},  // rider 1's square
    {"round",  // sparks of the first crashes
     [](GameHarness& h) { Demo(h, 8, [](c_MyApp* a) { return a->m_screen == SCREEN_MATCH && a->p_FreeParticle() < 230; }); },
     0.002f, 0.5f, 0xff8080},
    {"pause",
     [](GameHarness& h) {
       Demo(h, 4, [](c_MyApp* a) { return a->m_screen == SCREEN_MATCH; });
       h.Press(KEY_ESCAPE);
       h.Update(20);
     },
     0.4f, 0.55f, 0xb2690d},
    {"winner", [](GameHarness& h) { Demo(h, 3, [](c_MyApp* a) { return a->m_matchWon && a->m_matchState[MS_WON_TIMER] > 30; }); },
     0.002f, 0.5f, 0xff8080},
    {"game-over",
     [](GameHarness& h) {
       Demo(h, 4, [](c_MyApp* a) { return a->m_screen == SCREEN_MATCH; });
       h.App()->m_gameOver = 1;
       h.Update(60);
     },
     0.002f, 0.5f, 0x4d2727},  // the border darkened
};

}  // namespace

TEST(Screenshots, EveryScreenAtTheDesignAndFullScreenSizes) {
  const std::string folder = GameFolder() + "/screenshots";
  mkdir(folder.c_str(), 0755);
  for (const auto& size : {std::pair<int, int>{640, 480}, {1920, 1080}}) {
    for (const Screen& screen : SCREENS) {
      GameHarness& h = OnMenu(size.first, size.second);
      screen.show(h);
      const std::string name =
          folder + "/" + screen.name + "-" + std::to_string(size.first) + "x" + std::to_string(size.second) + ".png";
      EXPECT_TRUE(h.SaveScreenshot(name));
      const std::vector<unsigned> pixels = h.Screenshot();
      const int x = int(screen.x * float(size.first - 1)), y = int(screen.y * float(size.second - 1));
      const unsigned seen = pixels[std::size_t(y) * size.first + x] & 0xffffff;
      // Blending rounds differently on different renderers.
      EXPECT_TRUE(Near(seen, screen.colour, 6)) << name << ": " << std::hex << seen;
    }
  }
  OnMenu();
}
