// A small resolution-independent rasterizer for crisp pixel art.
//
// Pictures are described in base units (one unit = one pixel of the
// smallest variant) as shapes with a signed distance function. Each
// variant rasterizes the same description at its own pixel scale (1, 2
// or 4), sampling every pixel at its centre, so edges stay hard at every
// size and curves and diagonals gain detail instead of turning blurry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace datagen {

// Straight (not premultiplied) colour, every component 0..1.
struct Color {
  float r, g, b, a;
};

// 0xRRGGBB with an alpha of 0..1.
Color Rgb(uint32_t hex, float alpha = 1.0f);
Color WithAlpha(Color c, float alpha);
// Linear mix: t = 0 gives a, t = 1 gives b.
Color Mix(Color a, Color b, float t);

struct Point {
  float x, y;
};

// Axis-aligned bounds in base units.
struct Box {
  float x0, y0, x1, y1;
};

// A region of the plane given by its signed distance in base units
// (negative inside, zero on the edge) and a box that holds all of it.
class Shape {
 public:
  using Distance = std::function<float(float x, float y)>;
  Shape(Box bounds, Distance distance);

  // Nothing at all: the start of a union built up piece by piece.
  static Shape empty();
  static Shape disc(float cx, float cy, float r);
  // Band of half-width hw around the circle of radius r.
  static Shape ring(float cx, float cy, float r, float hw);
  static Shape rect(float x, float y, float w, float h);
  static Shape roundRect(float x, float y, float w, float h, float radius);
  // Band of half-width hw around the segment, with round ends.
  static Shape segment(Point a, Point b, float hw);
  // Closed polygon, even-odd filled.
  static Shape polygon(std::vector<Point> points);
  // Band of half-width hw around the arc of radius r from angle a0 to a1
  // (radians, a0 < a1, measured clockwise from +x on the y-down screen).
  static Shape arc(float cx, float cy, float r, float a0, float a1, float hw);

  // The shape grown outward by d units (shrunk for negative d).
  Shape grown(float d) const;
  // The shape moved by (dx, dy).
  Shape translated(float dx, float dy) const;
  // The shape scaled by k about (cx, cy).
  Shape scaled(float cx, float cy, float k) const;
  Shape operator|(const Shape& other) const;
  // The part of this shape outside `cut`.
  Shape minus(const Shape& cut) const;
  // The part of this shape inside `keep`.
  Shape within(const Shape& keep) const;

  float distance(float x, float y) const { return distance_(x, y); }
  const Box& bounds() const { return bounds_; }

 private:
  Box bounds_;
  Distance distance_;
};

// An RGBA8 image with straight alpha, the unit every file is written in.
class Sheet {
 public:
  Sheet(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  // Source-over blend of c onto pixel (x, y); pixels outside are ignored.
  void blend(int x, int y, Color c);
  void set(int x, int y, const uint8_t rgba[4]);
  const uint8_t* pixel(int x, int y) const { return &pixels_[(static_cast<size_t>(y) * width_ + x) * 4]; }
  const std::vector<uint8_t>& pixels() const { return pixels_; }
  // Returns false when the file cannot be written.
  bool writePng(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<uint8_t> pixels_;
};

// A band of a distance field: pixels with distance <= limit take colour.
struct Band {
  float limit;
  Color color;
};

// One frame of a sheet seen in base units at one pixel scale. Drawing is
// clipped to the frame so neighbouring frames never bleed into each other.
class Frame {
 public:
  Frame(Sheet& sheet, int originX, int originY, int baseWidth, int baseHeight, int scale);
  int scale() const { return scale_; }
  float width() const { return static_cast<float>(baseWidth_); }
  float height() const { return static_cast<float>(baseHeight_); }

  // Fills the pixels whose centres lie inside the shape.
  void fill(const Shape& shape, Color color);
  // Paints bands of the shape's distance field, widest first: the usual
  // way to give a shape a hard-edged glow or outline.
  void bands(const Shape& shape, const std::vector<Band>& bands);
  // A neon tube: two stepped halos of `glow`, the body in `body` and a
  // pale core where the shape is thicker than two units.
  void neon(const Shape& shape, Color body, Color glow);

 private:
  template <typename PixelFn>
  void forPixels(const Box& box, PixelFn fn);

  Sheet& sheet_;
  int originX_, originY_;
  int baseWidth_, baseHeight_;
  int scale_;
};

// Frames of one size laid out left to right in rows, as the game's image
// loader walks them.
struct Atlas {
  int frameWidth, frameHeight;  // base units
  int count;
  int columns;

  int rows() const { return (count + columns - 1) / columns; }
  Sheet makeSheet(int scale) const;
  Frame frame(Sheet& sheet, int index, int scale) const;
};

}  // namespace datagen
