// The renderer on a frame shaped like a late round: a clear rectangle, 101
// twinkling stars, 4,001 trail cells, 251 rotated additive sparks and the 4
// border bars, each entry preceded by its alpha, colour and blend the way
// the game's display list replays them. Reports draw calls per frame and the
// time per frame including glFinish, with the redundant-state filter on and
// off.
//
//   graphics_bench [--screenshot=DIR] [benchmark flags]
// writes DIR/frame_<w>x<h>.png of the frame at each size after the runs.
#include <benchmark/benchmark.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/glseam.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

namespace {

constexpr int STARS = 101, TRAIL_CELLS = 4001, SPARKS = 251, BORDERS = 4;
constexpr int RIDERS = 8;

// One display-list entry: a rectangle (image null) or an image drawn about
// its handle; positions in window pixels.
struct Entry {
  c_Image* image;
  float x, y, w, h, rotation;
  float r, g, b, alpha;
  bool additive;
};

// A deterministic stream of numbers in [0, 1).
struct Lcg {
  unsigned state = 12345;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1 << 24);
  }
};

c_Image* starImage = nullptr;
c_Image* sparkImage = nullptr;

void MakeImages() {
  if (starImage) return;
  std::vector<unsigned char> star = SolidRgba(7, 7, 255, 255, 255, 0);
  for (int i = 0; i < 7; ++i) {
    PutRgba(star, 7, 3, i, 255, 255, 255, i == 3 ? 255 : 160);
    PutRgba(star, 7, i, 3, 255, 255, 255, i == 3 ? 255 : 160);
  }
  std::vector<unsigned char> spark = SolidRgba(8, 3, 255, 200, 120, 120);
  for (int x = 0; x < 8; ++x) PutRgba(spark, 8, x, 1, 255, 240, 200, 255);
  starImage = bb_graphics_LoadImage(String(WritePng("star.png", 7, 7, 4, star).c_str()), 1, GXTK_IMAGE_MIDHANDLE);
  sparkImage = bb_graphics_LoadImage(String(WritePng("spark.png", 8, 3, 4, spark).c_str()), 1, GXTK_IMAGE_MIDHANDLE);
  gc_root(starImage);
  gc_root(sparkImage);
}

// The frame at width x height: the 640 x 480 design scaled to the height.
std::vector<Entry> LateRound(int width, int height) {
  float scale = float(height) / 480;
  float cell = 3 * scale;
  float left = (float(width) - 200 * cell) / 2, top = (float(height) - 150 * cell) / 2;
  const float riderColours[RIDERS][3] = {{255, 60, 60},  {60, 255, 60},  {80, 120, 255}, {255, 255, 60},
                                          {255, 60, 255}, {60, 255, 255}, {255, 150, 40}, {200, 200, 200}};
  std::vector<Entry> list;
  list.push_back({nullptr, -1, -1, float(width) + 2, float(height) + 2, 0, 10, 10, 30, 1, false});
  Lcg rng;
  for (int i = 0; i < STARS; ++i) {
    list.push_back({starImage, rng.Next() * width, rng.Next() * height, 1, 1, 0, 255, 255, 255,
                    0.3f + 0.7f * rng.Next(), false});
  }
  // Each rider's trail winds in rows through its own band of the arena.
  for (int i = 0; i < TRAIL_CELLS; ++i) {
    int rider = i % RIDERS, step = i / RIDERS;
    int row = step / 190, col = step % 190;
    if (row % 2) col = 189 - col;
    const float* c = riderColours[rider];
    list.push_back({nullptr, left + (5 + col) * cell, top + (rider * 18 + 2 + row * 2) * cell, cell, cell, 0, c[0],
                    c[1], c[2], 0.85f, false});
  }
  for (int i = 0; i < SPARKS; ++i) {
    float s = (0.5f + rng.Next()) * scale;
    list.push_back({sparkImage, left + rng.Next() * 200 * cell, top + rng.Next() * 150 * cell, s, s,
                    rng.Next() * 360, 255, 180 + 75 * rng.Next(), 80, rng.Next(), true});
  }
  const float bars[BORDERS][4] = {{left - cell, top - cell, 202 * cell, cell},
                                   {left - cell, top + 150 * cell, 202 * cell, cell},
                                   {left - cell, top, cell, 150 * cell},
                                   {left + 200 * cell, top, cell, 150 * cell}};
  for (const auto& bar : bars) list.push_back({nullptr, bar[0], bar[1], bar[2], bar[3], 0, 0, 200, 255, 1, false});
  return list;
}

// Replays the list as the game does: alpha, colour, blend per entry, then
// the device rectangle or the image about its handle.
void Replay(const std::vector<Entry>& list) {
  for (const Entry& e : list) {
    bb_graphics_SetAlpha(e.alpha);
    bb_graphics_SetColor(e.r, e.g, e.b);
    bb_graphics_SetBlend(0);
    if (e.additive) bb_graphics_SetBlend(1);
    if (e.image) {
      bb_graphics_DrawImage2(e.image, e.x, e.y, e.rotation, e.w, e.h, 0);
    } else {
      bb_graphics_context->p_Validate();
      bb_graphics_renderDevice->DrawRect(e.x, e.y, e.w, e.h);
    }
  }
}

void Frame(const std::vector<Entry>& list) {
  gxtkGraphics* device = bb_graphics_device;
  device->BeginRender();
  bb_graphics_BeginRender();
  Replay(list);
  bb_graphics_EndRender();
  device->EndRender();
  gxtk_gl::Finish();
}

void EnsureWindow(int width, int height) {
  TestGame& game = Game();
  if (game.window && game.GetDeviceWidth() == width && game.GetDeviceHeight() == height) return;
  game.OpenWindow(width, height);
  if (!bb_graphics_device) {
    bb_graphics_SetGraphicsDevice(new gxtkGraphics());
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  }
  MakeImages();
}

void BM_LateRoundFrame(benchmark::State& state) {
  int width = int(state.range(0)), height = int(state.range(1));
  EnsureWindow(width, height);
  bb_graphics_device->SetStateFilter(state.range(2) != 0);
  std::vector<Entry> list = LateRound(width, height);
  for (auto _ : state) Frame(list);
  state.counters["draw_calls"] = bb_graphics_device->DrawCalls();
  state.counters["entries"] = double(list.size());
  bb_graphics_device->SetStateFilter(true);
}
BENCHMARK(BM_LateRoundFrame)
    ->ArgNames({"w", "h", "filter"})
    ->Args({640, 480, 1})
    ->Args({640, 480, 0})
    ->Args({1280, 720, 1})
    ->Args({1280, 720, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void Screenshot(const std::string& dir, int width, int height) {
  EnsureWindow(width, height);
  Frame(LateRound(width, height));
  Array<int> argb(width * height);
  bb_graphics_device->ReadPixels(argb, 0, 0, width, height, 0, width);
  std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
  for (int i = 0; i < width * height; ++i) {
    unsigned p = unsigned(argb[i]);
    rgb[i * 3] = (p >> 16) & 255;
    rgb[i * 3 + 1] = (p >> 8) & 255;
    rgb[i * 3 + 2] = p & 255;
  }
  std::string path = dir + "/frame_" + std::to_string(width) + "x" + std::to_string(height) + ".png";
  stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshots;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    const char* flag = "--screenshot=";
    if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
      screenshots = argv[i] + std::strlen(flag);
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  benchmark::RunSpecifiedBenchmarks();
  if (!screenshots.empty()) {
    Screenshot(screenshots, 640, 480);
    Screenshot(screenshots, 1280, 720);
  }
  benchmark::Shutdown();
  return 0;
}
