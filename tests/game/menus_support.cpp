#include "tests/game/menus_support.h"

#include <gtest/gtest.h>

#include "tests/support/support.h"

namespace zephrine_test {

namespace {

constexpr int HELD_KEYS[] = {KEY_ENTER, KEY_ESCAPE, KEY_SPACE, KEY_LEFT, KEY_UP, KEY_RIGHT,
                             KEY_DOWN,  KEY_B,      KEY_C,     KEY_N,    KEY_V,  KEY_X};

}  // namespace

GameHarness& OnMenu(int width, int height) {
  GameHarness& h = Loaded(width, height);
  for (int key : HELD_KEYS) h.KeyUp(key);
  h.MouseUp();
  for (int port = 0; port < 4; ++port) h.SetPad(port, PadInput());
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  app->m_creditsOpen = app->m_optionsOpen = app->m_badgesOpen = 0;
  app->m_paused = 0;
  app->m_gameOverTimer = 0;
  h.Update(31);  // boxes slide out, latches clear
  return h;
}

namespace {

constexpr int SLOT_INTS = 10;
int& Slot(c_MyApp* app, int source, int field) { return app->m_inputSlots[SLOT_INTS * (source + 1) + field]; }

}  // namespace

int& Joined(c_MyApp* app, int source) { return Slot(app, source, 0); }
int& Rider(c_MyApp* app, int source) { return Slot(app, source, 1); }
int& Latch(c_MyApp* app, int source) { return Slot(app, source, 5); }

c_MyApp* OnJoin(GameHarness& h, int riders) {
  c_MyApp* app = h.App();
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = i % SLOT_INTS == 5 ? 1 : 0;
  Joined(app, -1) = Rider(app, -1) = 1;
  app->m_hostSource = -1;
  app->m_gameMode = riders - 1;
  app->m_settings[6] = 0;
  app->m_screen = SCREEN_JOIN;
  h.Update();
  return app;
}

bool Shows(const GameHarness& h, const std::string& line) {
  std::string wanted;
  for (char c : line) {
    if (c != ' ') wanted += c;
  }
  // The glyphs of one line share their y.
  std::string drawn;
  float y = 0.0f;
  for (const DrawEntry& e : h.EntriesOf(float(SLOT_FONT))) {
    if (e.y != y && drawn == wanted) return true;
    if (e.y != y) drawn.clear();
    y = e.y;
    drawn += char(int(e.frame) + 32);
  }
  return drawn == wanted;
}

int SavedField(int i) { return StateField(ReadFile(".tarvexstate"), i); }

}  // namespace zephrine_test
