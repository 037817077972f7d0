// The game object through the real runtime: start-up, the loader and its
// resolution variants, reloading on resize, the start prompt, the global
// keys, pointer and iCade input, latches, suspension, and what the loading
// screen looks like.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <sys/stat.h>

#include "input/input.h"
#include "tests/game/harness.h"

using zephrine_test::DrawEntry;
using zephrine_test::GameHarness;

namespace {

constexpr int KEY_ESCAPE = 27;
constexpr int KEY_F1 = 112;
constexpr int KEY_F2 = 113;
constexpr int KEY_F4 = 115;

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
  while (h.App()->m_loadStep != 0 && updates < 100) {
    h.Update();
    ++updates;
  }
  return updates;
}

}  // namespace

TEST(Start, CreationLoadsBehindTheLoadingScreenAndStartsAtTheMenu) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = h.App();
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(bb_app__updateRate, 60);
  EXPECT_EQ(app->m_sfxOrder[32], 32);
  EXPECT_EQ(app->m_settings[SETTING_SOUND_MODE], 1);
  EXPECT_EQ(app->m_starCount, 100);
  EXPECT_EQ(app->m_grid.Length(), GAME_GRID);
  EXPECT_EQ(app->m_drawList.Length(), DRAW_LIST_FLOATS);
  ASSERT_TRUE(h.FinishLoading());
  EXPECT_EQ(app->m_assetScale, 2);  // 640 x 480 is above 630 x 630
  for (int slot : {80, 90, 91, 93, 94, 95, 96, 97, 98, 99}) EXPECT_NE(app->m_images[slot], nullptr) << slot;
  for (int slot : {1, 2, 3, 4, 95, 96, 98, 99}) EXPECT_NE(app->m_sounds[slot], nullptr) << slot;
  EXPECT_EQ(app->m_logoJinglePlayed, 1);
  EXPECT_EQ(app->m_fontInfo[3 * 96], 16);
  EXPECT_EQ(app->m_fontInfo[3 * 96 + 2], 256);
}

TEST(Loader, VariantFollowsTheWindowSize) {
  struct Case {
    int w, h, scale, logoPixels;
  } cases[] = {{630, 630, 1, 256}, {631, 400, 2, 512}, {1230, 1230, 2, 512}, {1231, 700, 4, 1024}};
  for (const Case& c : cases) {
    GameHarness& h = Loaded(c.w, c.h);
    EXPECT_EQ(h.App()->m_assetScale, c.scale) << c.w << "x" << c.h;
    EXPECT_FLOAT_EQ(h.App()->m_assetInvScale, 1.0f / float(c.scale));
    ASSERT_NE(h.App()->m_images[SLOT_LOGO], nullptr);
    EXPECT_EQ(h.App()->m_images[SLOT_LOGO]->m_surface->width, c.logoPixels);
    EXPECT_EQ(h.App()->m_fontInfo[3 * 97], 32 * c.scale);  // the icons' frame width
    EXPECT_EQ(h.App()->m_fontInfo[3 * SLOT_FONT], 7);      // glyph metrics stay virtual
  }
  Loaded();
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
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);
  EXPECT_EQ(app->m_matchState[450], 0.0f);
  EXPECT_EQ(app->m_sfxChannel, channel);  // the jingle plays once per run
  EXPECT_EQ(app->m_assetScale, 2);
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
  EXPECT_EQ(app->m_mouseX, 50);
  EXPECT_EQ(app->m_lastDevWidth, 1280);
  // A loader started while minimized keeps the variant of the last size.
  app->p_Reload();
  EXPECT_EQ(UpdatesToLoad(h), 18);
  EXPECT_EQ(app->m_assetScale, 4);
  h.ReleaseDeviceSize();
  h.Render();
  EXPECT_EQ(app->m_loadStep, 0);  // same size as before: nothing to reload
  Loaded();
}

