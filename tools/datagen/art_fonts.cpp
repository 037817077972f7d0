// The two bitmap fonts: the game's text font (16 × 16 cells, characters
// 32..127 followed by button marks) and the runtime's built-in font (one
// strip of characters 32..127 with a pixel of padding on either side).
// Glyphs are white; the game tints them.
#include <algorithm>
#include <string>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

const Color kWhite = rgb(0xffffff);

// Game font cell layout, in base units: the glyph box starts two units
// left of the centre handle so the layout's 7-unit advance leaves a
// two-unit gap, and capitals sit centred on the handle.
constexpr float kGlyphLeft = 6;
constexpr float kGlyphTop = 4;
// Button marks are 9 units square, centred on (10.5, 7.5): they follow
// the wider advance the layout gives them.
constexpr float kMarkX = 10.5f, kMarkY = 7.5f;

// The letters after the button mark, in frame order.
const char kMarkLetters[] = "JKLIUOQEFWSAD";
constexpr int kPadMarkFrame = 96;
constexpr int kKeyMarkFrame = 112;

Shape miniLetter(char letter) {
  const GlyphDesign g = miniGlyph(letter);
  return glyphShape(g, kMarkX - g.width * 0.5f, kMarkY - 2.5f, 1);
}

Shape faceButton(char label) { return Shape::disc(kMarkX, kMarkY, 4.5f).minus(miniLetter(label)); }

// The pad control that does what the key does: J, K, L, I the face
// buttons A, B, X, Y; U, O the shoulders; Q back, E start, F the home
// button; W, S, A, D the d-pad directions.
void drawPadMark(Frame& f, char key) {
  const Shape ring = Shape::ring(kMarkX, kMarkY, 4, 0.5f);
  const Shape plus = Shape::rect(9, 3, 3, 9) | Shape::rect(6, 6, 9, 3);
  switch (key) {
    case 'J': return f.fill(faceButton('A'), kWhite);
    case 'K': return f.fill(faceButton('B'), kWhite);
    case 'L': return f.fill(faceButton('X'), kWhite);
    case 'I': return f.fill(faceButton('Y'), kWhite);
    case 'U': case 'O': {
      const Shape shoulder = Shape::roundRect(6, 3, 9, 9, 4) | Shape::rect(6, 8, 9, 4);
      return f.fill(shoulder.minus(miniLetter(key == 'U' ? 'L' : 'R')), kWhite);
    }
    case 'Q': return f.fill(ring | arrowHead(kMarkX - 0.5f, kMarkY, 2.2f, kTau / 2), kWhite);
    case 'E': return f.fill(ring | arrowHead(kMarkX + 0.5f, kMarkY, 2.2f, 0), kWhite);
    case 'F': return f.fill(ring | Shape::disc(kMarkX, kMarkY, 1.6f), kWhite);
    default: {
      f.fill(plus, withAlpha(kWhite, 0.4f));
      const Point arms[4] = {{9, 3}, {9, 9}, {6, 6}, {12, 6}};  // W, S, A, D
      const int arm = static_cast<int>(std::string("WSAD").find(key));
      return f.fill(Shape::rect(arms[arm].x, arms[arm].y, 3, 3), kWhite);
    }
  }
}

void drawKeyMark(Frame& f, char key) {
  f.fill(Shape::roundRect(6, 3, 9, 9, 1.5f).minus(miniLetter(key)), kWhite);
}

void drawGameGlyph(Frame& f, int index) {
  const int padMark = index - kPadMarkFrame, keyMark = index - kKeyMarkFrame;
  const int marks = static_cast<int>(sizeof(kMarkLetters)) - 1;
  if (padMark >= 0 && padMark < marks) return drawPadMark(f, kMarkLetters[padMark]);
  if (keyMark >= 0 && keyMark < marks) return drawKeyMark(f, kMarkLetters[keyMark]);
  const char c = static_cast<char>(index + 32);
  const GlyphDesign g = regularGlyph(c);
  if (g.width == 0) return;
  const int box = glyphAdvance(c) - 2;
  const float left = kGlyphLeft + std::max(0, (box - g.width) / 2);
  f.fill(glyphShape(g, left, kGlyphTop, 1), kWhite);
}

// Built-in font: 10-unit cells, the glyph inside the 8 units between the
// padding columns.
void drawRuntimeGlyph(Frame& f, int index) {
  const GlyphDesign g = regularGlyph(static_cast<char>(index + 32));
  if (g.width == 0) return;
  f.fill(glyphShape(g, 1.0f + (7 - g.width) / 2, 2, 1), kWhite);
}

}  // namespace

std::vector<ImageArt> fontArt() {
  return {
      {"fonts/editundo", {16, 16, 128, 16}, true, drawGameGlyph},
      {"vemo_font", {10, 14, 96, 96}, false, drawRuntimeGlyph},
  };
}

}  // namespace datagen
