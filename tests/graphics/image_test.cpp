// Image loading and the graphics context without a window: decoding and its
// failures, premultiplied surface data, frame layout, flags and handles, the
// matrix stack, the built-in font, and the collector's view of it all.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "graphics/decode.h"
#include "graphics/surface.h"
#include "tests/support/test_game.h"
#include "tests/support/support.h"

using namespace zephrine_test;

namespace {

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Game();
    ASSERT_EQ(glfwGraphicsSeq, 0) << "these tests run before any window exists";
    bb_graphics_SetGraphicsDevice(new gxtkGraphics());
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  }
};

// Missing, empty and damaged files of the game's data give null in the
// acceptance test's data sweep.
TEST_F(ImageTest, BadFilesGiveNullAndGoodOnesReportTheirBytes) {
  int w = -1, h = -1, d = -1;
  std::string good = WritePng("good.png", 7, 5, 4, SolidRgba(7, 5, 1, 2, 3, 4));
  // The image data chunk claims a gigabyte the file does not hold (the fuzz
  // seeds keep the cases where the decoder would have asked for it first).
  std::string oversized = ReadFile(good);
  oversized.replace(oversized.find("IDAT") - 4, 4, std::string("\x40\x00\x00\x00", 4));
  WriteFile(ScratchDir() + "/oversized.png", oversized);
  const String path((ScratchDir() + "/oversized.png").c_str());
  EXPECT_EQ(gxtkDecodeImageFile(&Game(), path, &w, &h, &d), nullptr);
  EXPECT_EQ(bb_graphics_LoadImage(path, 1, 0), nullptr);

  gc_collect();  // moves earlier reports out of the way
  int before = gc_ext_new_bytes;
  unsigned char* pixels = gxtkDecodeImageFile(&Game(), String(good.c_str()), &w, &h, &d);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ((std::vector<int>{w, h, d, pixels[0], pixels[3]}), (std::vector<int>{7, 5, 4, 1, 4}));
  std::free(pixels);
  gc_collect();
  EXPECT_EQ(gc_ext_new_bytes - before, 7 * 5 * 4);
}

std::vector<unsigned char> Bytes(const unsigned char* data, int count) { return {data, data + count}; }

TEST_F(ImageTest, SurfacesHoldPremultipliedPixels) {
  std::vector<unsigned char> rgba = SolidRgba(3, 1, 255, 128, 0, 128);
  PutRgba(rgba, 3, 1, 0, 200, 100, 50, 0);  // fully transparent: all zero
  PutRgba(rgba, 3, 2, 0, 10, 20, 30, 255);  // opaque: unchanged
  gxtkSurface* s = bb_graphics_device->LoadSurface(String(WritePng("pm.png", 3, 1, 4, rgba).c_str()));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Bytes(s->data, 12), (std::vector<unsigned char>{128, 64, 0, 128, 0, 0, 0, 0, 10, 20, 30, 255}));
  EXPECT_EQ(s->seq, -1) << "no window yet: no texture";

  std::vector<unsigned char> la = {200, 128, 90, 255, 77, 0};
  gxtkSurface* l = bb_graphics_device->LoadSurface(String(WritePng("la.png", 3, 1, 2, la).c_str()));
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->depth, 2);
  EXPECT_EQ(Bytes(l->data, 6), (std::vector<unsigned char>{100, 128, 90, 255, 0, 0}));

  // Writing ARGB into a surface premultiplies too; a luminance surface is
  // left alone; a rectangle hanging over the edge is clipped.
  gxtkSurface* c = bb_graphics_device->CreateSurface(2, 2);
  EXPECT_EQ(c->data, nullptr);
  const unsigned int argb[] = {0x80FF8000u, 0xFF0000FFu, 0x00FFFFFFu, 0xFF102030u};
  c->SetSubData(0, 0, 2, 2, argb, 2);
  ASSERT_NE(c->data, nullptr);
  EXPECT_EQ(Bytes(c->data, 16),
            (std::vector<unsigned char>{128, 64, 0, 128, 0, 0, 255, 255, 0, 0, 0, 0, 16, 32, 48, 255}));
  c->SetSubData(1, 1, 2, 2, argb, 2);
  EXPECT_EQ(c->data[12], 128) << "only the pixel inside the surface was written";
  Array<int> few(2);
  bb_graphics_device->WritePixels2(c, few, 0, 0, 2, 2, 0, 2);  // needs 4 ints: ignored
  EXPECT_EQ(c->data[12], 128);

  gxtkSurface* g = bb_graphics_device->LoadSurface(String(WritePng("lum.png", 2, 1, 1, {9, 9}).c_str()));
  ASSERT_NE(g, nullptr);
  g->SetSubData(0, 0, 1, 1, argb, 1);
  EXPECT_EQ(g->data[0], 9);

  c->Discard();
  EXPECT_EQ(c->data, nullptr);
  EXPECT_EQ(c->seq, -1);
}