TEST(Loader, LoadingScreenRecordsSpinnerDiscBandAndLogo) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->p_Reload();
  const int angle = app->m_spinAngle;
  h.Update();
  EXPECT_EQ(app->m_spinAngle, angle + 16);
  const std::vector<DrawEntry> list = h.DisplayList();
  ASSERT_EQ(list.size(), 11u + 2 + 1 + 11);
  EXPECT_EQ(list[0].kind, DRAW_OVAL);
  EXPECT_EQ(list[0].alpha, 0.0f);
  EXPECT_FLOAT_EQ(list[10].alpha, 1.0f);
  EXPECT_EQ(list[10].red, 250.0f);
  EXPECT_EQ(list[11].kind, DRAW_OVAL);  // disc
  EXPECT_FLOAT_EQ(list[11].w, 480 * 0.3f);
  EXPECT_EQ(list[12].kind, DRAW_RECT);  // band
  EXPECT_EQ(list[13].kind, float(SLOT_LOGO));
  EXPECT_EQ(list[24].red, 50.0f);
  EXPECT_EQ(app->m_clearRed, 40.0f);
  EXPECT_TRUE(h.FinishLoading());
}

TEST(StartPrompt, ClickInTheMiddleStartsTheGame) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_START_PROMPT;
  h.MouseMove(10, 10);
  h.MouseDown();
  h.Update();
  h.MouseUp();
  EXPECT_EQ(app->m_screen, SCREEN_START_PROMPT);
  EXPECT_EQ(Spelled(h.EntriesOf(SLOT_FONT)), "ClicktoStart");
  const std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  EXPECT_EQ(glyphs[0].w, 2.0f);
  EXPECT_FLOAT_EQ(glyphs[0].y, 480 * 0.7f);

  h.MouseMove(320, 240);
  h.MouseDown();
  h.Update();
  h.MouseUp();
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(app->m_inputLatch, 1);
  EXPECT_EQ(app->m_loadStep, 2);  // restarted, and its first step ran at once
  h.Update();
  EXPECT_EQ(app->m_inputLatch, 0);  // released
  EXPECT_TRUE(h.FinishLoading());
}

TEST(GlobalKeys, DebugLineShowsRateAndScales) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  h.Press(KEY_F1);
  EXPECT_EQ(bb_KRV_DebugMode, 1);
  const std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_FALSE(glyphs.empty());
  EXPECT_TRUE(std::regex_match(Spelled(glyphs), std::regex("[0-9]+:1\\.0,1\\.0"))) << Spelled(glyphs);
  EXPECT_FLOAT_EQ(glyphs[0].y, 480 - 16 + 5);
  h.Press(KEY_F1);
  EXPECT_EQ(bb_KRV_DebugMode, 0);
  h.Press(KEY_F2);
  EXPECT_EQ(app->m_hidePauseButton, 1);
  h.Press(KEY_F2);
  EXPECT_EQ(app->m_hidePauseButton, 0);
}

TEST(GlobalKeysDeathTest, F4EndsWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        GameHarness& h = GameHarness::Get();
        h.Update();
        h.Press(KEY_F4);
        std::exit(3);
      },
      testing::ExitedWithCode(0), "");
}

TEST(GlobalKeysDeathTest, CloseKeyEndsWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The game's own test of the key, without the delegate's.
  EXPECT_EXIT(
      {
        GameHarness& h = GameHarness::Get();
        bb_input_device->p_KeyEvent(BBGAME_KEYDOWN, KEY_CLOSE);
        h.Update();
        std::exit(3);
      },
      testing::ExitedWithCode(0), "");
}

