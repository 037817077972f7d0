#include <cmath>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

std::vector<ImageArt> AllImageArt() {
  std::vector<ImageArt> all;
  for (auto part : {InterfaceArt(), BrandArt(), SpriteArt(), BadgeArt(), FontArt()}) {
    for (ImageArt& art : part) all.push_back(std::move(art));
  }
  return all;
}

Color RiderColor(int rider) {
  // The ink table of the game, brightened a little for the glow.
  static const uint32_t INKS[8] = {0xff1a1a, 0xff801a, 0xffff1a, 0x1aff1a,
                                    0x1affff, 0x3a3aff, 0x801aff, 0xff1a80};
  return Rgb(INKS[(rider - 1) & 7]);
}

Shape RegularPolygon(float cx, float cy, float r, int sides, float turn) {
  std::vector<Point> pts;
  for (int i = 0; i < sides; ++i) {
    const float a = turn + TAU * i / sides;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return Shape::polygon(std::move(pts));
}

Shape StarShape(float cx, float cy, float inner, float outer, int points, float turn) {
  std::vector<Point> pts;
  for (int i = 0; i < points * 2; ++i) {
    const float a = turn + TAU * i / (points * 2);
    const float r = (i % 2 == 0) ? outer : inner;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return Shape::polygon(std::move(pts));
}

Shape GearShape(float cx, float cy, float r, float tooth, int teeth, float turn) {
  std::vector<Point> pts;
  const float step = TAU / teeth;
  for (int i = 0; i < teeth; ++i) {
    const float a = turn + step * i;
    // Root, flank up, tip, flank down: a trapezoid tooth per step.
    const float fractions[4] = {0.0f, 0.18f, 0.42f, 0.6f};
    const float radii[4] = {r, r + tooth, r + tooth, r};
    for (int k = 0; k < 4; ++k) {
      const float b = a + step * fractions[k];
      pts.push_back({cx + radii[k] * std::cos(b), cy + radii[k] * std::sin(b)});
    }
  }
  return Shape::polygon(std::move(pts));
}

Shape ArrowHead(float cx, float cy, float size, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  auto at = [&](float along, float across) {
    return Point{cx + along * c - across * s, cy + along * s + across * c};
  };
  return Shape::polygon({at(size, 0), at(-size * 0.6f, size * 0.9f), at(-size * 0.6f, -size * 0.9f)});
}

Shape Polyline(std::initializer_list<Point> pts, float hw) {
  const Point* p = pts.begin();
  Shape s = Shape::segment(p[0], p[1], hw);
  for (size_t k = 1; k + 1 < pts.size(); ++k) s = s | Shape::segment(p[k], p[k + 1], hw);
  return s;
}

Shape CentredText(const std::string& text, float cx, float cy, float unit) {
  const float w = TextWidth(text) * unit;
  return TextShape(text, cx - w * 0.5f, cy - CAP_HEIGHT * unit * 0.5f, unit);
}

}  // namespace datagen
