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

#include "audio/mixer.h"
#include "game/screen_math.h"
#include "input/input.h"
#include "tests/game/harness.h"

using namespace zephrine_test;

// Every test starts from a fresh game; the suites name what they test.
using Start = GameTest; using Loader = GameTest; using StartPrompt = GameTest; using GlobalKeys = GameTest;
using Pointer = GameTest; using ICade = GameTest; using Latches = GameTest; using Focus = GameTest;
using Scaling = GameTest; using DisplayList = GameTest; using Text = GameTest; using Effects = GameTest;
using Music = GameTest;

namespace {

constexpr int NO_SCREEN = 99;  // a screen number that runs no step

// Updates the loader takes after a size change is noticed.
int UpdatesToLoad(GameHarness& h) {
  int updates = 0;
  for (; h.App()->m_loadStep != 0 && updates < 100; ++updates) h.Update();
  return updates;
}

}  // namespace

TEST_F(Start, CreationLoadsBehindTheLoadingScreenAndStartsAtTheMenu) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = h.App();
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(bb_app__updateRate, 60);
  // The spinner turns under the logo while the loader works.
  const int angle = app->m_spinAngle;
  h.Update();
  EXPECT_NE(app->m_spinAngle, angle);
  EXPECT_FALSE(h.EntriesOf(SLOT_LOGO).empty());
  ASSERT_TRUE(h.FinishLoading());  // every slot filled: the acceptance test's data sweep
  EXPECT_EQ(app->m_logoJinglePlayed, 1);
}

TEST_F(Loader, VariantFollowsTheWindowSize) {
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
    EXPECT_EQ(app->m_images[SLOT_LOGO]->m_width, 256 * c.scale);
    // The icons' frame width follows the variant; glyph metrics stay virtual.
    EXPECT_EQ(app->m_fontInfo[3 * SLOT_ICONS], 32 * c.scale);
    EXPECT_EQ(app->m_fontInfo[3 * SLOT_FONT], 7);
  }
}

TEST_F(Loader, ResizeReloadsWithoutTheScreenUnderneathAdvancing) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  const int channel = app->m_sfxChannel;
  app->m_screen = SCREEN_ARENA_PREPARE;
  app->m_matchState[450] = 0.0f;
  h.Resize(800, 600);
  h.Render();
  EXPECT_EQ(app->m_loadStep, 1);
  EXPECT_EQ(UpdatesToLoad(h), 19);
  EXPECT_EQ(app->m_screen, SCREEN_ARENA_PREPARE);
  EXPECT_EQ(int(app->m_matchState[450]), 0);
  EXPECT_EQ(app->m_sfxChannel, channel);  // the jingle plays once per run
  EXPECT_EQ(app->m_assetScale, 2);
  h.Update();
  EXPECT_EQ(app->m_screen, SCREEN_ROUND_START);
  EXPECT_EQ(app->m_matchState[450], 160.0f);
}

// A 1280 x 720 game whose window has just been minimized (a 0 x 0 device).
GameHarness& Minimized() {
  GameHarness& h = Loaded(1280, 720);
  h.ForceDeviceSize(0, 0);
  h.Render();
  return h;
}

TEST_F(Loader, MinimizedWindowKeepsScalingAndArt) {
  GameHarness& h = Minimized();
  c_MyApp* app = h.App();
  h.MouseMove(100, 100);
  h.Update();
  EXPECT_EQ(app->m_loadStep, 0);
  EXPECT_FLOAT_EQ(app->m_scaleX, 2.0f);
  EXPECT_EQ(app->m_mouseX, 50);
  EXPECT_EQ(app->m_lastDevWidth, 1280);
}

TEST_F(Loader, ReloadWhileMinimizedKeepsTheVariantOfTheLastSize) {
  GameHarness& h = Minimized();
  c_MyApp* app = h.App();
  app->p_Reload();
  EXPECT_EQ(UpdatesToLoad(h), 19);
  EXPECT_EQ(app->m_assetScale, 4);
  h.ReleaseDeviceSize();
  h.Render();
  EXPECT_EQ(app->m_loadStep, 0);  // same size as before: nothing to reload
}