gxtkSurface* BlankSurface(int w, int h) {
  gxtkSurface* s = new gxtkSurface();
  s->SetData(static_cast<unsigned char*>(std::calloc(std::size_t(w) * h, 4)), w, h, 4);
  return s;
}

TEST_F(ImageTest, FramesWalkInRowsAndMustFitTheSurface) {
  gxtkSurface* s = BlankSurface(256, 64);
  c_Image* image = (new c_Image)->m_new()->p_Init2(s, 0, 0, 64, 32, 8, 0, nullptr, 0, 0, 256, 64);
  std::vector<std::pair<int, int>> corners;
  for (c_Frame* frame : image->m_frames) corners.emplace_back(frame->m_x, frame->m_y);
  EXPECT_EQ(corners, (std::vector<std::pair<int, int>>{
                         {0, 0}, {64, 0}, {128, 0}, {192, 0}, {0, 32}, {64, 32}, {128, 32}, {192, 32}}));
  EXPECT_EQ(image->m_flags & GXTK_IMAGE_FULLFRAME, 0);

  auto init = [](gxtkSurface* surface, int fw, int fh, int count) {
    std::freopen("/dev/null", "r", stdin);  // no development tool attached
    (new c_Image)->m_new()->p_Init2(surface, 0, 0, fw, fh, count, 0, nullptr, 0, 0, 256, 64);
  };
  EXPECT_EXIT(init(s, 64, 32, 9), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(init(s, 300, 32, 1), ::testing::ExitedWithCode(255), "");
}

// The stack grows past its first 32 levels and pops back in order. How
// matrices combine (an image turned and scaled about its handle) is the
// render test's.
TEST_F(ImageTest, MatrixStackGrowsAndRestoresInOrder) {
  c_GraphicsContext* c = bb_graphics_context;
  for (int i = 0; i < 33; ++i) {
    bb_graphics_PushMatrix();
    bb_graphics_Translate(1, 2);
  }
  EXPECT_EQ((std::vector<float>{c->tx, c->ty}), (std::vector<float>{33, 66}));
  for (int i = 0; i < 33; ++i) bb_graphics_PopMatrix();
  EXPECT_EQ((std::vector<float>{float(c->m_matrixDepth), c->tx, float(c->m_transformed)}),
            (std::vector<float>{0, 0, 0}));
}

TEST_F(ImageTest, BuiltInFontLoadsOnceFromTheDataFolder) {
  char old_dir[4096];
  ASSERT_NE(getcwd(old_dir, sizeof(old_dir)), nullptr);
  ASSERT_EQ(chdir(ScratchDir().c_str()), 0);

  std::filesystem::remove("data/vemo_font.png");  // a repeated run wrote it before
  bb_graphics_SetFont(nullptr, 99);  // no data/vemo_font.png here yet
  EXPECT_EQ(bb_graphics_context->m_font, nullptr);

  mkdir("data", 0755);
  WritePng("data/vemo_font.png", 96 * 6, 9, 4, SolidRgba(96 * 6, 9, 255, 255, 255));
  bb_graphics_SetFont(nullptr, 99);
  c_Image* font = bb_graphics_context->m_font;
  ASSERT_NE(font, nullptr);
  EXPECT_EQ((std::vector<int>{bb_graphics_context->m_firstChar, font->m_frames.Length(), font->m_width, font->m_flags}),
            (std::vector<int>{32, 96, 4, GXTK_IMAGE_XPADDING}));
  bb_graphics_SetFont(nullptr, 32);
  EXPECT_EQ(bb_graphics_context->m_font, font) << "loaded once";

  c_Image* other = (new c_Image)->m_new()->p_Init(font->m_surface, 2, 0);
  bb_graphics_SetFont(other, 48);
  EXPECT_EQ(bb_graphics_context->m_font, other);
  EXPECT_EQ(bb_graphics_context->m_firstChar, 48);
  ASSERT_EQ(chdir(old_dir), 0);
}

TEST_F(ImageTest, CollectorKeepsEverythingTheGlobalsReach) {
  gxtkSurface* s = BlankSurface(32, 8);
  gc_assign(bb_graphics_context->m_font, (new c_Image)->m_new()->p_Init(s, 4, GXTK_IMAGE_XPADDING));
  gc_assign(bb_graphics_context->m_defaultFont, (new c_Image)->m_new()->p_Init(BlankSurface(8, 8), 1, 0));
  bb_graphics_PushMatrix();
  gc_mark();
  CollectAllGarbage();
  c_Image* font = bb_graphics_context->m_font;
  EXPECT_EQ((std::vector<int>{font->m_surface->Width(), font->m_frames[3]->m_x, font->m_surface->data[0],
                              bb_graphics_context->m_defaultFont->m_width, bb_graphics_context->m_matrixStack.Length()}),
            (std::vector<int>{32, 25, 0, 8, 192}));
}

}  // namespace
