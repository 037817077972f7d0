#include "pixel_font.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace datagen {

namespace {

// Designs for characters 32..126, in character order. The leading digit is
// the grid row of the first design row.
const char* const REGULAR[95] = {
    "0",                                                   // space
    "0#|#|#|#|#|.|#",                                      // !
    "0#.#|#.#",                                            // "
    "0.#.#.|.#.#.|#####|.#.#.|#####|.#.#.|.#.#.",          // #
    "0..#..|.####|#.#..|.###.|..#.#|####.|..#..",          // $
    "0##..#|##..#|...#.|..#..|.#...|#..##|#..##",          // %
    "0.##..|#..#.|#.#..|.#...|#.#.#|#..#.|.##.#",          // &
    "0#|#",                                                // '
    "0..#|.#.|#..|#..|#..|.#.|..#",                        // (
    "0#..|.#.|..#|..#|..#|.#.|#..",                        // )
    "1..#..|#.#.#|.###.|#.#.#|..#..",                      // *
    "1..#..|..#..|#####|..#..|..#..",                      // +
    "5.#|.#|#.",                                           // ,
    "3####",                                               // -
    "6#",                                                  // .
    "0....#|....#|...#.|..#..|.#...|#....|#....",          // /
    "0.###.|#...#|#..##|#.#.#|##..#|#...#|.###.",          // 0
    "0..#..|.##..|..#..|..#..|..#..|..#..|.###.",          // 1
    "0.###.|#...#|....#|...#.|..#..|.#...|#####",          // 2
    "0####.|....#|....#|.###.|....#|....#|####.",          // 3
    "0...#.|..##.|.#.#.|#..#.|#####|...#.|...#.",          // 4
    "0#####|#....|####.|....#|....#|#...#|.###.",          // 5
    "0.###.|#....|#....|####.|#...#|#...#|.###.",          // 6
    "0#####|....#|...#.|..#..|..#..|..#..|..#..",          // 7
    "0.###.|#...#|#...#|.###.|#...#|#...#|.###.",          // 8
    "0.###.|#...#|#...#|.####|....#|....#|.###.",          // 9
    "2#|.|.|.|#",                                          // :
    "2.#|..|..|..|.#|#.",                                  // ;
    "0...#|..#.|.#..|#...|.#..|..#.|...#",                 // <
    "2#####|.....|#####",                                  // =
    "0#...|.#..|..#.|...#|..#.|.#..|#...",                 // >
    "0.###.|#...#|....#|...#.|..#..|.....|..#..",          // ?
    "0.###.|#...#|#.###|#.#.#|#.###|#....|.###.",          // @
    "0.###.|#...#|#...#|#####|#...#|#...#|#...#",          // A
    "0####.|#...#|#...#|####.|#...#|#...#|####.",          // B
    "0.###.|#...#|#....|#....|#....|#...#|.###.",          // C
    "0####.|#...#|#...#|#...#|#...#|#...#|####.",          // D
    "0#####|#....|#....|####.|#....|#....|#####",          // E
    "0#####|#....|#....|####.|#....|#....|#....",          // F
    "0.###.|#...#|#....|#.###|#...#|#...#|.####",          // G
    "0#...#|#...#|#...#|#####|#...#|#...#|#...#",          // H
    "0###|.#.|.#.|.#.|.#.|.#.|###",                        // I
    "0..###|...#.|...#.|...#.|#..#.|#..#.|.##..",          // J
    "0#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#",          // K
    "0#....|#....|#....|#....|#....|#....|#####",          // L
    "0#....#|##..##|#.##.#|#.##.#|#....#|#....#|#....#",   // M
    "0#...#|##..#|#.#.#|#.#.#|#..##|#...#|#...#",          // N
    "0.###.|#...#|#...#|#...#|#...#|#...#|.###.",          // O
    "0####.|#...#|#...#|####.|#....|#....|#....",          // P
    "0.###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#",          // Q
    "0####.|#...#|#...#|####.|#.#..|#..#.|#...#",          // R
    "0.####|#....|#....|.###.|....#|....#|####.",          // S
    "0#####|..#..|..#..|..#..|..#..|..#..|..#..",          // T
    "0#...#|#...#|#...#|#...#|#...#|#...#|.###.",          // U
    "0#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",          // V
    "0#....#|#....#|#....#|#.##.#|#.##.#|##..##|#....#",   // W
    "0#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",          // X
    "0#...#|#...#|.#.#.|..#..|..#..|..#..|..#..",          // Y
    "0#####|....#|...#.|..#..|.#...|#....|#####",          // Z
    "0###|#..|#..|#..|#..|#..|###",                        // [
    "0#....|#....|.#...|..#..|...#.|....#|....#",          // backslash
    "0###|..#|..#|..#|..#|..#|###",                        // ]
    "0..#..|.#.#.|#...#",                                  // ^
    "7#####",                                              // _
    "0#.|.#",                                              // `
    "2.###.|....#|.####|#...#|.####",                      // a
    "0#....|#....|####.|#...#|#...#|#...#|####.",          // b
    "2.###.|#....|#....|#....|.###.",                      // c
    "0....#|....#|.####|#...#|#...#|#...#|.####",          // d
    "2.###.|#...#|#####|#....|.###.",                      // e
    "0.##|#..|###|#..|#..|#..|#..",                        // f
    "2.####|#...#|#...#|#...#|.####|....#|.###.",          // g
    "0#....|#....|####.|#...#|#...#|#...#|#...#",          // h
    "0#|.|#|#|#|#|#",                                      // i
    "0...#|....|...#|...#|...#|...#|...#|#..#|.##.",       // j
    "0#...|#...|#..#|#.#.|##..|#.#.|#..#",                 // k
    "0#.|#.|#.|#.|#.|#.|.#",                               // l
    "2###.##.|#..#..#|#..#..#|#..#..#|#..#..#",            // m
    "2###.|#..#|#..#|#..#|#..#",                           // n
    "2.###.|#...#|#...#|#...#|.###.",                      // o
    "2####.|#...#|#...#|#...#|####.|#....|#....",          // p
    "2.####|#...#|#...#|#...#|.####|....#|....#",          // q
    "2#.##|##..|#...|#...|#...",                           // r
    "2.###|#...|.##.|...#|###.",                           // s
    "0.#..|.#..|####|.#..|.#..|.#..|..##",                 // t
    "2#...#|#...#|#...#|#...#|.####",                      // u
    "2#...#|#...#|#...#|.#.#.|..#..",                      // v
    "2#.....#|#.....#|#..#..#|#..#..#|.##.##.",            // w
    "2#...#|.#.#.|..#..|.#.#.|#...#",                      // x
    "2#...#|#...#|#...#|#...#|.####|....#|.###.",          // y
    "2####|..#.|.#..|#...|####",                           // z
    "0..##|.#..|.#..|#...|.#..|.#..|..##",                 // {
    "0#|#|#|#|#|#|#|#",                                    // |
    "0##..|..#.|..#.|...#|..#.|..#.|##..",                 // }
    "2.#...|#.#.#|...#.",                                  // ~
};

struct MiniEntry {
  char c;
  const char* design;
};

const MiniEntry MINI[] = {
    {'A', "###|#.#|###|#.#|#.#"}, {'B', "##.|#.#|##.|#.#|##."}, {'D', "##.|#.#|#.#|#.#|##."},
    {'E', "###|#..|##.|#..|###"}, {'F', "###|#..|##.|#..|#.."}, {'I', "###|.#.|.#.|.#.|###"},
    {'J', "..#|..#|..#|#.#|.#."}, {'K', "#.#|#.#|##.|#.#|#.#"}, {'L', "#..|#..|#..|#..|###"},
    {'O', "###|#.#|#.#|#.#|###"}, {'Q', "###|#.#|#.#|###|..#"}, {'R', "##.|#.#|##.|#.#|#.#"},
    {'S', "###|#..|###|..#|###"}, {'U', "#.#|#.#|#.#|#.#|###"}, {'W', "#...#|#...#|#.#.#|#.#.#|.#.#."},
    {'X', "#.#|#.#|.#.|#.#|#.#"}, {'Y', "#.#|#.#|.#.|.#.|.#."},
};

GlyphDesign Parse(const char* design) {
  GlyphDesign g{design[0] - '0', 0, std::string(design + 1)};
  int run = 0;
  for (char ch : g.rows) {
    run = ch == '|' ? 0 : run + 1;
    g.width = std::max(g.width, run);
  }
  return g;
}

}  // namespace

