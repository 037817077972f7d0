// Icons, menu buttons and the on-screen pad. Pictures that the game tints
// (icons, pad pieces) are drawn in white and greys so the tint decides
// their colour.
#include <cmath>
#include <string>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

const Color WHITE = Rgb(0xffffff);

// ------------------------------------------------------------ icons (32 × 32)

Shape SpeakerShape() {
  return Shape::polygon({{7, 13}, {11, 13}, {16, 8}, {16, 24}, {11, 19}, {7, 19}});
}

Shape IconSymbol(int index) {
  switch (index) {
    case 0:  // pause
      return Shape::roundRect(10, 9, 4, 14, 1) | Shape::roundRect(18, 9, 4, 14, 1);
    case 1:  // quit
      return Shape::segment({10.5f, 10.5f}, {21.5f, 21.5f}, 2) | Shape::segment({21.5f, 10.5f}, {10.5f, 21.5f}, 2);
    case 2:  // settings
      return GearShape(16, 16, 7, 3, 8, 0).minus(Shape::disc(16, 16, 3));
    case 3:  // play / resume
      return Shape::polygon({{12, 8.5f}, {12, 23.5f}, {24, 16}});
    case 4:  // back
      return ArrowHead(11, 16, 5, TAU / 2) | Shape::rect(11, 14, 11, 4);
    case 5:  // confirm tick
      return Shape::segment({9.5f, 16.5f}, {14, 21}, 2) | Shape::segment({14, 21}, {22.5f, 11}, 2);
    case 7:  // sound on
      return SpeakerShape() | Shape::arc(16, 16, 5, -0.9f, 0.9f, 1) | Shape::arc(16, 16, 9, -0.9f, 0.9f, 1);
    case 8:  // sound off
      return SpeakerShape() | Shape::segment({19.5f, 12.5f}, {25.5f, 19.5f}, 1.2f) |
             Shape::segment({25.5f, 12.5f}, {19.5f, 19.5f}, 1.2f);
    case 9:  // music
      return Shape::disc(12, 21, 3.5f) | Shape::rect(14, 8, 2, 13) |
             Shape::polygon({{14, 8}, {23, 6}, {23, 10}, {16, 12}}) | Shape::disc(21, 19, 3.5f) |
             Shape::rect(22.5f, 7, 2, 12);
    case 10: {  // full screen: four corner brackets
      Shape s = Shape::rect(8, 8, 6, 2) | Shape::rect(8, 8, 2, 6);
      s = s | Shape::rect(18, 8, 6, 2) | Shape::rect(22, 8, 2, 6);
      s = s | Shape::rect(8, 22, 6, 2) | Shape::rect(8, 18, 2, 6);
      return s | Shape::rect(18, 22, 6, 2) | Shape::rect(22, 18, 2, 6);
    }
    case 11:  // window
      return Shape::rect(8, 9, 16, 14).minus(Shape::rect(10, 13, 12, 8));
    case 12:  // trophy
      return Shape::polygon({{10, 8}, {22, 8}, {20, 16}, {17, 18}, {17, 21}, {20, 23}, {12, 23}, {15, 21},
                             {15, 18}, {12, 16}}) |
             Shape::ring(10, 11, 2.5f, 0.8f) | Shape::ring(22, 11, 2.5f, 0.8f);
    case 13:  // star
      return StarShape(16, 16.5f, 4, 9.5f, 5, -TAU / 4);
    case 14:  // speed
      return Shape::polygon({{18, 6}, {10, 17}, {15, 17}, {13, 26}, {22, 14}, {17, 14}, {20, 6}});
    case 15:  // light cycle
      return Shape::ring(10, 20, 3.5f, 1) | Shape::ring(22, 20, 3.5f, 1) |
             Shape::polygon({{10, 17}, {14, 12}, {20, 12}, {24, 17}, {20, 16}, {12, 16}});
    default:
      return Shape::empty();
  }
}

void DrawIcon(Frame& f, int index) {
  if (index == 6) {  // selection ring around a round button
    f.fill(Shape::ring(16, 16, 14, 1.5f), WHITE);
    f.fill(Shape::ring(16, 16, 11.5f, 0.5f), WithAlpha(WHITE, 0.5f));
    for (int k = 0; k < 4; ++k) {
      const float a = TAU * (k + 0.5f) / 4;
      f.fill(ArrowHead(16 + 10 * std::cos(a), 16 + 10 * std::sin(a), 2.5f, a + TAU / 2), WHITE);
    }
    return;
  }
  f.fill(Shape::disc(16, 16, 14), WithAlpha(WHITE, 0.25f));
  f.fill(Shape::ring(16, 16, 13.5f, 1), WithAlpha(WHITE, 0.85f));
  f.fill(IconSymbol(index), WHITE);
}

