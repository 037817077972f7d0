// The display list, the virtual screen's scaling and the text layout.
#include <gtest/gtest.h>

#include <climits>
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

// The glyphs of the list as the characters they spell and their places.
struct Glyphs {
  std::string text;
  std::vector<float> x, y;
};

// Lays out `text` in the current draw state, on a fresh list unless `keep`
// (a new list resets the draw state), and reads back its glyphs.
Glyphs Layout(float x, float y, const String& text, float alignX, float alignY, bool keep = false) {
  c_MyApp* app = GameHarness::Get().App();
  if (!keep) app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->p_Text(x, y, text, alignX, alignY);
  Glyphs g;
  for (const DrawEntry& e : GameHarness::Get().EntriesOf(SLOT_FONT)) {
    g.text += char(int(e.frame) + 32);
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
    EXPECT_EQ(v.fitMode, c.fitMode) << c.w << "x" << c.h;
    EXPECT_NEAR(v.scaleX, c.scale, 1e-5);
    EXPECT_EQ(v.scaleY, v.scaleX);
    EXPECT_FLOAT_EQ(v.width, c.width);
    EXPECT_FLOAT_EQ(v.height, c.height);
    EXPECT_EQ(v.landscape, 1);
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

TEST(DisplayList, EntriesCopyTheDrawStateAndTheListHoldsAtMost4999) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = FreshList();
  app->p_SetCol(10, 20, 30, 0.5f);
  app->p_SetCol(10, 20, 30, DRAW_OMITTED);  // keeps the alpha
  app->p_SetRot(90);
  app->p_SetSize(2, DRAW_OMITTED);  // both ways
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
  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  EXPECT_EQ((std::vector<float>{app->m_clearBlue, app->m_clearAlpha, app->m_drawScaleX, app->m_drawRotation}),
            (std::vector<float>{3, 0.25f, 1, 0}));
  app->p_Ink(1, 2.0f);
  EXPECT_EQ(app->m_drawRed, 255.0f);
  EXPECT_NEAR(app->m_drawGreen, 51.0f, 1e-3);
  EXPECT_NEAR(app->m_drawBlue, 51.0f, 1e-3);
  app->p_Ink(42, 1.0f);
  EXPECT_NEAR(app->m_drawRed, 76.5f, 1e-3);

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
    EXPECT_EQ(g.text, "Hi");
    EXPECT_EQ(g.x, c.x) << c.alignX << " " << c.alignY;
    EXPECT_EQ(g.y, c.y) << c.alignX << " " << c.alignY;
  }
  Glyphs lines = Layout(0, 0, "A\\nB", 0, 1);  // the second line starts under the first
  EXPECT_EQ(lines.text, "AB");
  EXPECT_EQ(lines.x[1], lines.x[0]);
  EXPECT_EQ(lines.y[1], lines.y[0] + 10.0f);

  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->p_SetSize(2, DRAW_OMITTED);
  Glyphs scaled = Layout(0, 0, "wiM", 0, 1, true);
  // Behind the doubled space; w is 2 wider, i 3 narrower.
  EXPECT_EQ(scaled.x, (std::vector<float>{14, 14 + 18, 32 + 8}));
  EXPECT_EQ(GameHarness::Get().EntriesOf(SLOT_FONT)[0].w, 2.0f);

  app->p_CLS2D(DRAW_OMITTED, 0, 0, 0);
  app->p_SetRot(90);
  Glyphs turned = Layout(100, 50, "Hi", 0, 1, true);
  ASSERT_EQ(turned.text, "Hi");
  EXPECT_NEAR(turned.x[0], 100.0f, 1e-3);
  EXPECT_NEAR(turned.y[0], 57.0f, 1e-3);
  EXPECT_NEAR(turned.y[1], 64.0f, 1e-3);
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

  app->m_controlStyle = 1;
  // Measured with adjustment 2 for the mark: " <J>x" measures 7 + 9 = 16.
  Layout(100, 0, mark + "Jx", 1, 1);
  glyphs = h.EntriesOf(SLOT_FONT);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].frame, 96.0f);
  EXPECT_FLOAT_EQ(glyphs[0].x, 100.0f - 8 + 7);
  app->m_controlStyle = 0;
  EXPECT_EQ(Layout(0, 0, String("A") + mark, 0, 1).text, "A");  // the mark moves, draws nothing
}

TEST(Helpers, PaddingAndRandomNumbers) {
  c_MyApp* app = FreshList();
  EXPECT_EQ((std::vector<std::string>{app->p_rstr(5, 42, "0").ToUtf8(), app->p_rstr(2, 987, "0").ToUtf8(),
                                      app->p_rstr(0, 5, "0").ToUtf8()}),
            (std::vector<std::string>{"00042", "87", ""}));
  bb_random_Seed = 1234;
  EXPECT_EQ(app->p_Rand(0, 10), 7);
  std::set<int> seen;  // both ends included
  for (int i = 0; i < 2000; ++i) seen.insert(app->p_Rand(1, 3));
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
}

}  // namespace