TEST_F(StartPrompt, ClickInTheMiddleStartsTheGame) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_START_PROMPT;
  h.Click(10, 10);
  EXPECT_EQ(app->m_screen, SCREEN_START_PROMPT);
  EXPECT_EQ(Spelled(h.EntriesOf(SLOT_FONT)), "ClicktoStart");

  h.Click(320, 240);
  // Restarted, and its first step ran at once; the press stays latched.
  EXPECT_EQ(app->m_screen, SCREEN_MENU);
  EXPECT_EQ(app->m_inputLatch, 1);
  EXPECT_EQ(app->m_loadStep, 2);
  h.Update();
  EXPECT_EQ(app->m_inputLatch, 0);  // released
}

TEST_F(GlobalKeys, F1TogglesTheDebugLineOfRateAndScales) {
  GameHarness& h = Loaded();
  h.App()->p_CLS2D(UNSET, 0, 0, 0);
  h.Press(KEY_F1);
  EXPECT_EQ(bb_KRV_DebugMode, 1);
  const std::string line = Spelled(h.EntriesOf(SLOT_FONT));
  EXPECT_TRUE(std::regex_match(line, std::regex("[0-9]+:1\\.0,1\\.0"))) << line;
  h.Press(KEY_F1);
  EXPECT_EQ(bb_KRV_DebugMode, 0);
}

TEST_F(GlobalKeys, F2TogglesThePauseButton) {
  GameHarness& h = Loaded();
  h.Press(KEY_F2);
  EXPECT_EQ(h.App()->m_hidePauseButton, 1);
  h.Press(KEY_F2);
  EXPECT_EQ(h.App()->m_hidePauseButton, 0);
}

TEST_F(Pointer, PressFarAwayStartsWithoutAJump) {
  GameHarness& h = Loaded(1280, 720);
  c_MyApp* app = h.App();
  h.MouseMove(100, 100);
  h.Update();
  h.MouseMove(1000, 600);
  h.MouseDown();
  h.Update();
  // The mouse is touch 0 too; the other touches are up.
  EXPECT_EQ(app->m_mouseX, 500);
  EXPECT_EQ(app->m_prevMouseX, 500);
  EXPECT_EQ(app->m_prevMouseY, 300);
  EXPECT_EQ(app->m_pointerDown, 1);
  EXPECT_EQ(app->m_mouseHits, 1);
  EXPECT_EQ(app->m_touchDown[0], 1);
  EXPECT_EQ(app->m_touchX[0], 500);
  EXPECT_EQ(app->m_touchX[1], UNSET);
  h.MouseMove(1010, 600);
  h.Update();
  EXPECT_EQ(app->m_prevMouseX, 500);
  EXPECT_EQ(app->m_mouseX, 505);
  EXPECT_EQ(app->m_mouseHits, 0);
  h.MouseUp();
  h.Update();
  EXPECT_EQ(app->m_pointerDown + app->m_touchDown[0], 0);
}

// A loaded game on a screen that runs no step (L is the cabinet's back,
// which on the menu ends the game), with iCade mode `on`.
GameHarness& Cabinet(bool on) {
  GameHarness& h = Loaded();
  h.App()->m_screen = NO_SCREEN;
  bb_KRV_iCadeControls = on ? 1 : 0;
  return h;
}

TEST_F(ICade, LettersHoldPadButtonsUntilTheirReleaseLetter) {
  GameHarness& h = Cabinet(true);
  c_MyApp* app = h.App();
  h.Type('w');
  h.Type('L');
  h.Update();
  EXPECT_EQ(app->m_padButtons[ACTION_UP], 2);
  EXPECT_EQ(app->m_padButtons[PAD_BACK_ICADE2], 2);
  h.Update(3);
  EXPECT_EQ(app->m_padButtons[ACTION_UP], 2);
  h.Type('E');
  h.Update();
  EXPECT_EQ(app->m_padButtons[ACTION_UP], 0);
  EXPECT_EQ(app->m_padButtons[PAD_BACK_ICADE2], 2);
}

