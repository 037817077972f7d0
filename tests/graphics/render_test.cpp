// The renderer in a real window (Xvfb + Mesa): pixels read back after
// drawing, and that draws are batched at all.
#include <gtest/gtest.h>

#include <array>

#include "graphics/surface.h"
#include "graphics/batch.h"
#include "graphics/glseam.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

namespace {

constexpr int WIDTH = 320, HEIGHT = 240;

// Expects each window pixel {x, y, 0xRRGGBB}.
void ExpectPixels(std::initializer_list<std::array<unsigned, 3>> pixels) {
  for (const auto& p : pixels) EXPECT_EQ(Rgb(int(p[0]), int(p[1])), p[2]) << "pixel " << p[0] << ", " << p[1];
}

class RenderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Game().OpenWindow(WIDTH, HEIGHT);
    bb_graphics_SetGraphicsDevice(new gxtkGraphics());
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  }
  static void TearDownTestSuite() { Game().CloseWindow(); }

  gxtkGraphics* device() { return bb_graphics_device; }

  // Opens a frame cleared to black, as the game delegate does.
  void Begin() {
    ASSERT_EQ(device()->BeginRender(), 1);
    bb_graphics_BeginRender();
    device()->Cls(0, 0, 0);
  }
  void End() {
    bb_graphics_EndRender();
    device()->EndRender();
  }
  // An image from a PNG written for the test.
  c_Image* Image(const std::string& name, int w, int h, const std::vector<unsigned char>& rgba, int frames = 1,
                 int flags = 0) {
    c_Image* image = bb_graphics_LoadImage(String(WritePng(name, w, h, 4, rgba).c_str()), frames, flags);
    EXPECT_NE(image, nullptr);
    return image;
  }
};

TEST_F(RenderTest, ColoursArePremultipliedBlendedAndClamped) {
  Begin();
  // Half-transparent orange over black; then over dark red (x 20..59) alpha
  // blending src + dst * (1 - a), additive src + dst; out-of-range colours
  // clamped, never spilled into other channels.
  const struct {
    float x, w, r, g, b, alpha;
    int blend;
  } rects[] = {{0, 10, 255, 128, 0, 0.5f, 0}, {20, 40, 100, 0, 0, 1, 0},  {20, 10, 0, 100, 50, 0.5f, 0},
               {40, 10, 0, 100, 50, 0.5f, 1}, {50, 10, 0, 100, 50, 1, 1}, {60, 10, 300, -20, 255, 1, 0}};
  for (const auto& r : rects) {
    bb_graphics_SetBlend(r.blend);
    bb_graphics_SetColor(r.r, r.g, r.b);
    bb_graphics_SetAlpha(r.alpha);
    bb_graphics_DrawRect(r.x, 0, r.w, 10);
  }
  ExpectPixels({{5, 5, 0x7F4000}, {25, 5, 0x323219}, {45, 5, 0x643219}, {55, 5, 0x646432}, {65, 5, 0xFF00FF}});
  End();
}

TEST_F(RenderTest, ScissorBoxIsMeasuredFromTheTopAndBoundsCls) {
  Begin();
  bb_graphics_SetScissor(10, 20, 30, 40);
  bb_graphics_DrawRect(0, 0, WIDTH, HEIGHT);
  ExpectPixels({{10, 20, 0xFFFFFF}, {39, 59, 0xFFFFFF}, {9, 20, 0}, {10, 19, 0}, {40, 59, 0}, {39, 60, 0}});
  device()->Cls(0, 0, 255);
  ExpectPixels({{15, 25, 0x0000FF}, {5, 5, 0}});
  bb_graphics_SetScissor(0, 0, WIDTH, HEIGHT);  // the whole window: test off
  bb_graphics_SetColor(0, 255, 0);
  bb_graphics_DrawRect(0, 230, WIDTH, 10);
  ExpectPixels({{300, 235, 0x00FF00}});
  End();
}

