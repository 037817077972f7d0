// Pictures of every menu screen at the design size and at full-screen size,
// written to screenshots/ in the game's folder for people to look at, with
// the colours a player must see checked.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "tests/game/menus_support.h"

using namespace zephrine_test;

namespace {

// Whether two colours differ by at most `slack` in each channel (blending
// rounds differently on different renderers).
bool Near(unsigned a, unsigned b, int slack = 6) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)) > slack) return false;
  }
  return true;
}

struct Screen {
  const char* name;
  std::function<void(GameHarness&)> show;
  float x, y;       // a place to check, as a share of the window
  unsigned colour;  // what it must show there; NOT_CHECKED for nothing
};
constexpr unsigned NOT_CHECKED = ~0u;

const Screen SCREENS[] = {
    {"menu",
     [](GameHarness& h) {
       h.App()->m_menuEntry = 3;
       h.App()->m_menuTarget = -2 * 88.0f;
       h.Update(60);
     },
     0.02f, 0.5f, 0x000050},
    {"join",
     [](GameHarness& h) {
       c_MyApp* app = OnJoin(h, 4);
       Joined(app, 0) = 1;
       Rider(app, 0) = 2;
       app->m_settings[6] = 2;
       h.Update(2);
     },
     0.02f, 0.5f, 0x000050},
    {"options",
     [](GameHarness& h) {
       h.App()->m_optionsOpen = 1;
       h.App()->m_optionsRow = 1;
       h.Update(31);
     },
     0.5f, 0.97f, 0x7f3f0c},
    {"pause",
     [](GameHarness& h) {
       c_MyApp* app = h.App();
       app->m_menuEntry = 5;  // four riders
       app->m_menuTarget = app->m_menuScroll = -4 * 88.0f;
       h.Press(KEY_ENTER);
       h.Update(2);  // the join screen waits for the key to be let go
       h.Press(KEY_ENTER);
       for (int i = 0; i < 260 && app->m_screen != SCREEN_MATCH; ++i) h.Update();
       h.Update(30);
       h.Press(KEY_ESCAPE);
       h.Update(20);
     },
     0.4f, 0.55f, 0xb2690d},
    {"credits",
     [](GameHarness& h) {
       h.App()->m_creditsOpen = 1;
       h.App()->m_creditLine = 0;
       h.Update(40);
     },
     0.01f, 0.01f, 0x000000},
    {"quit",
     [](GameHarness& h) {
       h.App()->m_screen = SCREEN_QUIT_CONFIRM;
       h.Update();
     },
     0.0f, 0.0f, NOT_CHECKED},  // the test card fills a wide screen
};

}  // namespace

TEST(Screenshots, EveryMenuScreenAtTheDesignAndFullScreenSizes) {
  const std::string folder = GameFolder() + "/screenshots";
  mkdir(folder.c_str(), 0755);
  for (const auto& size : {std::pair<int, int>{640, 480}, {1920, 1080}}) {
    for (const Screen& screen : SCREENS) {
      GameHarness& h = OnMenu(size.first, size.second);
      screen.show(h);
      const std::string name = folder + "/menus-" + screen.name + "-" + std::to_string(size.first) + "x" +
                               std::to_string(size.second) + ".png";
      EXPECT_TRUE(h.SaveScreenshot(name));
      if (screen.colour == NOT_CHECKED) continue;
      const std::vector<unsigned> pixels = h.Screenshot();
      const int x = int(screen.x * float(size.first - 1)), y = int(screen.y * float(size.second - 1));
      const unsigned seen = pixels[std::size_t(y) * size.first + x] & 0xffffff;
      EXPECT_TRUE(Near(seen, screen.colour)) << name << ": " << std::hex << seen;
    }
  }
  OnMenu();
}