TEST_F(ICade, APressOfOneLastsOneUpdate) {
  GameHarness& h = Cabinet(true);
  h.App()->m_padButtons[ACTION_LEFT] = 1;
  h.Update();
  EXPECT_EQ(h.App()->m_padButtons[ACTION_LEFT], 0);
}

TEST_F(ICade, LettersAreOnlyReadInICadeMode) {
  GameHarness& h = Cabinet(false);
  h.Type('L');
  h.Update();
  EXPECT_EQ(h.App()->m_padButtons[PAD_BACK_ICADE2], 0);
}

TEST_F(Latches, BackClosesAnOpenBoxOnTheMenuAndLatches) {
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
  EXPECT_EQ(app->m_anyKeyHeld + app->m_inputLatch, 0);
}

TEST_F(Latches, TheCreditsBoxSlidesInOverThirtyUpdatesWhileOpen) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  app->m_creditsOpen = 1;
  h.Update(40);
  EXPECT_EQ(app->m_creditsSlide, 30);
  app->m_creditsOpen = 0;
  h.Update(40);
  EXPECT_EQ(app->m_creditsSlide, 0);
}

// The pause box a match shows on losing the focus is the acceptance test's.
TEST_F(Focus, LosingItSlowsTheUpdatesAndEndsICadeModeButPausesNoMenu) {
  GameHarness& h = Loaded();
  c_MyApp* app = h.App();
  app->m_screen = SCREEN_MENU;
  bb_KRV_iCadeControls = 1;
  h.Suspend();
  EXPECT_EQ(bb_app__updateRate, 5);
  EXPECT_EQ(bb_KRV_iCadeControls, 0);
  h.Resume();
  EXPECT_EQ(bb_app__updateRate, 60);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_EQ(int(app->m_pauseY), 0);
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

TEST_F(Scaling, TheDesignKeepsItsWidthOrHeightInsideTheOverscan) {
  const struct {
    int w, h;
    float overscan;
    int fitMode;
    float scale, width, height;
  } cases[] = {{1280, 720, 0, 1, 2.0f, 640, 360}, {1024, 1024, 0, 2, 1024.0f / 480, 480, 480},
               {1920, 1080, 64, 1, 2.8f, 640, 360}};
  for (const auto& c : cases) {
    const VirtualScreen v = FitVirtualScreen(c.w, c.h, c.overscan, 640.0f, 480.0f);
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_NEAR(v.scaleX, c.scale, 1e-5);
    EXPECT_EQ(v.scaleY, v.scaleX);
    EXPECT_EQ(v.fitMode, c.fitMode);
    EXPECT_EQ(v.landscape, 1);
    EXPECT_FLOAT_EQ(v.width, c.width);
    EXPECT_FLOAT_EQ(v.height, c.height);
  }
}

TEST_F(Scaling, AMinimizedWindowKeepsTheOverscanOfTheLastSize) {
  EXPECT_EQ(OverscanY(64.0f, 1920, 1080, 0, 0), 36.0f);
  EXPECT_EQ(OverscanY(64.0f, 0, 0, 1920, 1080), 36.0f);
  EXPECT_EQ(OverscanY(64.0f, 0, 0, 0, 0), 0.0f);  // no size yet: none
}

// The pointer maps back through the same offsets, toward zero, and never
// through nothing.
TEST_F(Scaling, ThePointerMapsBackTowardZeroAndNeverThroughNothing) {
  EXPECT_EQ(ToVirtual(64.0f + 2.8f * 100.0f, 64.0f, 2.8f), 100);
  EXPECT_EQ(ToVirtual(35.0f, 36.0f, 2.8f), 0);
  EXPECT_EQ(ToVirtual(100.0f, 0.0f, 0.0f), 0);
  EXPECT_EQ(ToVirtual(NAN, 0.0f, 2.0f), 0);
  EXPECT_EQ(ToVirtual(1e30f, 0.0f, 1e-10f), INT_MAX);
}

TEST_F(Scaling, RealWindowsRescaleAtTheNextFrameWithTheOverscan) {
  GameHarness& h = GameHarness::Get();
  bb_KRV_overscan = 64.0f;
  h.Resize(1920, 1080);
  h.Render();
  EXPECT_NEAR(h.App()->m_scaleX, 2.8f, 1e-5);
  EXPECT_EQ(bb_KRV_jscrw, 640);
  EXPECT_EQ(bb_KRV_jscrh, 360);
  h.MouseMove(64.0f + 280.0f, 36.0f + 2.8f * 50.0f);
  h.Update();
  EXPECT_EQ(h.App()->m_mouseX, 100);
  EXPECT_EQ(h.App()->m_mouseY, 50);
}

TEST_F(DisplayList, EntriesCopyTheDrawState) {
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
  EXPECT_EQ(list[0].kind, float(SLOT_LOGO));
  EXPECT_EQ(list[0].rotation, -90);
  EXPECT_EQ(list[0].w, 2);
  EXPECT_EQ(list[0].h, 2);
  EXPECT_EQ(list[1].kind, DRAW_RECT);
  EXPECT_EQ(list[1].w, 3);
  EXPECT_EQ(list[2].kind, DRAW_OVAL);
  EXPECT_EQ(list[2].h, 10);
  for (const DrawEntry& e : list) {
    EXPECT_EQ(e.alpha, 0.5f);
    EXPECT_EQ(e.green, 20);
    EXPECT_EQ(e.blend, 1);
  }
}

TEST_F(DisplayList, ANewListKeepsAnOmittedClearColourAndResetsTheDrawState) {
  c_MyApp* app = FreshList();
  app->p_SetSize(2, 3);
  app->p_SetRot(90);
  app->p_CLS2D(1, 2, 3, 0.25f);
  app->p_CLS2D(UNSET, 0, 0, 0);
  EXPECT_EQ(app->m_clearBlue, 3);
  EXPECT_EQ(app->m_clearAlpha, 0.25f);
  EXPECT_EQ(app->m_drawScaleX, 1);
  EXPECT_EQ(app->m_drawRotation, 0);
}

TEST_F(DisplayList, InkClampsABrightnessPastOneAndFallsBackPastTheTable) {
  c_MyApp* app = FreshList();
  app->p_Ink(1, 2.0f);
  EXPECT_NEAR(app->m_drawRed, 255.0f, 1e-3);
  EXPECT_NEAR(app->m_drawGreen, 51.0f, 1e-3);
  EXPECT_NEAR(app->m_drawBlue, 51.0f, 1e-3);
  app->p_Ink(42, 1.0f);
  EXPECT_NEAR(app->m_drawRed, 76.5f, 1e-3);
}

TEST_F(DisplayList, PaddingKeepsTheLastDigitsAndBothBoundsOfARandomRangeComeUp) {
  c_MyApp* app = FreshList();
  EXPECT_EQ(app->p_rstr(5, 42, "0").ToUtf8(), "00042");
  EXPECT_EQ(app->p_rstr(2, 987, "0").ToUtf8(), "87");
  EXPECT_EQ(app->p_rstr(0, 5, "0").ToUtf8(), "");
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(app->p_Rand(1, 3));
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
}

TEST_F(DisplayList, HoldsAtMost4999EntriesAndAFullListReplays) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  for (int i = 0; i < 5000; ++i) app->p_Rect(float(i), 0, 1, 1);
  EXPECT_EQ(app->m_drawCount, 4999 * DRAW_ENTRY);
  EXPECT_EQ(h.DisplayList().back().x, 4998.0f);
  h.Render();  // a full list replays
}

