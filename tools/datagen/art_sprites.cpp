// Small sprites: the sparkles and stars of the arena background and crash
// sparks (tinted by the game, so drawn in greys).
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
void DrawSparkle(Frame& f, int index) {
  const int family = index / 64, k = index % 64;
  const int size = k % 4;
  const float grey = 0.55f + 0.15f * ((k / 4) % 4);
  const float turn = (k / 16) * TAU / 32;
  const Color body{grey, grey, grey, 1.0f};
  const Color halo{grey, grey, grey, 0.3f};
  Shape s = Shape::disc(4, 4, 0.8f + 0.45f * size);
  switch (family) {
    case 1: s = StarShape(4, 4, 0.55f, 1.9f + 0.6f * size, 4, turn) | Shape::disc(4, 4, 0.8f); break;
    case 2: s = StarShape(4, 4, 0.55f, 1.9f + 0.6f * size, 4, TAU / 8 + turn) | Shape::disc(4, 4, 0.8f); break;
    case 3:
      s = (size % 2 == 0) ? RegularPolygon(4, 4, 1.6f + 0.5f * size, 4, turn)
                          : Shape::ring(4, 4, 1.2f + 0.5f * size, 0.5f) | Shape::disc(4, 4, 0.5f);
      break;
    default: break;
  }
  f.bands(s, {{1.0f, halo}, {0.0f, body}, {-0.6f, Rgb(0xffffff)}});
}

}  // namespace

std::vector<ImageArt> SpriteArt() {
  return {
      {"parts", {8, 8, 256, 16}, true, DrawSparkle},
  };
}

}  // namespace datagen
