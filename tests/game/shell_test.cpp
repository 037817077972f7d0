// The game shell through the real runtime: start-up, the loader and its
// resolution variants, reloading on resize, the start prompt, the global
// keys, pointer and iCade input, latches and suspension; the display list,
// the virtual screen's scaling and the text layout; game audio through the
// real engine (OpenAL Soft's null backend): the channel rotation and the
// music pause that follows the pause menu. What the screens look like, the
// sound modes, F4 and the close box are played in the acceptance test.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <regex>
#include <set>
#include <string>

#include "game/screen_math.h"
#include "input/input.h"
#include "tests/game/harness.h"

using namespace zephrine_test;

namespace {

constexpr int NO_SCREEN = 99;  // a screen number that runs no step

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

}  // namespace

TEST(Start, CreationLoadsBehindTheLoadingScreenAndStartsAtTheMenu) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = h.App();
  EXPECT_EQ((std::vector<int>{app->m_screen, bb_app__updateRate}), (std::vector<int>{SCREEN_MENU, 60}));
  // The spinner turns under the logo while the loader works.
  const int angle = app->m_spinAngle;
  h.Update();
  EXPECT_NE(app->m_spinAngle, angle);
  EXPECT_FALSE(h.EntriesOf(SLOT_LOGO).empty());
  ASSERT_TRUE(h.FinishLoading());  // every slot filled: the acceptance test's data sweep
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
  h.Click(10, 10);
  EXPECT_EQ(app->m_screen, SCREEN_START_PROMPT);
  EXPECT_EQ(Spelled(h.EntriesOf(SLOT_FONT)), "ClicktoStart");

  h.Click(320, 240);
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
  app->p_CLS2D(UNSET, 0, 0, 0);
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
            (std::vector<int>{500, 500, 300, 1, 1, 1, 500, UNSET}));
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
  app->m_screen = NO_SCREEN;  // L is the cabinet's back, which on the menu ends the game
  bb_KRV_iCadeControls = 1;
  h.Type('w');
  h.Type('L');
  h.Update();
  EXPECT_EQ((std::vector<int>{app->m_padButtons[ACTION_UP], app->m_padButtons[PAD_BACK_ICADE2]}), (std::vector<int>{2, 2}));
  h.Update(3);
  EXPECT_EQ(app->m_padButtons[ACTION_UP], 2);
  h.Type('E');
  h.Update();
  EXPECT_EQ((std::vector<int>{app->m_padButtons[ACTION_UP], app->m_padButtons[PAD_BACK_ICADE2]}), (std::vector<int>{0, 2}));
  // A value of 1 lasts one update.
  app->m_padButtons[ACTION_LEFT] = 1;
  h.Update();
  EXPECT_EQ(app->m_padButtons[ACTION_LEFT], 0);
  bb_KRV_iCadeControls = 0;
  h.Type('v');
  h.Update();
  EXPECT_EQ(app->m_padButtons[PAD_BACK_ICADE2], 2);  // letters are only read in iCade mode
  app->m_padButtons[PAD_BACK_ICADE2] = 0;
  app->m_screen = SCREEN_MENU;
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

// The pause box a match shows on losing the focus is the acceptance test's.
TEST(Focus, LosingItSlowsTheUpdatesAndEndsICadeModeButPausesNoMenu) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  bb_KRV_iCadeControls = 1;
  h.Suspend();
  EXPECT_EQ((std::vector<int>{bb_app__updateRate, bb_KRV_iCadeControls}), (std::vector<int>{5, 0}));
  h.Resume();
  EXPECT_EQ((std::vector<int>{bb_app__updateRate, app->m_paused, int(app->m_pauseY)}), (std::vector<int>{60, 0, 0}));
}

