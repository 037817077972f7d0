// The game object through the real runtime: start-up, the loader and its
// resolution variants, reloading on resize, the start prompt, the global
// keys, pointer and iCade input, latches and suspension. What the loading
// screen looks like is the screenshot test's.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "input/input.h"
#include "tests/game/harness.h"

using zephrine_test::DrawEntry;
using zephrine_test::GameHarness;

namespace {

constexpr int KEY_ESCAPE = 27, KEY_F1 = 112, KEY_F2 = 113, KEY_F4 = 115;

GameHarness& Loaded(int width = 640, int height = 480) {
  GameHarness& h = GameHarness::Get();
  if (h.DeviceWidth() != width || h.DeviceHeight() != height) h.Resize(width, height);
  EXPECT_TRUE(h.FinishLoading());
  return h;
}

std::string Spelled(const std::vector<DrawEntry>& entries) {
  std::string text;
  for (const DrawEntry& e : entries) text += char(int(e.frame) + 32);
  return text;
}

// Updates the loader takes after a size change is noticed.
int UpdatesToLoad(GameHarness& h) {
  int updates = 0;
  for (; h.App()->m_loadStep != 0 && updates < 100; ++updates) h.Update();
  return updates;
}

void Click(GameHarness& h, float x, float y) {
  h.MouseMove(x, y);
  h.MouseDown();
  h.Update();
  h.MouseUp();
}

}  // namespace

TEST(Start, CreationLoadsBehindTheLoadingScreenAndStartsAtTheMenu) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = h.App();
  EXPECT_EQ((std::vector<int>{app->m_screen, bb_app__updateRate, app->m_settings[SETTING_SOUND_MODE]}),
            (std::vector<int>{SCREEN_MENU, 60, 1}));  // a first run has the sound on
  // The spinner turns while the loader works.
  const int angle = app->m_spinAngle;
  h.Update();
  EXPECT_NE(app->m_spinAngle, angle);
  ASSERT_TRUE(h.FinishLoading());
  for (int slot : {80, 90, 91, 93, 94, 95, 96, 97, 98, 99}) EXPECT_NE(app->m_images[slot], nullptr) << slot;
  for (int slot : {1, 2, 3, 4, 95, 96, 98, 99}) EXPECT_NE(app->m_sounds[slot], nullptr) << slot;
  EXPECT_EQ(app->m_logoJinglePlayed, 1);
}

TEST(Loader, VariantFollowsTheWindowSize) {
  const struct {
    int w, h, scale;
  } cases[] = {{630, 630, 1}, {631, 400, 2}, {1230, 1230, 2}, {1231, 700, 4}, {640, 480, 2}};
  for (const auto& c : cases) {
    GameHarness& h = Loaded(c.w, c.h);
    c_MyApp* app = h.App();
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_EQ(app->m_assetScale, c.scale);
    EXPECT_FLOAT_EQ(app->m_assetInvScale, 1.0f / float(c.scale));
    ASSERT_NE(app->m_images[SLOT_LOGO], nullptr);
    EXPECT_EQ(app->m_images[SLOT_LOGO]->m_surface->width, 256 * c.scale);
    // The icons' frame width follows the variant; glyph metrics stay virtual.
    EXPECT_EQ((std::vector<int>{app->m_fontInfo[3 * 97], app->m_fontInfo[3 * SLOT_FONT]}),
              (std::vector<int>{32 * c.scale, 7}));
  }
}

TEST(Loader, ResizeReloadsWithoutTheScreenUnderneathAdvancing) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  const int channel = app->m_sfxChannel;
  app->m_screen = SCREEN_ARENA_PREPARE;
  app->m_matchState[450] = 0.0f;
  h.Resize(800, 600);
  h.Render();
  EXPECT_EQ(app->m_loadStep, 1);
  EXPECT_EQ(UpdatesToLoad(h), 18);
  EXPECT_EQ((std::vector<int>{app->m_screen, int(app->m_matchState[450]), app->m_sfxChannel, app->m_assetScale}),
            (std::vector<int>{SCREEN_ARENA_PREPARE, 0, channel, 2}));  // the jingle plays once per run
  h.Update();
  EXPECT_EQ(app->m_screen, SCREEN_ROUND_START);
  EXPECT_EQ(app->m_matchState[450], 160.0f);
  app->m_screen = SCREEN_MENU;
  Loaded();
}

TEST(Loader, MinimizedWindowKeepsScalingAndArt) {
  GameHarness& h = Loaded(1280, 720);
  c_MyApp* app = h.App();
  h.ForceDeviceSize(0, 0);
  h.Render();
  h.MouseMove(100, 100);
  h.Update();
  EXPECT_EQ(app->m_loadStep, 0);
  EXPECT_FLOAT_EQ(app->m_scaleX, 2.0f);
  EXPECT_EQ((std::vector<int>{app->m_mouseX, app->m_lastDevWidth}), (std::vector<int>{50, 1280}));
  // A loader started while minimized keeps the variant of the last size.
  app->p_Reload();
  EXPECT_EQ(UpdatesToLoad(h), 18);
  EXPECT_EQ(app->m_assetScale, 4);
  h.ReleaseDeviceSize();
  h.Render();
  EXPECT_EQ(app->m_loadStep, 0);  // same size as before: nothing to reload
  Loaded();
}

TEST(StartPrompt, ClickInTheMiddleStartsTheGame) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_START_PROMPT;
  Click(h, 10, 10);
  EXPECT_EQ(app->m_screen, SCREEN_START_PROMPT);
  EXPECT_EQ(Spelled(h.EntriesOf(SLOT_FONT)), "ClicktoStart");

  Click(h, 320, 240);
  // Restarted, and its first step ran at once; the press stays latched.
  EXPECT_EQ((std::vector<int>{app->m_screen, app->m_inputLatch, app->m_loadStep}),
            (std::vector<int>{SCREEN_MENU, 1, 2}));
  h.Update();
  EXPECT_EQ(app->m_inputLatch, 0);  // released
  EXPECT_TRUE(h.FinishLoading());
}

