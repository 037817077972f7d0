// The badge emblems (64 × 64, one frame per badge number): a dark plate
// with a neon rim whose shape and colour tell the kind of badge (wins gold
// shields, survival green discs, riding skill cyan hexagons, scores magenta
// octagons), and a symbol for the badge itself. Numbers without a badge yet
// get a plain emblem of their row.
#include <string>

#include "art.hpp"

namespace datagen {

namespace {

enum class Plate { DISC, HEXAGON, SHIELD, OCTAGON };

Shape PlateShape(Plate plate) {
  switch (plate) {
    case Plate::DISC: return Shape::disc(32, 32, 27);
    case Plate::HEXAGON: return RegularPolygon(32, 32, 28, 6, TAU / 12);
    case Plate::SHIELD: return Shape::polygon({{8, 7}, {56, 7}, {56, 32}, {32, 58}, {8, 32}});
    default: return RegularPolygon(32, 32, 28, 8, TAU / 16);
  }
}

Shape Polyline(std::initializer_list<Point> points, float hw) {
  Shape s = Shape::empty();
  const Point* prev = nullptr;
  for (const Point& p : points) {
    if (prev) s = s | Shape::segment(*prev, p, hw);
    prev = &p;
  }
  return s;
}

// `count` chevrons pointing right, side by side around the centre.
Shape Chevrons(int count) {
  Shape s = Shape::empty();
  const float pitch = 8.0f, first = 32 - pitch * (count - 1) / 2.0f;
  for (int k = 0; k < count; ++k) {
    const float x = first + pitch * k;
    s = s | Polyline({{x - 5, 20}, {x + 5, 32}, {x - 5, 44}}, 2.2f);
  }
  return s;
}

Shape Bolt(float dx, float k) {
  return Shape::polygon({{35, 12}, {21, 34}, {30, 34}, {27, 52}, {43, 28}, {34, 28}, {39, 12}})
      .scaled(32, 32, k)
      .translated(dx, 0);
}

Shape Clock() {
  return Shape::ring(32, 32, 15, 2.2f) | Shape::segment({32, 32}, {32, 21}, 2) | Shape::segment({32, 32}, {40, 36}, 2);
}

Shape Person(float cx, float cy) { return Shape::disc(cx, cy - 6, 3.2f) | Shape::roundRect(cx - 4, cy - 1, 8, 10, 3); }

Shape Text(const std::string& t, float unit) { return CentredText(t, 32, 32, unit); }

struct Emblem {
  Plate plate;
  uint32_t colour;
  Shape symbol;
};

// The emblem of badge `index`, 1 to the last badge; false past it.
bool EmblemOf(int index, Emblem& e) {
  using namespace palette;
  switch (index) {
    case 1: e = {Plate::DISC, CYAN, Polyline({{14, 46}, {14, 34}, {30, 34}, {30, 22}, {46, 22}}, 2.5f) | Shape::disc(48, 22, 4)}; return true;
    case 2: e = {Plate::SHIELD, YELLOW, Text("1", 4.5f)}; return true;
    case 3: case 4: case 5: case 6: e = {Plate::SHIELD, YELLOW, Chevrons(index - 2)}; return true;
    case 7:
      e = {Plate::SHIELD, YELLOW, Shape::rect(26, 18, 12, 22) | Shape::rect(22, 14, 20, 4) | Shape::rect(20, 40, 24, 4)};
      return true;
    case 8: e = {Plate::DISC, GREEN, Text("8", 4.5f)}; return true;
    case 9: e = {Plate::DISC, CYAN, Person(17, 34) | Person(27, 30) | Person(37, 30) | Person(47, 34)}; return true;
    case 10: e = {Plate::DISC, GREEN, Clock()}; return true;
    case 11:
      e = {Plate::DISC, GREEN, Shape::polygon({{20, 14}, {44, 14}, {32, 32}, {44, 50}, {20, 50}, {32, 32}}) |
                                    Shape::rect(18, 12, 28, 3) | Shape::rect(18, 49, 28, 3)};
      return true;
    case 12: e = {Plate::HEXAGON, CYAN, Bolt(0, 1.0f)}; return true;
    case 13: e = {Plate::HEXAGON, CYAN, Bolt(-7, 0.8f) | Bolt(7, 0.8f)}; return true;
    case 14:
      e = {Plate::SHIELD, YELLOW, StarShape(20, 34, 3, 7, 5, -TAU / 4) | StarShape(32, 22, 3, 7, 5, -TAU / 4) |
                                       StarShape(44, 34, 3, 7, 5, -TAU / 4)};
      return true;
    case 15:
      e = {Plate::SHIELD, YELLOW, RegularPolygon(32, 30, 15, 4, 0).minus(RegularPolygon(32, 30, 7, 4, 0))};
      return true;
    case 16: e = {Plate::SHIELD, YELLOW, ArrowHead(32, 20, 10, -TAU / 4) | Shape::segment({32, 24}, {32, 46}, 3)}; return true;
    case 17: e = {Plate::SHIELD, YELLOW, Text("10", 3.5f)}; return true;
    case 18: e = {Plate::SHIELD, YELLOW, ArrowHead(22, 32, 9, 0) | ArrowHead(42, 32, 9, TAU / 2)}; return true;
    case 19:
      e = {Plate::SHIELD, YELLOW, Shape::polygon({{16, 42}, {16, 22}, {24, 30}, {32, 17}, {40, 30}, {48, 22}, {48, 42}})};
      return true;
    case 20: e = {Plate::OCTAGON, MAGENTA, Text("100", 2.5f)}; return true;
    case 21: e = {Plate::OCTAGON, MAGENTA, Text("1K", 3.5f)}; return true;
    case 22: e = {Plate::OCTAGON, MAGENTA, StarShape(32, 33, 6, 16, 5, -TAU / 4)}; return true;
    case 23:
      e = {Plate::OCTAGON, MAGENTA, Shape::rect(18, 20, 28, 4) | Shape::rect(18, 30, 28, 4) | Shape::rect(18, 40, 28, 4)};
      return true;
    case 24:
      // A globe: the rim, the equator and two meridians.
      e = {Plate::OCTAGON, MAGENTA, Shape::ring(32, 32, 15, 2) | Shape::rect(17, 31, 30, 2) |
                                         Shape::arc(20, 32, 17, -1.0f, 1.0f, 1.2f) |
                                         Shape::arc(44, 32, 17, TAU / 2 - 1.0f, TAU / 2 + 1.0f, 1.2f)};
      return true;
    case 25: e = {Plate::HEXAGON, ORANGE, StarShape(32, 32, 6, 17, 9, 0)}; return true;
    case 26:
      e = {Plate::HEXAGON, CYAN, Polyline({{14, 44}, {28, 44}, {28, 20}, {50, 20}}, 2.5f) |
                                      Polyline({{14, 24}, {36, 24}, {36, 46}, {50, 46}}, 2.5f)};
      return true;
    case 27:
      e = {Plate::DISC, GREEN, ArrowHead(42, 32, 10, 0) | Shape::rect(14, 26, 18, 3) | Shape::rect(18, 31, 16, 3) |
                                    Shape::rect(14, 36, 18, 3)};
      return true;
    case 28: e = {Plate::SHIELD, YELLOW, Shape::ring(24, 32, 7, 2.2f) | Shape::ring(40, 32, 7, 2.2f)}; return true;
    default: return false;
  }
}

void DrawEmblem(Frame& f, const Emblem& e) {
  const Color c = Rgb(e.colour);
  const Shape plate = PlateShape(e.plate);
  f.fill(plate, Rgb(0x00073f));
  f.neon(plate.minus(plate.grown(-3)), c, c);
  // A shield narrows to a point: its symbols sit higher and smaller.
  const Shape symbol = e.plate == Plate::SHIELD ? e.symbol.scaled(32, 32, 0.8f).translated(0, -3) : e.symbol;
  f.neon(symbol, Mix(c, Rgb(0xffffff), 0.45f), c);
}

void DrawBadge(Frame& f, int index) {
  Emblem e{Plate::DISC, palette::BLUE, Shape::empty()};
  if (index == 0) {  // the test badge: a T with a tick
    e = {Plate::HEXAGON, palette::CYAN, Shape::empty()};
    DrawEmblem(f, e);
    f.neon(CentredText("T", 27, 30, 4), Mix(Rgb(palette::CYAN), Rgb(0xffffff), 0.45f), Rgb(palette::CYAN));
    f.neon(Shape::segment({34, 38}, {39, 43}, 2) | Shape::segment({39, 43}, {48, 31}, 2), Rgb(palette::GREEN),
           Rgb(palette::GREEN));
    return;
  }
  if (!EmblemOf(index, e)) e = {Plate::DISC, 0x2a3a6a, Shape::ring(32, 32, 6, 1.5f)};
  DrawEmblem(f, e);
}

}  // namespace

std::vector<ImageArt> BadgeArt() { return {{"BadgesA", {64, 64, 64, 8}, true, DrawBadge}}; }

}  // namespace datagen