namespace {

// A loaded game with an empty display list and the default draw state.
c_MyApp* FreshList() {
  c_MyApp* app = Loaded().App();
  app->m_controlStyle = CONTROL_KEYBOARD;
  app->p_CLS2D(UNSET, 0, 0, 0);
  return app;
}

// The glyphs of the list as the characters they spell and their places.
struct Glyphs {
  std::string text;
  std::vector<float> x, y;
};

// Lays out `text` in the current draw state, on a fresh list unless `keep`
// (a new list resets the draw state), and reads back its glyphs.
Glyphs Layout(float x, float y, const String& text, float alignX, float alignY, bool keep = false) {
  c_MyApp* app = GameHarness::Get().App();
  if (!keep) app->p_CLS2D(UNSET, 0, 0, 0);
  app->p_Text(x, y, text, alignX, alignY);
  Glyphs g{Spelled(GameHarness::Get().EntriesOf(SLOT_FONT)), {}, {}};
  for (const DrawEntry& e : GameHarness::Get().EntriesOf(SLOT_FONT)) {
    g.x.push_back(e.x);
    g.y.push_back(e.y);
  }
  return g;
}

TEST(Scaling, TheDesignKeepsItsWidthOrHeightInsideTheOverscan) {
  const struct {
    int w, h;
    float overscan;
    int fitMode;
    float scale, width, height;
  } cases[] = {{1280, 720, 0, 1, 2.0f, 640, 360}, {1024, 1024, 0, 2, 1024.0f / 480, 480, 480},
               {1920, 1080, 64, 1, 2.8f, 640, 360}};
  for (const auto& c : cases) {
    const VirtualScreen v = FitVirtualScreen(c.w, c.h, c.overscan, 640.0f, 480.0f);
    EXPECT_NEAR(v.scaleX, c.scale, 1e-5) << c.w << "x" << c.h;
    EXPECT_TRUE(v.fitMode == c.fitMode && v.scaleY == v.scaleX && v.landscape == 1) << c.w << "x" << c.h;
    EXPECT_FLOAT_EQ(v.width, c.width);
    EXPECT_FLOAT_EQ(v.height, c.height);
  }
  // A minimized window keeps the last size's overscan; with none it is 0.
  EXPECT_EQ((std::vector<float>{OverscanY(64.0f, 1920, 1080, 0, 0), OverscanY(64.0f, 0, 0, 1920, 1080),
                                OverscanY(64.0f, 0, 0, 0, 0)}),
            (std::vector<float>{36.0f, 36.0f, 0.0f}));
  // The pointer maps back through the same offsets, toward zero, and never
  // through nothing.
  EXPECT_EQ((std::vector<int>{ToVirtual(64.0f + 2.8f * 100.0f, 64.0f, 2.8f), ToVirtual(35.0f, 36.0f, 2.8f),
                              ToVirtual(100.0f, 0.0f, 0.0f), ToVirtual(NAN, 0.0f, 2.0f),
                              ToVirtual(1e30f, 0.0f, 1e-10f)}),
            (std::vector<int>{100, 0, 0, 0, INT_MAX}));
}

TEST(Scaling, RealWindowsRescaleAtTheNextFrameWithTheOverscan) {
  GameHarness& h = GameHarness::Get();
  bb_KRV_overscan = 64.0f;
  h.Resize(1920, 1080);
  h.Render();
  EXPECT_NEAR(h.App()->m_scaleX, 2.8f, 1e-5);
  EXPECT_EQ((std::vector<float>{bb_KRV_jscrw, bb_KRV_jscrh}), (std::vector<float>{640, 360}));
  h.MouseMove(64.0f + 280.0f, 36.0f + 2.8f * 50.0f);
  h.Update();
  EXPECT_EQ((std::vector<int>{h.App()->m_mouseX, h.App()->m_mouseY}), (std::vector<int>{100, 50}));
  bb_KRV_overscan = 0.0f;
  h.Resize(640, 480);
  EXPECT_TRUE(h.FinishLoading());
}

TEST(DisplayList, EntriesCopyTheDrawStateTheListHoldsAtMost4999AndTheSmallHelpers) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  app->p_SetCol(10, 20, 30, 0.5f);
  app->p_SetCol(10, 20, 30, UNSET);  // keeps the alpha
  app->p_SetRot(90);
  app->p_SetSize(2, UNSET);  // both ways
  app->p_DrawImg(SLOT_LOGO, 5, 6, 0);
  app->p_SetSize(2, 3);
  app->p_Rect(1, 2, 3, 4);
  app->p_Oval(7, 8, 9, 10);
  const std::vector<DrawEntry> list = h.DisplayList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ((std::vector<float>{list[0].kind, list[0].rotation, list[0].w, list[0].h}),
            (std::vector<float>{float(SLOT_LOGO), -90, 2, 2}));
  EXPECT_EQ((std::vector<float>{list[1].kind, list[1].w, list[2].kind, list[2].h}),
            (std::vector<float>{DRAW_RECT, 3, DRAW_OVAL, 10}));
  for (const DrawEntry& e : list) {
    EXPECT_EQ((std::vector<float>{e.alpha, e.green, e.blend}), (std::vector<float>{0.5f, 20, 1}));
  }

