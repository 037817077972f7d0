// The display list, the virtual screen's scaling and the text layout.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "game/screen_math.h"
#include "tests/game/harness.h"

using zephrine_test::DrawEntry;
using zephrine_test::GameHarness;

namespace {

// A loaded game with an empty display list and the default draw state.
c_MyApp* FreshList() {
  GameHarness& h = GameHarness::Get();
  if (h.App()->m_loadStep != 0) {
    EXPECT_TRUE(h.FinishLoading());
  }
  c_MyApp* app = h.App();
  app->m_controlStyle = 0;
  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  return app;
}

// The characters the glyph entries of the list spell.
std::string Spelled(const std::vector<DrawEntry>& entries) {
  std::string text;
  for (const DrawEntry& e : entries) text += char(int(e.frame) + 32);
  return text;
}

}  // namespace

TEST(Scaling, WideWindowKeepsTheDesignWidth) {
  const VirtualScreen v = FitVirtualScreen(1280, 720, 0.0f, 640.0f, 480.0f);
  EXPECT_EQ(v.fitMode, 1);
  EXPECT_FLOAT_EQ(v.scaleX, 2.0f);
  EXPECT_FLOAT_EQ(v.scaleY, 2.0f);
  EXPECT_FLOAT_EQ(v.width, 640.0f);
  EXPECT_FLOAT_EQ(v.height, 360.0f);
  EXPECT_EQ(v.landscape, 1);
}

TEST(Scaling, SquareWindowKeepsTheDesignHeight) {
  const VirtualScreen v = FitVirtualScreen(1024, 1024, 0.0f, 640.0f, 480.0f);
  EXPECT_EQ(v.fitMode, 2);
  EXPECT_NEAR(v.scaleX, 1024.0f / 480.0f, 1e-5);
  EXPECT_FLOAT_EQ(v.width, 480.0f);
  EXPECT_FLOAT_EQ(v.height, 480.0f);
  EXPECT_EQ(v.landscape, 1);
}

TEST(Scaling, OverscanShrinksTheScaleAndOffsetsTheOrigin) {
  const VirtualScreen v = FitVirtualScreen(1920, 1080, 64.0f, 640.0f, 480.0f);
  EXPECT_EQ(v.fitMode, 1);
  EXPECT_NEAR(v.scaleX, 2.8f, 1e-5);
  EXPECT_FLOAT_EQ(v.width, 640.0f);
  EXPECT_FLOAT_EQ(v.height, 360.0f);
  EXPECT_FLOAT_EQ(OverscanY(64.0f, 1920, 1080, 0, 0), 36.0f);
  // The pointer maps back through the same offsets.
  EXPECT_EQ(ToVirtual(64.0f + 2.8f * 100.0f, 64.0f, v.scaleX), 100);
  EXPECT_EQ(ToVirtual(36.0f - 1.0f, 36.0f, v.scaleY), 0);  // toward zero
}

TEST(Scaling, MinimizedWindowNeverMapsThroughNothing) {
  EXPECT_FLOAT_EQ(OverscanY(64.0f, 0, 0, 1920, 1080), 36.0f);
  EXPECT_FLOAT_EQ(OverscanY(64.0f, 0, 0, 0, 0), 0.0f);
  EXPECT_EQ(ToVirtual(100.0f, 0.0f, 0.0f), 0);
  EXPECT_EQ(ToVirtual(NAN, 0.0f, 2.0f), 0);
  EXPECT_EQ(ToVirtual(1e30f, 0.0f, 1e-10f), 2147483647);
}

TEST(Scaling, RealWindowsRescaleAtTheNextFrame) {
  GameHarness& h = GameHarness::Get();
  h.Resize(1280, 720);
  h.Render();
  EXPECT_FLOAT_EQ(h.App()->m_scaleX, 2.0f);
  EXPECT_FLOAT_EQ(bb_KRV_jscrw, 640.0f);
  EXPECT_FLOAT_EQ(bb_KRV_jscrh, 360.0f);
  h.Resize(1024, 1024);
  h.Render();
  EXPECT_EQ(h.App()->m_fitMode, 2);
  EXPECT_FLOAT_EQ(bb_KRV_jscrw, 480.0f);
  bb_KRV_overscan = 64.0f;
  h.Resize(1920, 1080);
  h.Render();
  EXPECT_NEAR(h.App()->m_scaleX, 2.8f, 1e-5);
  h.MouseMove(64.0f + 280.0f, 36.0f + 2.8f * 50.0f);
  h.Update();
  EXPECT_EQ(h.App()->m_mouseX, 100);
  EXPECT_EQ(h.App()->m_mouseY, 50);
  bb_KRV_overscan = 0.0f;
  h.Resize(640, 480);
  EXPECT_TRUE(h.FinishLoading());
}