// Rows top first is what every pixel check here reads through; this is
// the offset, the pitch and the bounds of the array.
TEST_F(RenderTest, ReadPixelsKeepsPitchGapsAndRefusesTooSmallArrays) {
  Begin();
  bb_graphics_SetColor(255, 0, 0);
  bb_graphics_DrawRect(0, 0, 4, 1);
  bb_graphics_SetColor(0, 255, 0);
  bb_graphics_DrawRect(0, 1, 4, 1);
  Array<int> out(2 + 2 * 5), small(3);
  device()->ReadPixels(out, 0, 0, 3, 2, 2, 5);
  device()->ReadPixels(small, 0, 0, 2, 2, 0, 2);  // needs 4 ints: nothing read
  EXPECT_EQ((std::vector<int>{out[2] & 0xFFFFFF, out[4] & 0xFFFFFF, out[7] & 0xFFFFFF, out[5], small[0]}),
            (std::vector<int>{0xFF0000, 0xFF0000, 0x00FF00, 0, 0}));
  End();
}

TEST_F(RenderTest, OvalsUseTheSegmentRule) {
  Begin();
  const struct {
    float w, h;
    int segs;
  } cases[] = {{4, 4, 12}, {2000, 2000, 1024}, {31, 0, 12}, {41, 30, 32}, {-60, 60, 60}};
  for (const auto& c : cases) {
    device()->Cls(0, 0, 0);
    device()->DrawOval(10, 10, c.w, c.h);
    EXPECT_EQ(device()->Batch().primKind, c.segs) << c.w << " x " << c.h;
    EXPECT_EQ(device()->Batch().primCount, c.segs);
  }
  device()->Cls(0, 0, 0);
  bb_graphics_Scale(2, 3);
  bb_graphics_DrawEllipse(50, 40, 10, 10);  // radii on screen 20 and 30
  EXPECT_EQ(device()->Batch().primKind, 48);
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);

  device()->Cls(0, 0, 0);
  bb_graphics_DrawEllipse(100, 100, 40, 20);
  // The corner of the bounding box stays empty.
  ExpectPixels({{100, 100, 0xFFFFFF}, {137, 100, 0xFFFFFF}, {100, 82, 0xFFFFFF}, {143, 100, 0}, {100, 123, 0},
                {135, 117, 0}});
  End();
}

// How polygons share batches is the renderer benchmark's; here they fill
// what they should, and one with too many points, or none, is ignored.
TEST_F(RenderTest, PolygonsFillAndOversizedOnesAreIgnored) {
  Begin();
  const float diamond[] = {50, 10, 90, 50, 50, 90, 10, 50};
  device()->DrawPoly(Array<float>(diamond, 8));
  const float pentagon[] = {150, 100, 190, 130, 175, 180, 125, 180, 110, 130};
  device()->DrawPoly(Array<float>(pentagon, 10));
  Array<float> moved(10);
  for (int i = 0; i < 10; ++i) moved[i] = pentagon[i] + (i % 2 ? 0 : 100);
  device()->DrawPoly(moved);
  EXPECT_EQ(device()->Batch().primCount, 10);
  device()->DrawPoly(Array<float>(2049 * 2));
  device()->DrawPoly(Array<float>());
  EXPECT_EQ(device()->Batch().primCount, 10);
  ExpectPixels({{50, 50, 0xFFFFFF}, {15, 15, 0}, {150, 150, 0xFFFFFF}, {250, 150, 0xFFFFFF}, {112, 178, 0}});
  End();
}

TEST_F(RenderTest, ImagesDrawFramesPaddingHandlesAndTint) {
  // Four 6x6 frames side by side: red, green, blue, yellow, each with a
  // one-pixel grey border that padding cuts away.
  const unsigned char colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  std::vector<unsigned char> strip = SolidRgba(24, 6, 128, 128, 128);
  for (int f = 0; f < 4; ++f) {
    for (int i = 0; i < 16; ++i) {
      PutRgba(strip, 24, f * 6 + 1 + i % 4, 1 + i / 4, colours[f][0], colours[f][1], colours[f][2]);
    }
  }
  c_Image* plain = Image("strip.png", 24, 6, strip, 4);
  c_Image* padded = Image("strip.png", 24, 6, strip, 4, GXTK_IMAGE_XPADDING | GXTK_IMAGE_YPADDING);
  c_Image* centred = Image("strip.png", 24, 6, strip, 4, GXTK_IMAGE_MIDHANDLE);
  Begin();
  bb_graphics_DrawImage(plain, 10, 10, 2);
  bb_graphics_DrawImage(padded, 30, 10, 3);   // 4x4 of yellow only
  bb_graphics_DrawImage(centred, 50, 50, 1);  // frame spans 47..52
  // A tinted image: the texture is multiplied by the premultiplied colour.
  bb_graphics_SetColor(255, 128, 255);
  bb_graphics_DrawImage(plain, 70, 10, 3);
  ExpectPixels({{10, 10, 0x808080}, {11, 11, 0x0000FF}, {16, 10, 0},                          // plain
                {30, 10, 0xFFFF00}, {33, 13, 0xFFFF00}, {34, 13, 0}, {30, 14, 0},              // padded
                {47, 47, 0x808080}, {48, 48, 0x00FF00}, {46, 47, 0}, {53, 52, 0},              // centred
                {72, 12, 0xFF8000}});
  End();
}

