// The menus together with the match through the stepping harness: taps and
// drags on the menu row, joypads choosing, the riders' squares round the
// join screen, and a whole visit from the menu through a match with its
// pause menu back to the menu.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "tests/game/menus_support.h"

using namespace zephrine_test;

namespace {

const bool private_folder = (UsePrivateStateFolder(), true);

// Entry k selected with the row standing on it.
void Select(GameHarness& h, int k) {
  h.App()->m_menuEntry = k;
  h.App()->m_menuTarget = h.App()->m_menuScroll = float(1 - k) * 88.0f;
  h.Update();
}

// A click at window pixels (x, y): one update down, one up.
void Click(GameHarness& h, float x, float y) {
  h.MouseMove(x, y);
  h.MouseDown();
  h.Update();
  h.MouseUp();
  h.Update();
}

// The row's centre on a 640 x 480 window; entries stand 88 apart.
constexpr float ROW_X = 320, ROW_Y = 384;

void PressPadButton(GameHarness& h, int port, int button) {
  PadInput pad;
  pad.present = true;
  pad.buttons[button] = true;
  h.SetPad(port, pad);
}

float RiderHead(c_MyApp* app, int rider) { return app->m_matchState[20 * rider + 1] + 1000 * app->m_matchState[20 * rider + 2]; }

}  // namespace

TEST(MenuPointer, ATapSelectsASecondChoosesOnReleaseAndADragNeverChooses) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  Select(h, 3);
  Click(h, ROW_X + 88, ROW_Y);
  EXPECT_EQ(app->m_menuEntry, 4);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  h.Update(40);  // the row scrolls entry 4 to the centre

  h.MouseMove(ROW_X, ROW_Y);
  h.MouseDown();
  h.Update(3);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);  // held: nothing yet
  h.MouseMove(ROW_X + 12, ROW_Y);          // a drag of 18 units in one update
  h.Update();
  h.MouseMove(ROW_X + 60, ROW_Y);
  h.Update();
  h.MouseUp();
  h.Update(40);
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_NE(app->m_menuEntry, 4);  // the row moved under the drag

  Select(h, 4);
  app->m_hostSource = 3;
  Click(h, ROW_X, ROW_Y);
  EXPECT_EQ(app->m_screen, SCREEN_MATCH_LOAD);  // chosen on release
  h.Update();
  EXPECT_EQ(app->m_gameMode, 4);          // five riders
  EXPECT_EQ(app->m_hostSource, -1);
  EXPECT_EQ(app->m_controlStyle, 2);
  EXPECT_EQ(Joined(app, -1), 1);  // the keyboard player holds the pointer
}

TEST(MenuPads, AJoypadThatChoosesHostsUnlessTheKeyboardChoosesToo) {
  struct Case {
    bool keyboard;
    int port, host, style;
  } cases[] = {{false, 1, 1, 1}, {false, 3, 3, 1}, {true, 2, -1, 0}};
  for (const Case& c : cases) {
    GameHarness& h = OnMenu();
    c_MyApp* app = h.App();
    Select(h, 6);
    PressPadButton(h, c.port, 0);
    if (c.keyboard) h.KeyDown(KEY_ENTER);
    h.Update();
    h.SetPad(c.port, PadInput());
    h.KeyUp(KEY_ENTER);
    EXPECT_EQ(app->m_screen, SCREEN_MATCH_LOAD);
    EXPECT_EQ(app->m_hostSource, c.host);
    EXPECT_EQ(app->m_controlStyle, c.style);
    h.Update();
    EXPECT_EQ(Joined(app, c.host), 1);
  }
}

TEST(Join, RightGoesClockwiseRoundTheSquaresOfEveryMatchSize) {
  GameHarness& h = OnMenu();
  for (int riders = 2; riders <= 8; ++riders) {
    c_MyApp* app = OnJoin(h, riders);
    float turned = 0.0f, last = 0.0f;
    for (int step = 0; step <= riders; ++step) {
      app->p_GetPos(Rider(app, -1));
      // Clockwise on the screen, where y grows downwards.
      const float angle = std::atan2(float(app->m_posY) - 240.0f, float(app->m_posX) - 320.0f);
      if (step > 0) {
        // A step to the opposite square is half a turn either way.
        const float turn = std::fmod(angle - last + 4.0f * float(M_PI), 2.0f * float(M_PI));
        EXPECT_GT(turn, 0.0f) << riders << " riders, step " << step;
        EXPECT_LE(turn, float(M_PI) + 0.01f) << riders << " riders, step " << step;
        turned += turn;
      }
      last = angle;
      h.Press(KEY_RIGHT);
      h.Update();
    }
    EXPECT_NEAR(turned, 2.0f * float(M_PI), 0.01f) << riders << " riders: once round";
  }
}

TEST(Visit, MenuToJoinToAMatchPausedResumedQuitAndBackToTheMenuSaving) {
  GameHarness& h = OnMenu();
  c_MyApp* app = h.App();
  unlink(".tarvexstate");
  Select(h, 7);
  h.Press(KEY_ENTER);
  h.Update();
  ASSERT_EQ(app->m_screen, SCREEN_JOIN);
  EXPECT_EQ(app->m_gameMode, 1);  // two riders
  h.Update();
  h.Press(KEY_ENTER);  // Enter starts; it does not join the joypads as well
  for (int source = 0; source <= 3; ++source) EXPECT_EQ(Joined(app, source), 0);
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);
  for (int i = 0; i < 200 && app->m_screen != SCREEN_MATCH; ++i) h.Update();
  ASSERT_EQ(app->m_screen, SCREEN_MATCH);
  h.Update(5);

  h.Press(KEY_ESCAPE);
  EXPECT_EQ(app->m_paused, 1);
  h.Update(20);  // the box drops in
  const float head = RiderHead(app, 1);
  h.Press(KEY_ENTER);  // resume
  int frozen = 0;
  for (; app->m_paused == 1 && frozen < 40; ++frozen) {
    EXPECT_EQ(RiderHead(app, 1), head);
    h.Update();
  }
  EXPECT_GT(frozen, 10);  // the box slid out first
  h.Update();
  EXPECT_NE(RiderHead(app, 1), head);

  h.Press(KEY_ESCAPE);
  h.Update();
  h.Press(KEY_LEFT);
  h.Update();
  EXPECT_EQ(app->m_pauseRow, -1);
  h.Press(KEY_ENTER);
  EXPECT_EQ(app->m_gameOver, 1);
  int updates = 0;
  for (; app->m_screen != SCREEN_MENU && updates < 200; ++updates) h.Update();
  EXPECT_EQ(app->m_screen, SCREEN_MENU);  // through the menu-return screen
  EXPECT_GE(updates, 85);                 // after the game-over overlay
  EXPECT_EQ(SavedField(5), app->m_settings[5]);
  EXPECT_FALSE(SavedState().empty());
}