TEST_F(Text, AlignsTheRunOnBothAxes) {
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
    SCOPED_TRACE(std::to_string(c.alignX) + " " + std::to_string(c.alignY));
    EXPECT_EQ(g.text, "Hi");
    EXPECT_EQ(g.x, c.x);
    EXPECT_EQ(g.y, c.y);
  }
}

TEST_F(Text, TheSecondLineStartsUnderTheFirst) {
  FreshList();
  Glyphs lines = Layout(0, 0, "A\\nB", 0, 1);
  ASSERT_EQ(lines.text, "AB");
  EXPECT_EQ(lines.x[1], lines.x[0]);
  EXPECT_EQ(lines.y[1], lines.y[0] + 10.0f);
}

TEST_F(Text, ScaleWidensTheAdvance) {
  c_MyApp* app = FreshList();
  app->p_SetSize(2, UNSET);
  Glyphs scaled = Layout(0, 0, "wiM", 0, 1, true);
  // Behind the doubled space; w is 2 wider, i 3 narrower.
  EXPECT_EQ(scaled.x, (std::vector<float>{14, 14 + 18, 32 + 8}));
  EXPECT_EQ(GameHarness::Get().EntriesOf(SLOT_FONT)[0].w, 2.0f);
}

TEST_F(Text, RotationLaysTheRunDownwards) {
  c_MyApp* app = FreshList();
  app->p_SetRot(90);
  Glyphs turned = Layout(100, 50, "Hi", 0, 1, true);  // downwards from (100, 50)
  ASSERT_EQ(turned.text, "Hi");
  EXPECT_NEAR(turned.x[0], 100.0f, 1e-3);
  EXPECT_NEAR(turned.y[0], 57.0f, 1e-3);
  EXPECT_NEAR(turned.y[1], 64.0f, 1e-3);
  EXPECT_EQ(GameHarness::Get().EntriesOf(SLOT_FONT)[0].rotation, -90.0f);
}

