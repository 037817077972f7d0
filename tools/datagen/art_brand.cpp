// The maker's logo, the test card, the game's word-mark and the menu
// panels: the large pictures of the start-up, menu and credits screens.
#include <cmath>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

const Color kWhite = rgb(0xffffff);

// A light-cycle trail: a neon line from (x0, y) to (x1, y) with a bright
// diamond head at x1.
void drawTrail(Frame& f, float x0, float x1, float y, Color c) {
  f.neon(Shape::segment({x0, y}, {x1, y}, 1.5f), c, c);
  f.neon(Shape::polygon({{x1 - 5, y}, {x1, y - 5}, {x1 + 5, y}, {x1, y + 5}}), kWhite, c);
}

// ------------------------------------------------------------ maker's logo (256 × 256)

void drawMakerLogo(Frame& f, int) {
  f.fill(Shape::disc(128, 128, 119), rgb(palette::kDeep));
  f.neon(Shape::ring(128, 128, 115, 3), rgb(palette::kMagenta), rgb(palette::kMagenta));
  f.fill(Shape::ring(128, 128, 104, 0.75f), withAlpha(rgb(palette::kCyan), 0.6f));
  f.neon(centredText("ZAWK", 128, 114, 7), rgb(palette::kYellow), rgb(palette::kOrange));
  drawTrail(f, 44, 168, 162.5f, rgb(palette::kCyan));
  drawTrail(f, 86, 206, 176.5f, rgb(palette::kMagenta));
  f.neon(starShape(128, 58, 4, 11, 4, 0), kWhite, rgb(palette::kCyan));
}

// ------------------------------------------------------------ test card (256 × 256)

void drawTestCard(Frame& f, int) {
  const Shape face = Shape::disc(128, 128, 123);
  f.fill(Shape::disc(128, 128, 126), rgb(0x000000));
  f.fill(face, rgb(0x7f7f7f));
  for (int k = 0; k <= 16; ++k) {
    const float p = k * 16 + 0.5f;
    f.fill(Shape::segment({p, 0}, {p, 256}, 0.5f).within(face), rgb(0xe8e8e8));
    f.fill(Shape::segment({0, p}, {256, p}, 0.5f).within(face), rgb(0xe8e8e8));
  }
  f.fill(Shape::rect(64, 54, 128, 26), rgb(0x000000));
  f.fill(centredText("ZEPHRINE", 128, 67, 2), kWhite);
  const uint32_t bars[8] = {0xffffff, 0xffff00, 0x00ffff, 0x00ff00, 0xff00ff, 0xff0000, 0x0000ff, 0x000000};
  for (int k = 0; k < 8; ++k) {
    f.fill(Shape::rect(40 + 22 * k, 84, 22, 40), rgb(bars[k]));
    const int grey = k * 255 / 7;
    f.fill(Shape::rect(40 + 22 * k, 124, 22, 26), rgb(grey * 0x010101));
  }
  const int periods[4] = {8, 6, 4, 2};
  for (int b = 0; b < 4; ++b) {
    const float x0 = 40 + 44 * b;
    f.fill(Shape::rect(x0, 154, 44, 24), rgb(0x000000));
    for (float x = x0; x + periods[b] / 2 <= x0 + 44; x += periods[b]) {
      f.fill(Shape::rect(x, 154, periods[b] / 2.0f, 24), kWhite);
    }
  }
  f.fill(Shape::rect(88, 182, 80, 22), rgb(0x000000));
  f.fill(centredText("640x480", 128, 193, 1), kWhite);
  f.fill(Shape::ring(128, 128, 72, 0.75f), kWhite);
  f.fill(Shape::segment({128, 20}, {128, 236}, 0.5f) | Shape::segment({20, 128}, {236, 128}, 0.5f), kWhite);
  f.fill(Shape::ring(128, 128, 123, 1.5f), kWhite);
}

// ------------------------------------------------------------ word-mark (256 × 128)

void drawWordMark(Frame& f, int) {
  const std::string name = "Zephrine";
  f.fill(centredText(name, 131, 55, 4), withAlpha(rgb(palette::kMagenta), 0.55f));
  f.neon(centredText(name, 128, 52, 4), rgb(0x9ffbff), rgb(palette::kCyan));
  for (int k = 0; k < 4; ++k) {
    f.fill(Shape::rect(10 + 8 * k, 96, 5, 3), withAlpha(rgb(palette::kMagenta), 0.25f + 0.15f * k));
  }
  f.neon(Shape::segment({44, 97.5f}, {214, 97.5f}, 1.5f), rgb(palette::kMagenta), rgb(palette::kMagenta));
  f.neon(Shape::polygon({{214, 92}, {226, 97.5f}, {214, 103}}), kWhite, rgb(palette::kMagenta));
}

// ------------------------------------------------------------ menu panels (256 × 256)

void drawPanelFrame(Frame& f, Color c) {
  const Shape panel = Shape::roundRect(6, 6, 244, 244, 18);
  f.fill(panel, rgb(palette::kDeep));
  for (int k = 1; k < 16; ++k) {
    const float p = k * 16 + 0.5f;
    f.fill(Shape::segment({p, 8}, {p, 248}, 0.5f).within(panel), withAlpha(rgb(0x3050ff), 0.35f));
    f.fill(Shape::segment({8, p}, {248, p}, 0.5f).within(panel), withAlpha(rgb(0x3050ff), 0.35f));
  }
  f.neon(panel.minus(panel.grown(-3)), c, c);
}