// ------------------------------------------------------------ buttons (64 × 64)

void DrawRiderEntry(Frame& f, int riders) {
  const Color ring = RiderColor(riders);
  f.fill(Shape::disc(32, 32, 28), Rgb(0x00073f));
  f.fill(Shape::disc(32, 32, 24), Rgb(palette::NIGHT));
  f.neon(Shape::ring(32, 32, 27, 1.5f), ring, ring);
  f.neon(CentredText(std::to_string(riders), 32, 31.5f, 3), Rgb(0xffffff), ring);
  for (int k = 0; k < riders; ++k) {
    const float a = -TAU / 4 + TAU * k / riders;
    const Color c = RiderColor(k + 1);
    f.bands(Shape::disc(32 + 20.5f * std::cos(a), 32 + 20.5f * std::sin(a), 2),
            {{1.0f, WithAlpha(c, 0.35f)}, {0.0f, c}, {-1.0f, Mix(c, WHITE, 0.6f)}});
  }
}

void DrawGearLayer(Frame& f, int layer) {
  if (layer == 0) {
    const Shape outer = GearShape(32, 32, 23, 5, 14, 0).minus(Shape::disc(32, 32, 19.5f));
    f.neon(outer, Rgb(0x68d8ff), Rgb(palette::CYAN));
  } else if (layer == 1) {
    Shape wheel = Shape::disc(32, 32, 17).minus(Shape::disc(32, 32, 9.5f));
    for (int k = 0; k < 6; ++k) {
      const float a = TAU * k / 6;
      wheel = wheel.minus(Shape::disc(32 + 13.5f * std::cos(a), 32 + 13.5f * std::sin(a), 2.2f));
    }
    f.neon(wheel, Rgb(0xff5ad8), Rgb(palette::MAGENTA));
  } else {
    f.neon(GearShape(32, 32, 5.5f, 2.5f, 8, 0).minus(Shape::disc(32, 32, 2)), Rgb(palette::YELLOW),
           Rgb(palette::ORANGE));
  }
}

void DrawGamepad(Frame& f) {
  const Shape body = Shape::roundRect(8, 20, 48, 22, 9) | Shape::disc(16, 41, 8) | Shape::disc(48, 41, 8);
  f.neon(body, Rgb(palette::CYAN), Rgb(palette::CYAN));
  f.fill(body.grown(-2), Rgb(0x00073f));
  f.fill(Shape::rect(14, 29, 10, 4) | Shape::rect(17, 26, 4, 10), Rgb(0xffffff));
  const uint32_t faces[4] = {palette::GREEN, palette::RED, palette::BLUE, palette::YELLOW};
  const Point at[4] = {{44, 35}, {48.5f, 30.5f}, {39.5f, 30.5f}, {44, 26}};
  for (int k = 0; k < 4; ++k) f.fill(Shape::disc(at[k].x, at[k].y, 2.5f), Rgb(faces[k]));
  f.fill(Shape::roundRect(28, 27, 3, 2, 1) | Shape::roundRect(33, 27, 3, 2, 1), Rgb(0xb0b0ff));
}

void DrawKeyboard(Frame& f) {
  const Shape body = Shape::roundRect(6, 20, 52, 26, 4);
  f.neon(body, Rgb(palette::GREEN), Rgb(palette::GREEN));
  f.fill(body.grown(-2), Rgb(0x00073f));
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 7; ++col) {
      f.fill(Shape::roundRect(10 + col * 6.5f + (row == 1 ? 2 : 0), 24 + row * 6, 5, 4.5f, 1), Rgb(0xd0ffd8));
    }
  }
  f.fill(Shape::roundRect(18, 41, 28, 3, 1), Rgb(0xd0ffd8));
}

void DrawRoundSymbol(Frame& f, const Shape& symbol, Color c) {
  f.fill(Shape::disc(32, 32, 28), Rgb(0x00073f));
  f.neon(Shape::ring(32, 32, 27, 1.5f), c, c);
  f.neon(symbol, Mix(c, WHITE, 0.3f), c);
}

Shape TrailSquiggle() {
  const Point p[] = {{14, 40}, {24, 40}, {24, 24}, {38, 24}, {38, 44}, {50, 44}, {50, 30}};
  Shape s = Shape::segment(p[0], p[1], 1.5f);
  for (int k = 1; k + 1 < 7; ++k) s = s | Shape::segment(p[k], p[k + 1], 1.5f);
  return s;
}

