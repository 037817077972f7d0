// The game's pixel lettering: a hand-drawn design for every printable
// ASCII character on a grid of font pixels (capitals 7 high, lower case 5
// high with 2-pixel descenders), a tiny capital set for button marks,
// and their conversion into shapes that the rasterizer draws at any size.
#pragma once

#include <string>

#include "raster.hpp"

namespace datagen {

// Rows of the design grid: 0..6 down to the baseline, 7..8 descenders.
constexpr int FONT_ROWS = 9;
constexpr int CAP_HEIGHT = 7;

struct GlyphDesign {
  int firstRow;  // grid row of the first design row
  int width;     // font pixels
  std::string rows;  // '#' set, '.' clear; rows separated by '|'
};

// The design for character c (32..126); a blank design otherwise.
GlyphDesign RegularGlyph(char c);
// A 3 × 5 capital (W and M are 5 wide) for button marks; blank for
// characters without one.
GlyphDesign MiniGlyph(char c);

// The glyph as a shape: each set pixel a square of `unit` base units,
// with diagonal steps joined by a band so that larger variants draw a
// smooth diagonal where the smallest one shows a pixel staircase.
// (x, y) is the top-left corner of grid row 0.
Shape GlyphShape(const GlyphDesign& glyph, float x, float y, float unit);

// Pen advance of character c in font pixels, matching the game's text
// layout: 7, narrower for i, f, l and j, s, k, r, z, t, n, wider for
// w, m, W and M.
int GlyphAdvance(char c);

// Width in font pixels of a run of text set with GlyphAdvance, without
// the trailing gap after the last character.
int TextWidth(const std::string& text);

// The whole run as one shape, grid row 0 of the first glyph at (x, y).
Shape TextShape(const std::string& text, float x, float y, float unit);

}  // namespace datagen