void drawArenaPanel(Frame& f) {
  drawPanelFrame(f, rgb(palette::kCyan));
  f.neon(polyline({{32, 48}, {120, 48}, {120, 112}, {200, 112}}, 2), riderColor(1), riderColor(1));
  f.neon(polyline({{224, 208}, {160, 208}, {160, 160}, {96, 160}, {96, 80}}, 2), riderColor(5), riderColor(5));
  f.neon(polyline({{40, 224}, {40, 176}, {64, 176}}, 2), riderColor(3), riderColor(3));
  f.neon(polyline({{216, 32}, {216, 80}, {176, 80}}, 2), riderColor(7), riderColor(7));
  for (const Point p : {Point{200, 112}, Point{96, 80}, Point{64, 176}, Point{176, 80}}) {
    f.fill(Shape::rect(p.x - 3, p.y - 3, 6, 6), kWhite);
  }
}

void drawCyclePanel(Frame& f) {
  drawPanelFrame(f, rgb(palette::kMagenta));
  const Color c = rgb(palette::kCyan);
  f.neon(Shape::segment({14, 160.5f}, {48, 160.5f}, 3), withAlpha(c, 0.9f), c);
  // A long, low cycle whose shell covers the top of both wheels.
  const Shape shell = Shape::polygon({{36, 168}, {44, 140}, {78, 126}, {112, 122}, {132, 104}, {168, 104},
                                      {204, 124}, {226, 146}, {230, 168}, {212, 150}, {184, 140}, {156, 142},
                                      {100, 146}, {72, 140}, {52, 150}});
  f.neon(shell, rgb(0x0a1a6a), c);
  f.fill(shell.grown(-3), rgb(0x0a1a6a));
  f.neon(Shape::polygon({{136, 110}, {166, 110}, {190, 126}, {140, 126}}), rgb(0x7ff9ff), c);
  f.neon(Shape::segment({60, 136}, {120, 132}, 1.5f), rgb(palette::kMagenta), rgb(palette::kMagenta));
  for (const float x : {72.0f, 190.0f}) {
    f.neon(Shape::ring(x, 168, 26, 4), c, c);
    f.fill(Shape::disc(x, 168, 18), rgb(palette::kDeep));
    f.neon(Shape::ring(x, 168, 9, 1.5f), kWhite, c);
  }
  f.neon(Shape::segment({20, 198.5f}, {236, 198.5f}, 1), rgb(palette::kMagenta), rgb(palette::kMagenta));
}

void drawCrashPanel(Frame& f) {
  drawPanelFrame(f, rgb(palette::kOrange));
  f.neon(starShape(128, 128, 34, 92, 11, 0.2f), rgb(palette::kOrange), rgb(palette::kRed));
  f.neon(starShape(128, 128, 20, 54, 9, 0.5f), rgb(palette::kYellow), rgb(palette::kOrange));
  f.fill(Shape::disc(128, 128, 16), kWhite);
  for (int k = 0; k < 14; ++k) {
    const float a = kTau * k / 14 + 0.1f;
    const float r = 100 + 10 * (k % 3);
    f.fill(Shape::rect(128 + r * std::cos(a) - 2, 128 + r * std::sin(a) - 2, 4, 4), rgb(palette::kYellow));
  }
}

void drawTrophyPanel(Frame& f) {
  drawPanelFrame(f, rgb(palette::kYellow));
  const Shape cup = Shape::polygon({{78, 48}, {178, 48}, {170, 110}, {146, 134}, {138, 164}, {160, 178}, {160, 196},
                                    {96, 196}, {96, 178}, {118, 164}, {110, 134}, {86, 110}}) |
                    Shape::ring(76, 76, 20, 5).minus(Shape::rect(80, 40, 100, 100)) |
                    Shape::ring(180, 76, 20, 5).minus(Shape::rect(76, 40, 100, 100));
  f.neon(cup, rgb(palette::kYellow), rgb(palette::kOrange));
  f.fill(centredText("1", 128, 84, 4), rgb(palette::kDeep));
  for (const Point p : {Point{40, 40}, Point{214, 52}, Point{46, 200}, Point{210, 208}}) {
    f.neon(starShape(p.x, p.y, 3, 9, 4, 0), kWhite, rgb(palette::kYellow));
  }
}

void drawMenuPanel(Frame& f, int index) {
  switch (index) {
    case 0: return drawArenaPanel(f);
    case 1: return drawCyclePanel(f);
    case 2: return drawCrashPanel(f);
    default: return drawTrophyPanel(f);
  }
}

}  // namespace

std::vector<ImageArt> brandArt() {
  return {
      {"common/ZAWKLogo", {256, 256, 1, 1}, true, drawMakerLogo},
      {"common/Testcard_Circle", {256, 256, 1, 1}, true, drawTestCard},
      {"menu", {256, 256, 4, 2}, true, drawMenuPanel},
      {"logo", {256, 128, 1, 1}, true, drawWordMark},
  };
}

}  // namespace datagen
