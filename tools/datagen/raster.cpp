#include "raster.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stb_image_write.h"

namespace datagen {

namespace {

constexpr float PI = 3.14159265358979f;

float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

float SegmentDistance(float px, float py, Point a, Point b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0.0f;
  t = Clamp01(t);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

Box Unite(const Box& a, const Box& b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Box Inflate(const Box& b, float d) { return {b.x0 - d, b.y0 - d, b.x1 + d, b.y1 + d}; }

}  // namespace

Color Rgb(uint32_t hex, float alpha) {
  return {((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, alpha};
}

Color WithAlpha(Color c, float alpha) { return {c.r, c.g, c.b, alpha}; }

Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// ---------------------------------------------------------------- shapes

Shape::Shape(Box bounds, Distance distance) : bounds_(bounds), distance_(std::move(distance)) {}

Shape Shape::empty() {
  // Inverted bounds vanish in unions and cover no pixels.
  return Shape({1e9f, 1e9f, -1e9f, -1e9f}, [](float, float) { return std::numeric_limits<float>::max(); });
}

Shape Shape::disc(float cx, float cy, float r) {
  return Shape({cx - r, cy - r, cx + r, cy + r},
               [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; });
}

Shape Shape::ring(float cx, float cy, float r, float hw) {
  const float o = r + hw;
  return Shape({cx - o, cy - o, cx + o, cy + o},
               [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - hw; });
}

Shape Shape::rect(float x, float y, float w, float h) {
  return roundRect(x, y, w, h, 0.0f);
}

Shape Shape::roundRect(float x, float y, float w, float h, float radius) {
  const float cx = x + w * 0.5f, cy = y + h * 0.5f;
  const float hx = w * 0.5f - radius, hy = h * 0.5f - radius;
  return Shape({x, y, x + w, y + h}, [=](float px, float py) {
    const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
  });
}

Shape Shape::segment(Point a, Point b, float hw) {
  const Box box{std::min(a.x, b.x) - hw, std::min(a.y, b.y) - hw, std::max(a.x, b.x) + hw,
                std::max(a.y, b.y) + hw};
  return Shape(box, [=](float x, float y) { return SegmentDistance(x, y, a, b) - hw; });
}

Shape Shape::polygon(std::vector<Point> pts) {
  Box box{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const Point& p : pts) box = Unite(box, {p.x, p.y, p.x, p.y});
  return Shape(box, [pts = std::move(pts)](float x, float y) {
    float best = std::numeric_limits<float>::max();
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const Point& a = pts[i];
      const Point& b = pts[j];
      best = std::min(best, SegmentDistance(x, y, a, b));
      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside ? -best : best;
  });
}

Shape Shape::arc(float cx, float cy, float r, float a0, float a1, float hw) {
  const Point p0{cx + r * std::cos(a0), cy + r * std::sin(a0)};
  const Point p1{cx + r * std::cos(a1), cy + r * std::sin(a1)};
  const float o = r + hw;
  return Shape({cx - o, cy - o, cx + o, cy + o}, [=](float x, float y) {
    float a = std::atan2(y - cy, x - cx);
    while (a < a0) a += 2 * PI;
    if (a <= a1) return std::fabs(std::hypot(x - cx, y - cy) - r) - hw;
    return std::min(std::hypot(x - p0.x, y - p0.y), std::hypot(x - p1.x, y - p1.y)) - hw;
  });
}

Shape Shape::grown(float d) const {
  Distance inner = distance_;
  return Shape(Inflate(bounds_, std::max(d, 0.0f)), [inner, d](float x, float y) { return inner(x, y) - d; });
}

Shape Shape::translated(float dx, float dy) const {
  Distance inner = distance_;
  return Shape({bounds_.x0 + dx, bounds_.y0 + dy, bounds_.x1 + dx, bounds_.y1 + dy},
               [inner, dx, dy](float x, float y) { return inner(x - dx, y - dy); });
}

Shape Shape::scaled(float cx, float cy, float k) const {
  Distance inner = distance_;
  const Box& b = bounds_;
  return Shape({cx + (b.x0 - cx) * k, cy + (b.y0 - cy) * k, cx + (b.x1 - cx) * k, cy + (b.y1 - cy) * k},
               [inner, cx, cy, k](float x, float y) { return k * inner(cx + (x - cx) / k, cy + (y - cy) / k); });
}

Shape Shape::operator|(const Shape& other) const {
  Distance a = distance_, b = other.distance_;
  return Shape(Unite(bounds_, other.bounds_), [a, b](float x, float y) { return std::min(a(x, y), b(x, y)); });
}

Shape Shape::minus(const Shape& cut) const {
  Distance a = distance_, b = cut.distance_;
  return Shape(bounds_, [a, b](float x, float y) { return std::max(a(x, y), -b(x, y)); });
}

Shape Shape::within(const Shape& keep) const {
  Distance a = distance_, b = keep.distance_;
  const Box& k = keep.bounds_;
  const Box box{std::max(bounds_.x0, k.x0), std::max(bounds_.y0, k.y0), std::min(bounds_.x1, k.x1),
                std::min(bounds_.y1, k.y1)};
  return Shape(box, [a, b](float x, float y) { return std::max(a(x, y), b(x, y)); });
}

// ---------------------------------------------------------------- sheet

Sheet::Sheet(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 4, 0) {}

void Sheet::blend(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || c.a <= 0) return;
  uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
  const float da = p[3] / 255.0f;
  const float sa = Clamp01(c.a);
  const float oa = sa + da * (1 - sa);
  const float src[3] = {c.r, c.g, c.b};
  for (int i = 0; i < 3; ++i) {
    const float v = (Clamp01(src[i]) * sa + p[i] / 255.0f * da * (1 - sa)) / oa;
    p[i] = static_cast<uint8_t>(std::lround(v * 255));
  }
  p[3] = static_cast<uint8_t>(std::lround(oa * 255));
}

void Sheet::set(int x, int y, const uint8_t rgba[4]) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::copy(rgba, rgba + 4, &pixels_[(static_cast<size_t>(y) * width_ + x) * 4]);
}

bool Sheet::writePng(const std::string& path) const {
  return stbi_write_png(path.c_str(), width_, height_, 4, pixels_.data(), width_ * 4) != 0;
}

// ---------------------------------------------------------------- frame

Frame::Frame(Sheet& sheet, int originX, int originY, int baseWidth, int baseHeight, int scale)
    : sheet_(sheet), originX_(originX), originY_(originY), baseWidth_(baseWidth), baseHeight_(baseHeight),
      scale_(scale) {}

template <typename PixelFn>
void Frame::forPixels(const Box& box, PixelFn fn) {
  if (box.x0 > box.x1 || box.y0 > box.y1) return;
  const int s = scale_;
  const int x0 = std::max(0, static_cast<int>(std::floor(box.x0 * s)));
  const int y0 = std::max(0, static_cast<int>(std::floor(box.y0 * s)));
  const int x1 = std::min(baseWidth_ * s, static_cast<int>(std::ceil(box.x1 * s)) + 1);
  const int y1 = std::min(baseHeight_ * s, static_cast<int>(std::ceil(box.y1 * s)) + 1);
  for (int py = y0; py < y1; ++py) {
    for (int px = x0; px < x1; ++px) {
      fn(originX_ + px, originY_ + py, (px + 0.5f) / s, (py + 0.5f) / s);
    }
  }
}

void Frame::fill(const Shape& shape, Color color) {
  forPixels(shape.bounds(), [&](int px, int py, float x, float y) {
    if (shape.distance(x, y) <= 0) sheet_.blend(px, py, color);
  });
}

void Frame::bands(const Shape& shape, const std::vector<Band>& bands) {
  float reach = 0;
  for (const Band& b : bands) reach = std::max(reach, b.limit);
  const Box& b = shape.bounds();
  forPixels({b.x0 - reach, b.y0 - reach, b.x1 + reach, b.y1 + reach}, [&](int px, int py, float x, float y) {
    const float d = shape.distance(x, y);
    for (const Band& band : bands) {
      if (d <= band.limit) sheet_.blend(px, py, band.color);
    }
  });
}

void Frame::neon(const Shape& shape, Color body, Color glow) {
  const Color core = Mix(body, Rgb(0xffffff), 0.6f);
  bands(shape, {{2.5f, WithAlpha(glow, glow.a * 0.22f)},
                {1.25f, WithAlpha(glow, glow.a * 0.35f)},
                {0.0f, body},
                {-1.0f, core}});
}

// ---------------------------------------------------------------- atlas

Sheet Atlas::makeSheet(int scale) const {
  return Sheet(frameWidth * columns * scale, frameHeight * rows() * scale);
}

Frame Atlas::frame(Sheet& sheet, int index, int scale) const {
  const int col = index % columns, row = index / columns;
  return Frame(sheet, col * frameWidth * scale, row * frameHeight * scale, frameWidth, frameHeight, scale);
}

}  // namespace datagen