TEST_F(RenderTest, ImagesRotateCounterClockwiseAndScaleAboutTheHandle) {
  // An 8x2 bar, red with a green tip at its right end.
  std::vector<unsigned char> bar = SolidRgba(8, 2, 255, 0, 0);
  for (int y = 0; y < 2; ++y) PutRgba(bar, 8, 7, y, 0, 255, 0);
  c_Image* image = Image("bar.png", 8, 2, bar);
  ASSERT_TRUE(image->m_flags & GXTK_IMAGE_FULLFRAME);
  Begin();
  bb_graphics_DrawImage2(image, 100, 100, 90, 1, 1, 0);  // handle (0, 0): pointing up from (100, 100)
  EXPECT_EQ(bb_graphics_context->m_matrixDepth + bb_graphics_context->m_transformed, 0);
  image->p_SetHandle(4, 1);
  bb_graphics_DrawImage2(image, 200, 100, 0, 3, 2, 0);    // 24x4 centred on (200, 100)
  bb_graphics_DrawImage2(image, 250, 100, 180, 1, 1, 0);  // turned about its middle: tip on the left
  ExpectPixels({{100, 96, 0xFF0000}, {100, 92, 0x00FF00}, {104, 100, 0}, {100, 104, 0},  // the +x end above
                {188, 98, 0xFF0000}, {211, 101, 0x00FF00}, {187, 100, 0}, {212, 100, 0}, {200, 97, 0},
                {246, 100, 0x00FF00}, {253, 100, 0xFF0000}});
  End();
}

TEST_F(RenderTest, TexturesComeBackAfterTheWindowIsReplacedAndLateOnesDrawWhole) {
  c_Image* image = Image("teal.png", 4, 4, SolidRgba(4, 4, 0, 128, 128));
  gc_assign(bb_graphics_context->m_font, image);  // keep it across the frames
  int old_seq = image->m_surface->seq;
  EXPECT_EQ(old_seq, glfwGraphicsSeq) << "loaded with a window open: texture made at once";
  // Loaded before any window, as during start-up: made on first use.
  std::vector<unsigned char> pixels = SolidRgba(4, 1, 255, 0, 0);
  PutRgba(pixels, 4, 3, 0, 0, 0, 255);
  glfwGraphicsSeq = 0;
  c_Image* early = Image("early.png", 4, 1, pixels);
  glfwGraphicsSeq = old_seq;
  gc_assign(bb_graphics_context->m_defaultFont, early);
  EXPECT_EQ(early->m_surface->seq, -1);

  Game().OpenWindow(WIDTH, HEIGHT);  // new window, new context
  Begin();
  bb_graphics_DrawImage(image, 5, 5, 0);
  bb_graphics_DrawImage(early, 0, 30, 0);
  // Texture coordinates span the early image in its first frame.
  ExpectPixels({{6, 6, 0x008080}, {0, 30, 0xFF0000}, {3, 30, 0x0000FF}});
  EXPECT_EQ(image->m_surface->seq, glfwGraphicsSeq);
  EXPECT_GT(glfwGraphicsSeq, old_seq);
  End();
}

