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

Shape plateShape(Plate plate) {
  switch (plate) {
    case Plate::DISC: return Shape::disc(32, 32, 27);
    case Plate::HEXAGON: return regularPolygon(32, 32, 28, 6, kTau / 12);
    case Plate::SHIELD: return Shape::polygon({{8, 7}, {56, 7}, {56, 32}, {32, 58}, {8, 32}});
    default: return regularPolygon(32, 32, 28, 8, kTau / 16);
  }
}

Shape polyline(std::initializer_list<Point> points, float hw) {
  Shape s = Shape::empty();
  const Point* prev = nullptr;
  for (const Point& p : points) {
    if (prev) s = s | Shape::segment(*prev, p, hw);
    prev = &p;
  }
  return s;
}

// `count` chevrons pointing right, side by side around the centre.
Shape chevrons(int count) {
  Shape s = Shape::empty();
  const float pitch = 8.0f, first = 32 - pitch * (count - 1) / 2.0f;
  for (int k = 0; k < count; ++k) {
    const float x = first + pitch * k;
    s = s | polyline({{x - 5, 20}, {x + 5, 32}, {x - 5, 44}}, 2.2f);
  }
  return s;
}

Shape bolt(float dx, float k) {
  return Shape::polygon({{35, 12}, {21, 34}, {30, 34}, {27, 52}, {43, 28}, {34, 28}, {39, 12}})
      .scaled(32, 32, k)
      .translated(dx, 0);
}

Shape clock() {
  return Shape::ring(32, 32, 15, 2.2f) | Shape::segment({32, 32}, {32, 21}, 2) | Shape::segment({32, 32}, {40, 36}, 2);
}

Shape person(float cx, float cy) { return Shape::disc(cx, cy - 6, 3.2f) | Shape::roundRect(cx - 4, cy - 1, 8, 10, 3); }

Shape text(const std::string& t, float unit) { return centredText(t, 32, 32, unit); }

struct Emblem {
  Plate plate;
  uint32_t colour;
  Shape symbol;
};