TEST_F(Text, ButtonMarksSelectGlyphSetsAndAMarkAtTheEndIsAnOrdinaryCharacter) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  const String mark(Char(0xAC));
  // A letter outside the table selects a frame past the font: nothing drawn.
  Layout(0, 0, mark + "J" + mark + "U" + mark + "z", 0, 1);
  std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].frame, 96 + 16);
  EXPECT_EQ(glyphs[1].frame, 100 + 16);
  EXPECT_EQ(glyphs[1].x - glyphs[0].x, 7 + 4);  // the keyboard set

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

TEST_F(Effects, RotateOverTheEffectChannels) {
  c_MyApp* app = LoadedWithSoundMode(1);
  gxtkSample* sample = app->m_sounds[SFX_CHOOSE]->m_sample;
  const int start = app->m_sfxChannel;
  for (int i = 1; i <= SFX_CHANNELS; ++i) {
    app->p_PlaySFX(SFX_CHOOSE, 1.0f, 0.5f, 0.0f);
    const int channel = (start + i) % SFX_CHANNELS;
    EXPECT_EQ(app->m_sfxChannel, channel);
    EXPECT_EQ(bb_audio_device->Mixer().channels[channel].sample, sample) << channel;
  }
  EXPECT_EQ(app->m_sfxChannel, start);
  for (int c = SFX_CHANNELS; c < AUDIO_CHANNELS; ++c) EXPECT_NE(bb_audio_device->Mixer().channels[c].sample, sample);
}

TEST_F(Effects, AMissingSoundStillStopsItsChannel) {
  c_MyApp* app = LoadedWithSoundMode(1);
  const int start = app->m_sfxChannel;
  app->p_LoadSFX(42);  // not part of the data
  EXPECT_EQ(app->m_sounds[42], nullptr);
  for (int i = 0; i < SFX_CHANNELS; ++i) app->p_PlaySFX(42, 1.0f, 1.0f, 0.0f);  // back on the last channel
  EXPECT_EQ(app->m_sfxChannel, start);
  EXPECT_EQ(bb_audio_device->ChannelState(start), AUDIO_STOPPED);
}

TEST_F(Music, PausesWithThePauseMenu) {
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
  EXPECT_EQ(app->m_musicOn, 0);
  EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_STOPPED);
}

}  // namespace
