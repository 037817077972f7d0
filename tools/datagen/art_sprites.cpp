// Small sprites: the sparkles and stars of the arena background and crash
// sparks (tinted by the game, so drawn in greys), and the badge emblems.
#include <cmath>
#include <string>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

// ------------------------------------------------------------ sparkles (8 × 8)

// 256 variations: four families (dots, four-point sparkles, diagonal
// sparkles, diamonds and rings) of 64, each stepping through size,
// brightness and angle so that a random pick gives a lively star field.
void drawSparkle(Frame& f, int index) {
  const int family = index / 64, k = index % 64;
  const int size = k % 4;
  const float grey = 0.55f + 0.15f * ((k / 4) % 4);
  const float turn = (k / 16) * kTau / 32;
  const Color body{grey, grey, grey, 1.0f};
  const Color halo{grey, grey, grey, 0.3f};
  Shape s = Shape::disc(4, 4, 0.8f + 0.45f * size);
  switch (family) {
    case 1: s = starShape(4, 4, 0.55f, 1.9f + 0.6f * size, 4, turn) | Shape::disc(4, 4, 0.8f); break;
    case 2: s = starShape(4, 4, 0.55f, 1.9f + 0.6f * size, 4, kTau / 8 + turn) | Shape::disc(4, 4, 0.8f); break;
    case 3:
      s = (size % 2 == 0) ? regularPolygon(4, 4, 1.6f + 0.5f * size, 4, turn)
                          : Shape::ring(4, 4, 1.2f + 0.5f * size, 0.5f) | Shape::disc(4, 4, 0.5f);
      break;
    default: break;
  }
  f.bands(s, {{1.0f, halo}, {0.0f, body}, {-0.6f, rgb(0xffffff)}});
}

// ------------------------------------------------------------ badges (64 × 64)

Shape badgeOutline(int style) {
  switch (style) {
    case 0: return Shape::disc(32, 32, 27);
    case 1: return regularPolygon(32, 32, 28, 6, kTau / 12);
    case 2: return Shape::polygon({{8, 7}, {56, 7}, {56, 32}, {32, 58}, {8, 32}});
    default: return regularPolygon(32, 32, 28, 8, kTau / 16);
  }
}

Shape badgeSymbol(int symbol, int rank) {
  switch (symbol) {
    case 0: return starShape(32, 33, 6, 15, 5, -kTau / 4);
    case 1: return Shape::polygon({{35, 12}, {21, 34}, {30, 34}, {27, 52}, {43, 28}, {34, 28}, {39, 12}});
    case 2: {
      Shape s = Shape::polygon({{18, 26}, {32, 16}, {46, 26}, {46, 31}, {32, 21}, {18, 31}});
      const Shape one = s;
      const int extra = rank % 3;
      for (int k = 1; k <= extra; ++k) s = s | one.translated(0, 9.0f * k);
      return s.translated(0, 6 - 4.5f * extra);
    }
    case 3: return Shape::polygon({{16, 42}, {16, 22}, {24, 30}, {32, 17}, {40, 30}, {48, 22}, {48, 42}});
    case 4: return centredText(std::to_string(rank + 2), 32, 32, 4);
    case 5: {
      const Point p[] = {{18, 42}, {18, 30}, {28, 30}, {28, 20}, {40, 20}, {40, 36}, {48, 36}};
      Shape s = Shape::segment(p[0], p[1], 2);
      for (int k = 1; k < 6; ++k) s = s | Shape::segment(p[k], p[k + 1], 2);
      return s;
    }
    case 6:
      return Shape::ring(32, 32, 12, 2) | Shape::disc(32, 32, 3) | Shape::rect(31, 12, 2, 8) |
             Shape::rect(31, 44, 2, 8) | Shape::rect(12, 31, 8, 2) | Shape::rect(44, 31, 8, 2);
    default: return gearShape(32, 32, 10, 4, 8, 0).minus(Shape::disc(32, 32, 4));
  }
}

void drawBadge(Frame& f, int index) {
  static const uint32_t kRowColours[8] = {palette::kCyan,   palette::kMagenta, palette::kYellow, palette::kGreen,
                                          palette::kOrange, palette::kBlue,    palette::kRed,    palette::kPurple};
  const int row = index / 8;
  const Color c = rgb(kRowColours[row]);
  const Shape outline = badgeOutline(index == 0 ? 1 : row % 4);
  f.fill(outline, rgb(0x00073f));
  f.neon(outline.minus(outline.grown(-3)), c, c);
  const Color light = mix(c, rgb(0xffffff), 0.45f);
  if (index == 0) {  // the test badge: a T with a tick
    f.neon(centredText("T", 27, 30, 4), light, c);
    f.neon(Shape::segment({34, 38}, {39, 43}, 2) | Shape::segment({39, 43}, {48, 31}, 2), rgb(palette::kGreen),
           rgb(palette::kGreen));
    return;
  }
  // The shield narrows to a point: its symbols sit higher and smaller.
  const bool shield = row % 4 == 2;
  const Shape symbol = badgeSymbol(index % 8, row);
  f.neon(shield ? symbol.scaled(32, 32, 0.75f).translated(0, -3) : symbol, light, c);
}

}  // namespace

std::vector<ImageArt> spriteArt() {
  return {
      {"parts", {8, 8, 256, 16}, true, drawSparkle},
      {"BadgesA", {64, 64, 64, 8}, true, drawBadge},
  };
}

}  // namespace datagen