GlyphDesign RegularGlyph(char c) {
  if (c < 32 || c > 126) return {0, 0, ""};
  return Parse(REGULAR[c - 32]);
}

GlyphDesign MiniGlyph(char c) {
  for (const MiniEntry& e : MINI) {
    if (e.c == c) return Parse((std::string("0") + e.design).c_str());
  }
  return {0, 0, ""};
}

Shape GlyphShape(const GlyphDesign& glyph, float x, float y, float unit) {
  std::vector<std::string> rows;
  size_t start = 0;
  while (start <= glyph.rows.size()) {
    const size_t bar = std::min(glyph.rows.find('|', start), glyph.rows.size());
    rows.push_back(glyph.rows.substr(start, bar - start));
    start = bar + 1;
  }
  auto set = [rows](int col, int row) {
    return row >= 0 && row < static_cast<int>(rows.size()) && col >= 0 &&
           col < static_cast<int>(rows[row].size()) && rows[row][col] == '#';
  };
  std::vector<Point> squares;  // top-left corners in font pixels
  std::vector<std::pair<Point, Point>> links;  // pixel centres joined diagonally
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    for (int col = 0; col < static_cast<int>(rows[row].size()); ++col) {
      if (!set(col, row)) continue;
      squares.push_back({float(col), float(row)});
      for (int dx : {-1, 1}) {
        if (set(col + dx, row + 1) && !set(col + dx, row) && !set(col, row + 1)) {
          links.push_back({{col + 0.5f, row + 0.5f}, {col + dx + 0.5f, row + 1.5f}});
        }
      }
    }
  }
  const float top = y + glyph.firstRow * unit;
  Box box{x, top, x + glyph.width * unit, top + static_cast<float>(rows.size()) * unit};
  if (squares.empty()) box = {x, y, x, y};
  return Shape(box, [=](float px, float py) {
    const float u = (px - x) / unit, v = (py - top) / unit;
    float link = std::numeric_limits<float>::max();
    for (const auto& l : links) {
      // Diagonal of length sqrt(2): project onto it and measure across.
      const float dx = l.second.x - l.first.x, dy = l.second.y - l.first.y;
      const float t = std::clamp(((u - l.first.x) * dx + (v - l.first.y) * dy) / 2.0f, 0.0f, 1.0f);
      link = std::min(link, std::hypot(u - l.first.x - t * dx, v - l.first.y - t * dy) - 0.45f);
    }
    const int col = static_cast<int>(std::floor(u)), row = static_cast<int>(std::floor(v));
    if (set(col, row)) {
      // Inside: distance to the nearest clear cell along the row or column,
      // so pixels that touch read as one solid stroke.
      auto run = [&](int dx, int dy) {
        int n = 0;
        while (n < 3 && set(col + dx * (n + 1), row + dy * (n + 1))) ++n;
        return static_cast<float>(n);
      };
      const float fx = u - col, fy = v - row;
      const float inside = std::min({fx + run(-1, 0), 1 - fx + run(1, 0), fy + run(0, -1), 1 - fy + run(0, 1)});
      return std::min(-inside, link) * unit;
    }
    float best = link;
    for (const Point& s : squares) {
      const float qx = std::fabs(u - s.x - 0.5f) - 0.5f, qy = std::fabs(v - s.y - 0.5f) - 0.5f;
      best = std::min(best, std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)));
    }
    return best * unit;
  });
}

int GlyphAdvance(char c) {
  switch (c) {
    case 'w': case 'm': return 9;
    case 'W': case 'M': return 8;
    case 'i': case 'f': case 'l': return 4;
    case 'j': case 's': case 'k': case 'r': case 'z': case 't': case 'n': return 6;
    default: return 7;
  }
}

int TextWidth(const std::string& text) {
  int w = 0;
  for (char c : text) w += GlyphAdvance(c);
  return text.empty() ? 0 : w - 2;
}

Shape TextShape(const std::string& text, float x, float y, float unit) {
  Shape all = Shape::empty();
  float pen = x;
  for (char c : text) {
    const GlyphDesign g = RegularGlyph(c);
    const int box = GlyphAdvance(c) - 2;
    const float offset = std::max(0, (box - g.width) / 2) * unit;
    if (g.width > 0) all = all | GlyphShape(g, pen + offset, y, unit);
    pen += GlyphAdvance(c) * unit;
  }
  return all;
}

}  // namespace datagen