// A file's image is held once, in its texture; a new context decodes the
// file again, and pixels written into it are kept as they cannot be decoded.
TEST_F(RenderTest, FileImagesLiveInTheirTextureAndComeBackFromTheFile) {
  std::vector<unsigned char> rgba = SolidRgba(4, 2, 0, 0, 255);
  PutRgba(rgba, 4, 3, 1, 255, 255, 0);
  c_Image* kept = Image("kept.png", 4, 2, rgba);
  c_Image* written = Image("written.png", 4, 2, rgba);
  gc_assign(bb_graphics_context->m_font, kept);
  gc_assign(bb_graphics_context->m_defaultFont, written);
  EXPECT_EQ(kept->m_surface->data, nullptr) << "uploaded: the texture holds the pixels";
  Array<int> red(1);
  red[0] = int(0xFFFF0000u);
  device()->WritePixels2(written->m_surface, red, 0, 0, 1, 1, 0, 1);
  ASSERT_NE(written->m_surface->data, nullptr);

  Game().OpenWindow(WIDTH, HEIGHT);  // new window, new context
  Begin();
  bb_graphics_DrawImage(kept, 40, 40, 0);
  bb_graphics_DrawImage(written, 50, 40, 0);
  ExpectPixels({{40, 40, 0x0000FF}, {43, 41, 0xFFFF00}, {50, 40, 0xFF0000}, {51, 40, 0x0000FF}, {53, 41, 0xFFFF00}});
  End();
  EXPECT_EQ(kept->m_surface->data, nullptr) << "decoded again, uploaded and let go";
}

TEST_F(RenderTest, TexturesFallBackToPowerOfTwoSizes) {
  std::vector<unsigned char> pixels = SolidRgba(100, 50, 0, 0, 255);
  PutRgba(pixels, 100, 99, 49, 255, 255, 255);
  gxtk_gl::RefuseNonPowerOfTwo(true);
  c_Image* image = Image("npot.png", 100, 50, pixels);
  gxtk_gl::RefuseNonPowerOfTwo(false);
  ASSERT_NE(image, nullptr);
  EXPECT_FLOAT_EQ(image->m_surface->uscale, 1.0f / 128);
  EXPECT_FLOAT_EQ(image->m_surface->vscale, 1.0f / 64);
  Begin();
  bb_graphics_DrawImage(image, 10, 10, 0);
  ExpectPixels({{10, 10, 0x0000FF}, {109, 59, 0xFFFFFF}, {110, 59, 0}});  // the last pixel lands where it should
  End();
}

TEST_F(RenderTest, WrittenPixelsReachTheTexture) {
  gxtkSurface* surface = device()->CreateSurface(4, 2);
  c_Image* image = (new c_Image)->m_new()->p_Init(surface, 1, 0);
  gc_assign(bb_graphics_context->m_font, image);
  Array<int> pixels(8);
  for (int i = 0; i < 8; ++i) pixels[i] = int(0xFF00FF00u);
  pixels[1] = int(0xFFFF0000u);
  Begin();
  device()->WritePixels2(surface, pixels, 0, 0, 4, 2, 0, 4);  // whole rows at once
  pixels[0] = int(0x80FFFFFFu);
  device()->WritePixels2(surface, pixels, 2, 1, 1, 1, 0, 1);  // one pixel, row by row
  bb_graphics_DrawImage(image, 20, 20, 0);
  ExpectPixels({{20, 20, 0x00FF00}, {21, 20, 0xFF0000}, {22, 21, 0x808080}});
  End();
}

// How few calls each kind of frame costs is the renderer benchmark's.
TEST_F(RenderTest, DrawsAreBatchedAndTheMatrixIsSentOnlyWhenADrawNeedsIt) {
  Begin();
  for (int i = 0; i < 300; ++i) bb_graphics_DrawRect(float(i), 0, 1, 1);
  End();
  EXPECT_EQ(device()->DrawCalls(), 2) << "256 rectangles fill the store, 44 go at the end";

  // The matrix goes to the device only when a draw needs it; a new frame
  // starts from the identity.
  Begin();
  bb_graphics_Translate(30, 40);
  EXPECT_FLOAT_EQ(device()->tx, 0);
  bb_graphics_SetColor(0, 255, 0);
  bb_graphics_DrawRect(0, 0, 4, 4);
  EXPECT_TRUE(device()->tx == 30 && device()->transformed && Rgb(31, 41) == 0x00FF00u);
  End();
  Begin();
  bb_graphics_DrawRect(0, 0, 4, 4);
  EXPECT_FALSE(device()->transformed);
  End();
}

}  // namespace