TEST(DisplayList, DrawStateSettersAndOmittedArguments) {
  c_MyApp* app = FreshList();
  app->p_SetSize(2, DRAW_OMITTED);
  EXPECT_EQ(app->m_drawScaleY, 2.0f);
  app->p_SetSize(2, 3);
  EXPECT_EQ(app->m_drawScaleY, 3.0f);
  app->p_SetCol(10, 20, 30, 0.5f);
  app->p_SetCol(10, 20, 30, DRAW_OMITTED);
  EXPECT_EQ(app->m_drawAlpha, 0.5f);
  app->p_SetRot(30);
  EXPECT_EQ(app->m_drawRotation, -30.0f);
  app->p_CLS2D(1, 2, 3, 0.25f);
  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  EXPECT_EQ(app->m_clearBlue, 3.0f);
  EXPECT_EQ(app->m_clearAlpha, 0.25f);
  EXPECT_EQ(app->m_drawScaleX, 1.0f);  // reset by the new list
  EXPECT_EQ(app->m_drawRotation, 0.0f);
  app->p_Ink(1, 2.0f);
  EXPECT_EQ(app->m_drawRed, 255.0f);
  EXPECT_NEAR(app->m_drawGreen, 51.0f, 1e-3);
  EXPECT_NEAR(app->m_drawBlue, 51.0f, 1e-3);
  app->p_Ink(42, 1.0f);
  EXPECT_NEAR(app->m_drawRed, 76.5f, 1e-3);
  app->p_CLS2D(0, 0, 0, 1);
}

TEST(DisplayList, EntriesCopyTheDrawStateAndTheListHoldsAtMost4999) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  app->p_SetCol(10, 20, 30, 0.5f);
  app->p_SetRot(90);
  app->p_SetSize(2, 3);
  app->p_DrawImg(SLOT_LOGO, 5, 6, 0);
  app->p_Rect(1, 2, 3, 4);
  app->p_Oval(7, 8, 9, 10);
  const std::vector<DrawEntry> list = h.DisplayList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].kind, float(SLOT_LOGO));
  EXPECT_EQ(list[0].rotation, -90.0f);
  EXPECT_EQ(list[0].w, 2.0f);
  EXPECT_EQ(list[0].h, 3.0f);
  EXPECT_EQ(list[1].kind, DRAW_RECT);
  EXPECT_EQ(list[1].w, 3.0f);
  EXPECT_EQ(list[2].kind, DRAW_OVAL);
  EXPECT_EQ(list[2].h, 10.0f);
  for (const DrawEntry& e : list) {
    EXPECT_EQ(e.alpha, 0.5f);
    EXPECT_EQ(e.green, 20.0f);
    EXPECT_EQ(e.blend, 1.0f);
  }
  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  for (int i = 0; i < 5000; ++i) app->p_Rect(float(i), 0, 1, 1);
  EXPECT_EQ(app->m_drawCount, 4999 * DRAW_ENTRY);
  EXPECT_EQ(h.DisplayList().back().x, 4998.0f);
  h.Render();  // a full list replays
}