  // A new list keeps the clear colour an omitted one leaves and resets the draw state.
  app->p_CLS2D(1, 2, 3, 0.25f);
  app->p_CLS2D(UNSET, 0, 0, 0);
  EXPECT_EQ((std::vector<float>{app->m_clearBlue, app->m_clearAlpha, app->m_drawScaleX, app->m_drawRotation}),
            (std::vector<float>{3, 0.25f, 1, 0}));
  // Ink: a brightness past 1 clamps at full; a colour past the table falls back.
  app->p_Ink(1, 2.0f);
  const float red = app->m_drawRed, green = app->m_drawGreen, blue = app->m_drawBlue;
  app->p_Ink(42, 1.0f);
  for (auto [seen, expected] : {std::pair{red, 255.0f}, {green, 51.0f}, {blue, 51.0f}, {app->m_drawRed, 76.5f}}) {
    EXPECT_NEAR(seen, expected, 1e-3);
  }
  // Padding keeps the last digits; both bounds of a random range come up.
  EXPECT_EQ((std::vector<std::string>{app->p_rstr(5, 42, "0").ToUtf8(), app->p_rstr(2, 987, "0").ToUtf8(),
                                      app->p_rstr(0, 5, "0").ToUtf8()}),
            (std::vector<std::string>{"00042", "87", ""}));
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(app->p_Rand(1, 3));
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));

  for (int i = 0; i < 5000; ++i) app->p_Rect(float(i), 0, 1, 1);
  EXPECT_EQ(app->m_drawCount, 4999 * DRAW_ENTRY);
  EXPECT_EQ(h.DisplayList().back().x, 4998.0f);
  h.Render();  // a full list replays
  app->p_CLS2D(0, 0, 0, 1);
}

TEST(Text, AlignmentLineBreaksScaleAndRotation) {
  c_MyApp* app = FreshList();
  ASSERT_EQ(app->m_currentFont, SLOT_FONT);
  ASSERT_EQ(app->m_fontInfo[3 * SLOT_FONT], 7);
  // The run of the leading space and the H (14 units) is centred on x = 100;
  // alignment 2 ends it at x half a line lower, 0 starts it there half a line higher.
  const struct {
    float alignX, alignY;
    std::vector<float> x, y;
  } aligned[] = {{1, 1, {100, 107}, {50, 50}}, {2, 0, {93, 100}, {55, 55}}, {0, 2, {107, 114}, {45, 45}}};
  for (const auto& c : aligned) {
    Glyphs g = Layout(100, 50, "Hi", c.alignX, c.alignY);
    EXPECT_TRUE(g.text == "Hi" && g.x == c.x && g.y == c.y) << c.alignX << " " << c.alignY;
  }
  Glyphs lines = Layout(0, 0, "A\\nB", 0, 1);  // the second line starts under the first
  EXPECT_TRUE(lines.text == "AB" && lines.x[1] == lines.x[0] && lines.y[1] == lines.y[0] + 10.0f);

  app->p_CLS2D(UNSET, 0, 0, 0);
  app->p_SetSize(2, UNSET);
  Glyphs scaled = Layout(0, 0, "wiM", 0, 1, true);
  // Behind the doubled space; w is 2 wider, i 3 narrower.
  EXPECT_EQ(scaled.x, (std::vector<float>{14, 14 + 18, 32 + 8}));
  EXPECT_EQ(GameHarness::Get().EntriesOf(SLOT_FONT)[0].w, 2.0f);

  app->p_CLS2D(UNSET, 0, 0, 0);
  app->p_SetRot(90);
  Glyphs turned = Layout(100, 50, "Hi", 0, 1, true);  // downwards from (100, 50)
  ASSERT_EQ(turned.text, "Hi");
  for (auto [seen, expected] : {std::pair{turned.x[0], 100.0f}, {turned.y[0], 57.0f}, {turned.y[1], 64.0f}}) {
    EXPECT_NEAR(seen, expected, 1e-3);
  }
  EXPECT_EQ(GameHarness::Get().EntriesOf(SLOT_FONT)[0].rotation, -90.0f);
}

