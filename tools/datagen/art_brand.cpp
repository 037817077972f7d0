// The maker's logo, the test card, the game's word-mark and the menu
// panels: the large pictures of the start-up, menu and credits screens.
#include <cmath>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

const Color WHITE = Rgb(0xffffff);

// A light-cycle trail: a neon line from (x0, y) to (x1, y) with a bright
// diamond head at x1.
void DrawTrail(Frame& f, float x0, float x1, float y, Color c) {
  f.neon(Shape::segment({x0, y}, {x1, y}, 1.5f), c, c);
  f.neon(Shape::polygon({{x1 - 5, y}, {x1, y - 5}, {x1 + 5, y}, {x1, y + 5}}), WHITE, c);
}

// ------------------------------------------------------------ maker's logo (256 × 256)

void DrawMakerLogo(Frame& f, int) {
  f.fill(Shape::disc(128, 128, 119), Rgb(palette::DEEP));
  f.neon(Shape::ring(128, 128, 115, 3), Rgb(palette::MAGENTA), Rgb(palette::MAGENTA));
  f.fill(Shape::ring(128, 128, 104, 0.75f), WithAlpha(Rgb(palette::CYAN), 0.6f));
  f.neon(CentredText("ZAWK", 128, 114, 7), Rgb(palette::YELLOW), Rgb(palette::ORANGE));
  DrawTrail(f, 44, 168, 162.5f, Rgb(palette::CYAN));
  DrawTrail(f, 86, 206, 176.5f, Rgb(palette::MAGENTA));
  f.neon(StarShape(128, 58, 4, 11, 4, 0), WHITE, Rgb(palette::CYAN));
}

// ------------------------------------------------------------ test card (256 × 256)

void DrawTestCard(Frame& f, int) {
  const Shape face = Shape::disc(128, 128, 123);
  f.fill(Shape::disc(128, 128, 126), Rgb(0x000000));
  f.fill(face, Rgb(0x7f7f7f));
  for (int k = 0; k <= 16; ++k) {
    const float p = k * 16 + 0.5f;
    f.fill(Shape::segment({p, 0}, {p, 256}, 0.5f).within(face), Rgb(0xe8e8e8));
    f.fill(Shape::segment({0, p}, {256, p}, 0.5f).within(face), Rgb(0xe8e8e8));
  }
  f.fill(Shape::rect(64, 54, 128, 26), Rgb(0x000000));
  f.fill(CentredText("ZEPHRINE", 128, 67, 2), WHITE);
  const uint32_t bars[8] = {0xffffff, 0xffff00, 0x00ffff, 0x00ff00, 0xff00ff, 0xff0000, 0x0000ff, 0x000000};
  for (int k = 0; k < 8; ++k) {
    f.fill(Shape::rect(40 + 22 * k, 84, 22, 40), Rgb(bars[k]));
    const int grey = k * 255 / 7;
    f.fill(Shape::rect(40 + 22 * k, 124, 22, 26), Rgb(grey * 0x010101));
  }
  const int periods[4] = {8, 6, 4, 2};
  for (int b = 0; b < 4; ++b) {
    const float x0 = 40 + 44 * b;
    f.fill(Shape::rect(x0, 154, 44, 24), Rgb(0x000000));
    for (float x = x0; x + periods[b] / 2 <= x0 + 44; x += periods[b]) {
      f.fill(Shape::rect(x, 154, periods[b] / 2.0f, 24), WHITE);
    }
  }
  f.fill(Shape::rect(88, 182, 80, 22), Rgb(0x000000));
  f.fill(CentredText("640x480", 128, 193, 1), WHITE);
  f.fill(Shape::ring(128, 128, 72, 0.75f), WHITE);
  f.fill(Shape::segment({128, 20}, {128, 236}, 0.5f) | Shape::segment({20, 128}, {236, 128}, 0.5f), WHITE);
  f.fill(Shape::ring(128, 128, 123, 1.5f), WHITE);
}

// ------------------------------------------------------------ word-mark (256 × 128)

void DrawWordMark(Frame& f, int) {
  const std::string name = "Zephrine";
  f.fill(CentredText(name, 131, 55, 4), WithAlpha(Rgb(palette::MAGENTA), 0.55f));
  f.neon(CentredText(name, 128, 52, 4), Rgb(0x9ffbff), Rgb(palette::CYAN));
  for (int k = 0; k < 4; ++k) {
    f.fill(Shape::rect(10 + 8 * k, 96, 5, 3), WithAlpha(Rgb(palette::MAGENTA), 0.25f + 0.15f * k));
  }
  f.neon(Shape::segment({44, 97.5f}, {214, 97.5f}, 1.5f), Rgb(palette::MAGENTA), Rgb(palette::MAGENTA));
  f.neon(Shape::polygon({{214, 92}, {226, 97.5f}, {214, 103}}), WHITE, Rgb(palette::MAGENTA));
}

// ------------------------------------------------------------ menu panels (256 × 256)

void DrawPanelFrame(Frame& f, Color c) {
  const Shape panel = Shape::roundRect(6, 6, 244, 244, 18);
  f.fill(panel, Rgb(palette::DEEP));
  for (int k = 1; k < 16; ++k) {
    const float p = k * 16 + 0.5f;
    f.fill(Shape::segment({p, 8}, {p, 248}, 0.5f).within(panel), WithAlpha(Rgb(0x3050ff), 0.35f));
    f.fill(Shape::segment({8, p}, {248, p}, 0.5f).within(panel), WithAlpha(Rgb(0x3050ff), 0.35f));
  }
  f.neon(panel.minus(panel.grown(-3)), c, c);
}