TEST(GlobalKeys, DebugLineShowsRateAndScalesAndF2TogglesThePauseButton) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  h.Press(KEY_F1);
  EXPECT_EQ(bb_KRV_DebugMode, 1);
  const std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_FALSE(glyphs.empty());
  EXPECT_TRUE(std::regex_match(Spelled(glyphs), std::regex("[0-9]+:1\\.0,1\\.0"))) << Spelled(glyphs);
  h.Press(KEY_F1);
  EXPECT_EQ(bb_KRV_DebugMode, 0);
  h.Press(KEY_F2);
  EXPECT_EQ(app->m_hidePauseButton, 1);
  h.Press(KEY_F2);
  EXPECT_EQ(app->m_hidePauseButton, 0);
}

// F4, the close key (the game's own test, without the delegate's) and back
// on the menu end the game with status 0.
TEST(GlobalKeysDeathTest, F4TheCloseKeyAndBackOnTheMenuEndWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (int key : {KEY_F4, KEY_CLOSE, KEY_ESCAPE}) {
    EXPECT_EXIT(
        {
          GameHarness& h = Loaded();
          h.Update(31);  // the keys held at the start are let go
          bb_input_device->p_KeyEvent(BBGAME_KEYDOWN, key);
          h.Update();
          std::exit(3);
        },
        testing::ExitedWithCode(0), "")
        << key;
  }
}

TEST(Pointer, PressFarAwayStartsWithoutAJump) {
  GameHarness& h = Loaded(1280, 720);
  c_MyApp* app = h.App();
  h.MouseMove(100, 100);
  h.Update();
  h.MouseMove(1000, 600);
  h.MouseDown();
  h.Update();
  // The mouse is touch 0 too; the other touches are up.
  EXPECT_EQ((std::vector<int>{app->m_mouseX, app->m_prevMouseX, app->m_prevMouseY, app->m_pointerDown, app->m_mouseHits,
                              app->m_touchDown[0], app->m_touchX[0], app->m_touchX[1]}),
            (std::vector<int>{500, 500, 300, 1, 1, 1, 500, TOUCH_UP_POS}));
  h.MouseMove(1010, 600);
  h.Update();
  EXPECT_EQ((std::vector<int>{app->m_prevMouseX, app->m_mouseX, app->m_mouseHits}), (std::vector<int>{500, 505, 0}));
  h.MouseUp();
  h.Update();
  EXPECT_EQ(app->m_pointerDown + app->m_touchDown[0], 0);
  Loaded();
}

TEST(ICade, LettersHoldPadButtonsUntilTheirReleaseLetter) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  bb_KRV_iCadeControls = 1;
  h.Type('w');
  h.Type('L');
  h.Update();
  EXPECT_EQ((std::vector<int>{app->m_padButtons[0], app->m_padButtons[17]}), (std::vector<int>{2, 2}));
  h.Update(3);
  EXPECT_EQ(app->m_padButtons[0], 2);
  h.Type('E');
  h.Update();
  EXPECT_EQ((std::vector<int>{app->m_padButtons[0], app->m_padButtons[17]}), (std::vector<int>{0, 2}));
  // A value of 1 lasts one update.
  app->m_padButtons[3] = 1;
  h.Update();
  EXPECT_EQ(app->m_padButtons[3], 0);
  bb_KRV_iCadeControls = 0;
  h.Type('v');
  h.Update();
  EXPECT_EQ(app->m_padButtons[17], 2);  // letters are only read in iCade mode
  app->m_padButtons[17] = 0;
}

TEST(Latches, BackClosesAnOpenBoxOnTheMenuAndLatches) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  app->m_creditsOpen = 1;
  app->m_badgesOpen = 1;
  h.KeyDown(KEY_ESCAPE);
  h.Update();
  EXPECT_EQ((std::vector<int>{app->m_creditsOpen, app->m_badgesOpen, app->m_anyKeyHeld, app->m_inputLatch,
                              app->m_creditsSlide}),
            (std::vector<int>{0, 0, 1, 1, 0}));
  h.Update();
  EXPECT_EQ(app->m_anyKeyHeld, 1);  // still held
  h.KeyUp(KEY_ESCAPE);
  h.Update();
  EXPECT_EQ(app->m_anyKeyHeld + app->m_inputLatch, 0);
  // The credits box slides in over 30 updates while open.
  app->m_creditsOpen = 1;
  h.Update(40);
  EXPECT_EQ(app->m_creditsSlide, 30);
  app->m_creditsOpen = 0;
  h.Update(40);
  EXPECT_EQ(app->m_creditsSlide, 0);
}

TEST(Focus, LosingItDuringAMatchShowsThePauseBox) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MATCH;
  bb_KRV_iCadeControls = 1;
  h.Suspend();
  EXPECT_EQ((std::vector<int>{bb_app__updateRate, bb_KRV_iCadeControls}), (std::vector<int>{5, 0}));
  h.Resume();
  EXPECT_EQ((std::vector<int>{bb_app__updateRate, app->m_paused, app->m_pauseDir, int(app->m_pauseY)}),
            (std::vector<int>{60, 1, 1, 240}));
  app->m_screen = SCREEN_MENU;
  h.Suspend();
  h.Resume();
  EXPECT_EQ((std::vector<int>{app->m_paused, int(app->m_pauseY)}), (std::vector<int>{0, 0}));
}