TEST(Text, ButtonMarksSelectGlyphSetsAndAMarkAtTheEndIsAnOrdinaryCharacter) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  const String mark(Char(0xAC));
  // A letter outside the table selects a frame past the font: nothing drawn.
  Layout(0, 0, mark + "J" + mark + "U" + mark + "z", 0, 1);
  std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ((std::vector<float>{glyphs[0].frame, glyphs[1].frame, glyphs[1].x - glyphs[0].x}),
            (std::vector<float>{96 + 16, 100 + 16, 7 + 4}));  // the keyboard set

  app->m_controlStyle = CONTROL_JOYPAD;
  // Measured with adjustment 2 for the mark: " <J>x" measures 7 + 9 = 16.
  Layout(100, 0, mark + "Jx", 1, 1);
  glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].frame, 96.0f);
  EXPECT_FLOAT_EQ(glyphs[0].x, 100.0f - 8 + 7);
  app->m_controlStyle = CONTROL_KEYBOARD;
  EXPECT_EQ(Layout(0, 0, String("A") + mark, 0, 1).text, "A");  // the mark moves, draws nothing
}


c_MyApp* LoadedWithSoundMode(int mode) {
  c_MyApp* app = Loaded().App();
  app->m_settings[SETTING_SOUND_MODE] = mode;
  app->p_StopTune();
  return app;
}

TEST(Effects, RotateOverTwentyFourChannelsAndAMissingSoundStillStopsItsChannel) {
  c_MyApp* app = LoadedWithSoundMode(1);
  gxtkSample* sample = app->m_sounds[SFX_CHOOSE]->m_sample;
  const int start = app->m_sfxChannel;
  for (int i = 1; i <= SFX_CHANNELS; ++i) {
    app->p_PlaySFX(SFX_CHOOSE, 1.0f, 0.5f, 0.0f);
    const int channel = (start + i) % SFX_CHANNELS;
    EXPECT_EQ(app->m_sfxChannel, channel);
    EXPECT_EQ(bb_audio_device->channels[channel].sample, sample) << channel;
  }
  EXPECT_EQ(app->m_sfxChannel, start);
  for (int c = SFX_CHANNELS; c < AUDIO_CHANNELS; ++c) EXPECT_NE(bb_audio_device->channels[c].sample, sample);

  app->p_LoadSFX(42);  // not part of the data
  EXPECT_EQ(app->m_sounds[42], nullptr);
  for (int i = 0; i < SFX_CHANNELS; ++i) app->p_PlaySFX(42, 1.0f, 1.0f, 0.0f);  // back on the last channel
  EXPECT_EQ(app->m_sfxChannel, start);
  EXPECT_EQ(bb_audio_device->ChannelState(start), AUDIO_STOPPED);
}

TEST(Music, PausesWithThePauseMenu) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = LoadedWithSoundMode(1);
  app->p_PlayTune("tune_2", 1);
  ASSERT_EQ(bb_audio_device->MusicState(), AUDIO_PLAYING);
  app->m_paused = 1;
  h.Update();
  EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_PAUSED);
  app->m_paused = 0;
  h.Update();
  EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_PLAYING);
  app->p_StopTune();
  EXPECT_EQ((std::vector<int>{app->m_musicOn, bb_audio_device->MusicState()}), (std::vector<int>{0, AUDIO_STOPPED}));
}

}  // namespace
