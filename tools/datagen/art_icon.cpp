// The desktop icon: two light-cycle trails turning on the arena grid in a
// rounded tile, the menu's arena panel in small.
#include <algorithm>

#include "art.hpp"

namespace datagen {

namespace {

// The design's size in base units; smaller icons shrink it, larger ones
// draw it at a whole pixel scale.
constexpr int DESIGN = 64;
constexpr float GRID_STEP = 8;
// Below this size the grid lines would be thinner than a pixel and the
// glows would swallow the trails: small icons are drawn flat.
constexpr int SMALLEST_DETAIL = 64;

// A trail's head: a white diamond in the trail's glow.
Shape Head(Point p, float r) { return Shape::polygon({{p.x - r, p.y}, {p.x, p.y - r}, {p.x + r, p.y}, {p.x, p.y + r}}); }

}  // namespace

Sheet DrawDesktopIcon(int size) {
  const int scale = std::max(1, size / DESIGN);
  const int base = size / scale;
  const float k = float(base) / DESIGN;
  const Atlas atlas{base, base, 1, 1};
  Sheet sheet = atlas.makeSheet(scale);
  Frame f = atlas.frame(sheet, 0, scale);
  const bool detailed = size >= SMALLEST_DETAIL;
  auto glowing = [&](const Shape& s, Color body, Color glow) {
    if (detailed) return f.neon(s.scaled(0, 0, k), body, glow);
    f.fill(s.scaled(0, 0, k), body);
  };

  const Shape tile = Shape::roundRect(3, 3, 58, 58, 12);
  f.fill(tile.scaled(0, 0, k), Rgb(palette::DEEP));
  for (float p = GRID_STEP; detailed && p < DESIGN; p += GRID_STEP) {
    const Shape lines = Shape::segment({p, 0}, {p, DESIGN}, 0.5f) | Shape::segment({0, p}, {DESIGN, p}, 0.5f);
    f.fill(lines.within(tile).scaled(0, 0, k), WithAlpha(Rgb(palette::BLUE), 0.35f));
  }
  const Color cyan = Rgb(palette::CYAN), magenta = Rgb(palette::MAGENTA), white = Rgb(0xffffff);
  glowing(Polyline({{11, 46}, {26, 46}, {26, 20}, {44, 20}}, 3), cyan, cyan);
  glowing(Head({44, 20}, 5), white, cyan);
  glowing(Polyline({{53, 51}, {42, 51}, {42, 38}}, 3), magenta, magenta);
  glowing(Head({42, 38}, 5), white, magenta);
  glowing(tile.minus(tile.grown(-3)), cyan, cyan);
  return sheet;
}

}  // namespace datagen