void DrawArenaPanel(Frame& f) {
  DrawPanelFrame(f, Rgb(palette::CYAN));
  f.neon(Polyline({{32, 48}, {120, 48}, {120, 112}, {200, 112}}, 2), RiderColor(1), RiderColor(1));
  f.neon(Polyline({{224, 208}, {160, 208}, {160, 160}, {96, 160}, {96, 80}}, 2), RiderColor(5), RiderColor(5));
  f.neon(Polyline({{40, 224}, {40, 176}, {64, 176}}, 2), RiderColor(3), RiderColor(3));
  f.neon(Polyline({{216, 32}, {216, 80}, {176, 80}}, 2), RiderColor(7), RiderColor(7));
  for (const Point p : {Point{200, 112}, Point{96, 80}, Point{64, 176}, Point{176, 80}}) {
    f.fill(Shape::rect(p.x - 3, p.y - 3, 6, 6), WHITE);
  }
}

void DrawCyclePanel(Frame& f) {
  DrawPanelFrame(f, Rgb(palette::MAGENTA));
  const Color c = Rgb(palette::CYAN);
  f.neon(Shape::segment({14, 160.5f}, {48, 160.5f}, 3), WithAlpha(c, 0.9f), c);
  // A long, low cycle whose shell covers the top of both wheels.
  const Shape shell = Shape::polygon({{36, 168}, {44, 140}, {78, 126}, {112, 122}, {132, 104}, {168, 104},
                                      {204, 124}, {226, 146}, {230, 168}, {212, 150}, {184, 140}, {156, 142},
                                      {100, 146}, {72, 140}, {52, 150}});
  f.neon(shell, Rgb(0x0a1a6a), c);
  f.fill(shell.grown(-3), Rgb(0x0a1a6a));
  f.neon(Shape::polygon({{136, 110}, {166, 110}, {190, 126}, {140, 126}}), Rgb(0x7ff9ff), c);
  f.neon(Shape::segment({60, 136}, {120, 132}, 1.5f), Rgb(palette::MAGENTA), Rgb(palette::MAGENTA));
  for (const float x : {72.0f, 190.0f}) {
    f.neon(Shape::ring(x, 168, 26, 4), c, c);
    f.fill(Shape::disc(x, 168, 18), Rgb(palette::DEEP));
    f.neon(Shape::ring(x, 168, 9, 1.5f), WHITE, c);
  }
  f.neon(Shape::segment({20, 198.5f}, {236, 198.5f}, 1), Rgb(palette::MAGENTA), Rgb(palette::MAGENTA));
}

void DrawCrashPanel(Frame& f) {
  DrawPanelFrame(f, Rgb(palette::ORANGE));
  f.neon(StarShape(128, 128, 34, 92, 11, 0.2f), Rgb(palette::ORANGE), Rgb(palette::RED));
  f.neon(StarShape(128, 128, 20, 54, 9, 0.5f), Rgb(palette::YELLOW), Rgb(palette::ORANGE));
  f.fill(Shape::disc(128, 128, 16), WHITE);
  for (int k = 0; k < 14; ++k) {
    const float a = TAU * k / 14 + 0.1f;
    const float r = 100 + 10 * (k % 3);
    f.fill(Shape::rect(128 + r * std::cos(a) - 2, 128 + r * std::sin(a) - 2, 4, 4), Rgb(palette::YELLOW));
  }
}

void DrawTrophyPanel(Frame& f) {
  DrawPanelFrame(f, Rgb(palette::YELLOW));
  const Shape cup = Shape::polygon({{78, 48}, {178, 48}, {170, 110}, {146, 134}, {138, 164}, {160, 178}, {160, 196},
                                    {96, 196}, {96, 178}, {118, 164}, {110, 134}, {86, 110}}) |
                    Shape::ring(76, 76, 20, 5).minus(Shape::rect(80, 40, 100, 100)) |
                    Shape::ring(180, 76, 20, 5).minus(Shape::rect(76, 40, 100, 100));
  f.neon(cup, Rgb(palette::YELLOW), Rgb(palette::ORANGE));
  f.fill(CentredText("1", 128, 84, 4), Rgb(palette::DEEP));
  for (const Point p : {Point{40, 40}, Point{214, 52}, Point{46, 200}, Point{210, 208}}) {
    f.neon(StarShape(p.x, p.y, 3, 9, 4, 0), WHITE, Rgb(palette::YELLOW));
  }
}

void DrawMenuPanel(Frame& f, int index) {
  switch (index) {
    case 0: return DrawArenaPanel(f);
    case 1: return DrawCyclePanel(f);
    case 2: return DrawCrashPanel(f);
    default: return DrawTrophyPanel(f);
  }
}

}  // namespace

std::vector<ImageArt> BrandArt() {
  return {
      {"common/ZAWKLogo", {256, 256, 1, 1}, true, DrawMakerLogo},
      {"common/Testcard_Circle", {256, 256, 1, 1}, true, DrawTestCard},
      {"menu", {256, 256, 4, 2}, true, DrawMenuPanel},
      {"logo", {256, 128, 1, 1}, true, DrawWordMark},
  };
}

}  // namespace datagen