void DrawButton(Frame& f, int index) {
  if (index <= 6) return DrawRiderEntry(f, 8 - index);
  switch (index) {
    case 7: return DrawRoundSymbol(f, TrailSquiggle(), Rgb(palette::CYAN));
    case 8: case 9: case 10: return DrawGearLayer(f, index - 8);
    case 11: return DrawRoundSymbol(f, StarShape(32, 33, 7, 16, 5, -TAU / 4), Rgb(palette::YELLOW));
    case 12: return DrawGamepad(f);
    case 13: return DrawKeyboard(f);
    case 14:
      return DrawRoundSymbol(f, Shape::polygon({{36, 12}, {20, 34}, {30, 34}, {26, 52}, {44, 28}, {34, 28}, {40, 12}}),
                             Rgb(palette::ORANGE));
    default:
      return DrawRoundSymbol(f, Shape::ring(32, 32, 12, 2) | Shape::disc(32, 32, 4), Rgb(palette::PURPLE));
  }
}

// ------------------------------------------------------------ on-screen pad (32 × 32)

Shape LetterHole(char letter, float cx, float cy, float unit) {
  const GlyphDesign g = MiniGlyph(letter);
  return GlyphShape(g, cx - g.width * unit * 0.5f, cy - 2.5f * unit, unit);
}

void DrawPadPiece(Frame& f, int index) {
  const Color dim = WithAlpha(WHITE, 0.3f);
  if (index <= 3) {  // direction keys: up, right, down, left
    const Shape key = Shape::roundRect(3, 3, 26, 26, 6);
    f.fill(key, dim);
    f.fill(key.minus(key.grown(-1.5f)), WHITE);
    f.fill(ArrowHead(16, 16, 8, TAU / 4 * (index + 3)), WHITE);
    return;
  }
  if (index >= 5 && index <= 8) {  // face buttons A, B, X, Y
    const uint32_t colours[4] = {palette::GREEN, palette::RED, palette::BLUE, palette::YELLOW};
    const char letters[4] = {'A', 'B', 'X', 'Y'};
    const Color c = Rgb(colours[index - 5]);
    f.fill(Shape::disc(16, 16, 13).minus(LetterHole(letters[index - 5], 16, 16, 2.4f)), WithAlpha(c, 0.9f));
    f.fill(Shape::ring(16, 16, 13, 1), Mix(c, WHITE, 0.5f));
    return;
  }
  const Shape plus = Shape::roundRect(11, 2, 10, 28, 2) | Shape::roundRect(2, 11, 28, 10, 2);
  switch (index) {
    case 4:
      f.fill(plus, dim);
      f.fill(Shape::disc(16, 16, 3), WHITE);
      return;
    case 9: case 10: {
      const Shape shoulder = Shape::roundRect(2, 8, 28, 16, 7);
      f.fill(shoulder.minus(LetterHole(index == 9 ? 'L' : 'R', 16, 16, 2)), WithAlpha(WHITE, 0.8f));
      return;
    }
    case 11:
      f.fill(Shape::disc(16, 16, 14), WithAlpha(WHITE, 0.18f));
      f.fill(Shape::ring(16, 16, 14, 1), WithAlpha(WHITE, 0.8f));
      return;
    case 12:
      f.fill(Shape::disc(16, 16, 8), WithAlpha(WHITE, 0.9f));
      f.fill(Shape::ring(16, 16, 5, 0.75f), WithAlpha(Rgb(0x9090b0), 0.9f));
      return;
    case 13: case 14: {
      const Shape pill = Shape::roundRect(3, 9, 26, 14, 7);
      const Shape mark = index == 13 ? Shape::rect(11, 12, 10, 2) | Shape::rect(11, 15, 10, 2) | Shape::rect(11, 18, 10, 2)
                                     : ArrowHead(15, 16, 5, TAU / 2);
      f.fill(pill.minus(mark), WithAlpha(WHITE, 0.8f));
      return;
    }
    default:
      f.fill(plus, WithAlpha(WHITE, 0.8f));
      f.fill(Shape::disc(16, 16, 3), Rgb(0x9090b0));
      return;
  }
}

}  // namespace

std::vector<ImageArt> InterfaceArt() {
  return {
      {"common/icons", {32, 32, 16, 4}, true, DrawIcon},
      {"common/Buttons", {64, 64, 16, 4}, true, DrawButton},
      {"common/dpad", {32, 32, 16, 4}, true, DrawPadPiece},
  };
}

}  // namespace datagen