// The emblem of badge `index`, 1 to the last badge; false past it.
bool emblemOf(int index, Emblem& e) {
  using namespace palette;
  switch (index) {
    case 1: e = {Plate::DISC, kCyan, polyline({{14, 46}, {14, 34}, {30, 34}, {30, 22}, {46, 22}}, 2.5f) | Shape::disc(48, 22, 4)}; return true;
    case 2: e = {Plate::SHIELD, kYellow, text("1", 4.5f)}; return true;
    case 3: case 4: case 5: case 6: e = {Plate::SHIELD, kYellow, chevrons(index - 2)}; return true;
    case 7:
      e = {Plate::SHIELD, kYellow, Shape::rect(26, 18, 12, 22) | Shape::rect(22, 14, 20, 4) | Shape::rect(20, 40, 24, 4)};
      return true;
    case 8: e = {Plate::DISC, kGreen, text("8", 4.5f)}; return true;
    case 9: e = {Plate::DISC, kCyan, person(17, 34) | person(27, 30) | person(37, 30) | person(47, 34)}; return true;
    case 10: e = {Plate::DISC, kGreen, clock()}; return true;
    case 11:
      e = {Plate::DISC, kGreen, Shape::polygon({{20, 14}, {44, 14}, {32, 32}, {44, 50}, {20, 50}, {32, 32}}) |
                                    Shape::rect(18, 12, 28, 3) | Shape::rect(18, 49, 28, 3)};
      return true;
    case 12: e = {Plate::HEXAGON, kCyan, bolt(0, 1.0f)}; return true;
    case 13: e = {Plate::HEXAGON, kCyan, bolt(-7, 0.8f) | bolt(7, 0.8f)}; return true;
    case 14:
      e = {Plate::SHIELD, kYellow, starShape(20, 34, 3, 7, 5, -kTau / 4) | starShape(32, 22, 3, 7, 5, -kTau / 4) |
                                       starShape(44, 34, 3, 7, 5, -kTau / 4)};
      return true;
    case 15:
      e = {Plate::SHIELD, kYellow, regularPolygon(32, 30, 15, 4, 0).minus(regularPolygon(32, 30, 7, 4, 0))};
      return true;
    case 16: e = {Plate::SHIELD, kYellow, arrowHead(32, 20, 10, -kTau / 4) | Shape::segment({32, 24}, {32, 46}, 3)}; return true;
    case 17: e = {Plate::SHIELD, kYellow, text("10", 3.5f)}; return true;
    case 18: e = {Plate::SHIELD, kYellow, arrowHead(22, 32, 9, 0) | arrowHead(42, 32, 9, kTau / 2)}; return true;
    case 19:
      e = {Plate::SHIELD, kYellow, Shape::polygon({{16, 42}, {16, 22}, {24, 30}, {32, 17}, {40, 30}, {48, 22}, {48, 42}})};
      return true;
    case 20: e = {Plate::OCTAGON, kMagenta, text("100", 2.5f)}; return true;
    case 21: e = {Plate::OCTAGON, kMagenta, text("1K", 3.5f)}; return true;
    case 22: e = {Plate::OCTAGON, kMagenta, starShape(32, 33, 6, 16, 5, -kTau / 4)}; return true;
    case 23:
      e = {Plate::OCTAGON, kMagenta, Shape::rect(18, 20, 28, 4) | Shape::rect(18, 30, 28, 4) | Shape::rect(18, 40, 28, 4)};
      return true;
    case 24:
      // A globe: the rim, the equator and two meridians.
      e = {Plate::OCTAGON, kMagenta, Shape::ring(32, 32, 15, 2) | Shape::rect(17, 31, 30, 2) |
                                         Shape::arc(20, 32, 17, -1.0f, 1.0f, 1.2f) |
                                         Shape::arc(44, 32, 17, kTau / 2 - 1.0f, kTau / 2 + 1.0f, 1.2f)};
      return true;
    case 25: e = {Plate::HEXAGON, kOrange, starShape(32, 32, 6, 17, 9, 0)}; return true;
    case 26:
      e = {Plate::HEXAGON, kCyan, polyline({{14, 44}, {28, 44}, {28, 20}, {50, 20}}, 2.5f) |
                                      polyline({{14, 24}, {36, 24}, {36, 46}, {50, 46}}, 2.5f)};
      return true;
    case 27:
      e = {Plate::DISC, kGreen, arrowHead(42, 32, 10, 0) | Shape::rect(14, 26, 18, 3) | Shape::rect(18, 31, 16, 3) |
                                    Shape::rect(14, 36, 18, 3)};
      return true;
    case 28: e = {Plate::SHIELD, kYellow, Shape::ring(24, 32, 7, 2.2f) | Shape::ring(40, 32, 7, 2.2f)}; return true;
    default: return false;
  }
}

void drawEmblem(Frame& f, const Emblem& e) {
  const Color c = rgb(e.colour);
  const Shape plate = plateShape(e.plate);
  f.fill(plate, rgb(0x00073f));
  f.neon(plate.minus(plate.grown(-3)), c, c);
  // A shield narrows to a point: its symbols sit higher and smaller.
  const Shape symbol = e.plate == Plate::SHIELD ? e.symbol.scaled(32, 32, 0.8f).translated(0, -3) : e.symbol;
  f.neon(symbol, mix(c, rgb(0xffffff), 0.45f), c);
}

void drawBadge(Frame& f, int index) {
  Emblem e{Plate::DISC, palette::kBlue, Shape::empty()};
  if (index == 0) {  // the test badge: a T with a tick
    e = {Plate::HEXAGON, palette::kCyan, Shape::empty()};
    drawEmblem(f, e);
    f.neon(centredText("T", 27, 30, 4), mix(rgb(palette::kCyan), rgb(0xffffff), 0.45f), rgb(palette::kCyan));
    f.neon(Shape::segment({34, 38}, {39, 43}, 2) | Shape::segment({39, 43}, {48, 31}, 2), rgb(palette::kGreen),
           rgb(palette::kGreen));
    return;
  }
  if (!emblemOf(index, e)) e = {Plate::DISC, 0x2a3a6a, Shape::ring(32, 32, 6, 1.5f)};
  drawEmblem(f, e);
}

}  // namespace

std::vector<ImageArt> badgeArt() { return {{"BadgesA", {64, 64, 64, 8}, true, drawBadge}}; }

}  // namespace datagen