TEST(Text, AlignmentCentresTheMeasuredRun) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  ASSERT_EQ(app->m_currentFont, SLOT_FONT);
  ASSERT_EQ(app->m_fontInfo[3 * SLOT_FONT], 7);
  // The run of the leading space and the H (14 units) is centred on x = 100.
  app->p_Text(100, 50, "Hi", 1, 1);
  std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(Spelled(glyphs), "Hi");
  EXPECT_FLOAT_EQ(glyphs[0].x, 100.0f);
  EXPECT_FLOAT_EQ(glyphs[1].x, 107.0f);
  EXPECT_FLOAT_EQ(glyphs[0].y, 50.0f);

  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->p_Text(100, 50, "Hi", 2, 0);  // ends at x, half a line lower
  glyphs = h.EntriesOf(SLOT_FONT);
  EXPECT_FLOAT_EQ(glyphs[0].x, 93.0f);
  EXPECT_FLOAT_EQ(glyphs[0].y, 55.0f);

  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->p_Text(100, 50, "Hi", 0, 2);  // starts at x, half a line higher
  glyphs = h.EntriesOf(SLOT_FONT);
  EXPECT_FLOAT_EQ(glyphs[0].x, 107.0f);
  EXPECT_FLOAT_EQ(glyphs[0].y, 45.0f);
}

TEST(Text, AdjustmentsScaleAndRotation) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  app->p_SetSize(2, DRAW_OMITTED);
  app->p_Text(0, 0, "wiM", 0, 1);
  std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 3u);
  EXPECT_FLOAT_EQ(glyphs[0].x, 14.0f);       // behind the doubled space
  EXPECT_FLOAT_EQ(glyphs[1].x, 14.0f + 18);  // w is 2 wider
  EXPECT_FLOAT_EQ(glyphs[2].x, 32.0f + 8);   // i is 3 narrower
  EXPECT_EQ(glyphs[0].w, 2.0f);

  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->p_SetRot(90);
  app->p_Text(100, 50, "Hi", 0, 1);
  glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_NEAR(glyphs[0].x, 100.0f, 1e-3);
  EXPECT_NEAR(glyphs[0].y, 57.0f, 1e-3);
  EXPECT_NEAR(glyphs[1].y, 64.0f, 1e-3);
  EXPECT_EQ(glyphs[0].rotation, -90.0f);
}

TEST(Text, LineBreaksStartUnderTheFirstLine) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  app->p_Text(0, 0, "A\\nB", 0, 1);
  const std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(Spelled(glyphs), "AB");
  EXPECT_FLOAT_EQ(glyphs[1].x, glyphs[0].x);
  EXPECT_FLOAT_EQ(glyphs[1].y, glyphs[0].y + 10.0f);
}

TEST(Text, ButtonMarksSelectGlyphSets) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  const String mark(Char(0xAC));
  app->p_Text(0, 0, mark + "J" + mark + "U" + mark + "z", 0, 1);
  std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  // A letter outside the table selects a frame past the font: nothing drawn.
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].frame, 96.0f + 16);  // keyboard set
  EXPECT_EQ(glyphs[1].frame, 100.0f + 16);
  EXPECT_FLOAT_EQ(glyphs[1].x - glyphs[0].x, 7.0f + 4);

  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->m_controlStyle = 1;
  // Measured with adjustment 2 for the mark: " <J>x" measures 7 + 9 = 16.
  app->p_Text(100, 0, mark + "Jx", 1, 1);
  glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].frame, 96.0f);
  EXPECT_FLOAT_EQ(glyphs[0].x, 100.0f - 8 + 7);
  app->m_controlStyle = 0;
}

TEST(Text, ButtonMarkAtTheEndIsAnOrdinaryCharacter) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  app->p_Text(0, 0, String("A") + String(Char(0xAC)), 0, 1);
  const std::vector<DrawEntry> glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 1u);  // outside the font: moves, draws nothing
  EXPECT_EQ(Spelled(glyphs), "A");
}

TEST(Helpers, PaddingAndRandomNumbers) {
  c_MyApp* app = FreshList();
  EXPECT_TRUE(app->p_rstr(5, 42, "0") == String("00042"));
  EXPECT_EQ(app->m_i, 6);
  EXPECT_TRUE(app->p_rstr(2, 987, "0") == String("87"));
  EXPECT_TRUE(app->p_rstr(0, 5, "0") == String(""));
  EXPECT_EQ(app->m_i, 1);

  bb_random_Seed = 1234;
  const unsigned next = 1234u * 1664525u + 1013904223u;
  const int expected = int(std::floor(float(next >> 8) / 16777216.0f * (10 + 0.99f - 0) + 0));
  EXPECT_EQ(app->p_Rand(0, 10), expected);
  EXPECT_EQ(bb_random_Seed, int(next));
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(app->p_Rand(1, 3));
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
}