TEST(Pointer, PressFarAwayStartsWithoutAJump) {
  GameHarness& h = Loaded(1280, 720);
  c_MyApp* app = h.App();
  h.MouseMove(100, 100);
  h.Update();
  EXPECT_EQ(app->m_mouseX, 50);
  h.MouseMove(1000, 600);
  h.MouseDown();
  h.Update();
  EXPECT_EQ(app->m_mouseX, 500);
  EXPECT_EQ(app->m_prevMouseX, 500);
  EXPECT_EQ(app->m_prevMouseY, 300);
  EXPECT_EQ(app->m_pointerDown, 1);
  EXPECT_EQ(app->m_mouseHits, 1);
  EXPECT_EQ(app->m_touchDown[0], 1);  // the mouse is touch 0 too
  EXPECT_EQ(app->m_touchX[0], 500);
  EXPECT_EQ(app->m_touchX[1], TOUCH_UP_POS);
  h.MouseMove(1010, 600);
  h.Update();
  EXPECT_EQ(app->m_prevMouseX, 500);
  EXPECT_EQ(app->m_mouseX, 505);
  EXPECT_EQ(app->m_mouseHits, 0);
  h.MouseUp();
  h.Update();
  EXPECT_EQ(app->m_pointerDown, 0);
  EXPECT_EQ(app->m_touchDown[0], 0);
  Loaded();
}

TEST(ICade, LettersHoldPadButtonsUntilTheirReleaseLetter) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  bb_KRV_iCadeControls = 1;
  h.Type('w');
  h.Type('L');
  h.Update();
  EXPECT_EQ(app->m_padButtons[0], 2);
  EXPECT_EQ(app->m_padButtons[17], 2);
  h.Update(3);
  EXPECT_EQ(app->m_padButtons[0], 2);
  h.Type('E');
  h.Update();
  EXPECT_EQ(app->m_padButtons[0], 0);
  EXPECT_EQ(app->m_padButtons[17], 2);
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
  EXPECT_EQ(app->m_creditsOpen, 0);
  EXPECT_EQ(app->m_badgesOpen, 0);
  EXPECT_EQ(app->m_anyKeyHeld, 1);
  EXPECT_EQ(app->m_inputLatch, 1);
  EXPECT_EQ(app->m_creditsSlide, 0);
  h.Update();
  EXPECT_EQ(app->m_anyKeyHeld, 1);  // still held
  h.KeyUp(KEY_ESCAPE);
  h.Update();
  EXPECT_EQ(app->m_anyKeyHeld, 0);
  EXPECT_EQ(app->m_inputLatch, 0);
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
  EXPECT_EQ(bb_app__updateRate, 5);
  EXPECT_EQ(bb_KRV_iCadeControls, 0);
  h.Resume();
  EXPECT_EQ(bb_app__updateRate, 60);
  EXPECT_EQ(app->m_paused, 1);
  EXPECT_EQ(app->m_pauseDir, 1);
  EXPECT_EQ(app->m_pauseY, 240);
  app->m_screen = SCREEN_MENU;
  h.Suspend();
  h.Resume();
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_EQ(app->m_pauseY, 0);
}

// Screenshots of the loading screen for people to look at, and the colours
// a player sees: the background fill and the logo in the middle.
TEST(Screenshots, LoadingScreenAtThreeWindowSizes) {
  mkdir("screenshots", 0755);
  for (const auto& size : {std::pair<int, int>{640, 480}, {1280, 720}, {1920, 1080}}) {
    GameHarness& h = Loaded(size.first, size.second);
    c_MyApp* app = h.App();
    app->p_Reload();
    h.Update(8);
    const std::string name = "screenshots/loading-" + std::to_string(size.first) + "x" +
                             std::to_string(size.second) + ".png";
    EXPECT_TRUE(h.SaveScreenshot(name));
    const std::vector<unsigned> pixels = h.Screenshot();
    ASSERT_EQ(pixels.size(), std::size_t(size.first) * size.second);
    EXPECT_EQ(pixels[0] & 0xffffff, 0x282850u) << name;  // background (40, 40, 80)
    const unsigned band = pixels[std::size_t(size.second) / 2 * size.first + 4] & 0xffffff;
    EXPECT_NE(band, 0x282850u) << name;
    EXPECT_TRUE(h.FinishLoading());
  }
  Loaded();
}
