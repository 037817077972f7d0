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

const Color WHITE = Rgb(0xffffff);

// Game font cell layout, in base units: the glyph box starts two units
// left of the centre handle so the layout's 7-unit advance leaves a
// two-unit gap, and capitals sit centred on the handle.
constexpr float GLYPH_LEFT = 6;
constexpr float GLYPH_TOP = 4;
// Button marks are 9 units square, centred on (10.5, 7.5): they follow
// the wider advance the layout gives them.
constexpr float MARK_X = 10.5f, MARK_Y = 7.5f;

// The letters after the button mark, in frame order.
const char MARK_LETTERS[] = "JKLIUOQEFWSAD";
constexpr int PAD_MARK_FRAME = 96;
constexpr int KEY_MARK_FRAME = 112;

Shape MiniLetter(char letter) {
  const GlyphDesign g = MiniGlyph(letter);
  return GlyphShape(g, MARK_X - g.width * 0.5f, MARK_Y - 2.5f, 1);
}

Shape FaceButton(char label) { return Shape::disc(MARK_X, MARK_Y, 4.5f).minus(MiniLetter(label)); }

// The pad control that does what the key does: J, K, L, I the face
// buttons A, B, X, Y; U, O the shoulders; Q back, E start, F the home
// button; W, S, A, D the d-pad directions.
void DrawPadMark(Frame& f, char key) {
  const Shape ring = Shape::ring(MARK_X, MARK_Y, 4, 0.5f);
  const Shape plus = Shape::rect(9, 3, 3, 9) | Shape::rect(6, 6, 9, 3);
  switch (key) {
    case 'J': return f.fill(FaceButton('A'), WHITE);
    case 'K': return f.fill(FaceButton('B'), WHITE);
    case 'L': return f.fill(FaceButton('X'), WHITE);
    case 'I': return f.fill(FaceButton('Y'), WHITE);
    case 'U': case 'O': {
      const Shape shoulder = Shape::roundRect(6, 3, 9, 9, 4) | Shape::rect(6, 8, 9, 4);
      return f.fill(shoulder.minus(MiniLetter(key == 'U' ? 'L' : 'R')), WHITE);
    }
    case 'Q': return f.fill(ring | ArrowHead(MARK_X - 0.5f, MARK_Y, 2.2f, TAU / 2), WHITE);
    case 'E': return f.fill(ring | ArrowHead(MARK_X + 0.5f, MARK_Y, 2.2f, 0), WHITE);
    case 'F': return f.fill(ring | Shape::disc(MARK_X, MARK_Y, 1.6f), WHITE);
    default: {
      f.fill(plus, WithAlpha(WHITE, 0.4f));
      const Point arms[4] = {{9, 3}, {9, 9}, {6, 6}, {12, 6}};  // W, S, A, D
      const int arm = static_cast<int>(std::string("WSAD").find(key));
      return f.fill(Shape::rect(arms[arm].x, arms[arm].y, 3, 3), WHITE);
    }
  }
}

void DrawKeyMark(Frame& f, char key) {
  f.fill(Shape::roundRect(6, 3, 9, 9, 1.5f).minus(MiniLetter(key)), WHITE);
}

void DrawGameGlyph(Frame& f, int index) {
  const int padMark = index - PAD_MARK_FRAME, keyMark = index - KEY_MARK_FRAME;
  const int marks = static_cast<int>(sizeof(MARK_LETTERS)) - 1;
  if (padMark >= 0 && padMark < marks) return DrawPadMark(f, MARK_LETTERS[padMark]);
  if (keyMark >= 0 && keyMark < marks) return DrawKeyMark(f, MARK_LETTERS[keyMark]);
  const char c = static_cast<char>(index + 32);
  const GlyphDesign g = RegularGlyph(c);
  if (g.width == 0) return;
  const int box = GlyphAdvance(c) - 2;
  const float left = GLYPH_LEFT + std::max(0, (box - g.width) / 2);
  f.fill(GlyphShape(g, left, GLYPH_TOP, 1), WHITE);
}

// Built-in font: 10-unit cells, the glyph inside the 8 units between the
// padding columns.
void DrawRuntimeGlyph(Frame& f, int index) {
  const GlyphDesign g = RegularGlyph(static_cast<char>(index + 32));
  if (g.width == 0) return;
  f.fill(GlyphShape(g, 1.0f + (7 - g.width) / 2, 2, 1), WHITE);
}

}  // namespace

std::vector<ImageArt> FontArt() {
  return {
      {"fonts/editundo", {16, 16, 128, 16}, true, DrawGameGlyph},
      {"vemo_font", {10, 14, 96, 96}, false, DrawRuntimeGlyph},
  };
}

}  // namespace datagen
