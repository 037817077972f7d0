// The game's pictures: one entry per image file, each a frame layout and
// a routine that draws one frame in base units at any pixel scale.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "raster.hpp"

namespace datagen {

struct ImageArt {
  std::string name;      // path under data/ without variant suffix or ".png"
  Atlas atlas;
  bool variants;         // false: one file at scale 1 only
  std::function<void(Frame& frame, int index)> draw;
};

// Every image of the data folder, in a fixed order.
std::vector<ImageArt> AllImageArt();

// Pieces of the catalogue, one per source file.
std::vector<ImageArt> InterfaceArt();   // icons, buttons, d-pad
std::vector<ImageArt> BrandArt();       // maker's logo, test card, word-mark, menu panels
std::vector<ImageArt> SpriteArt();      // sparkles
std::vector<ImageArt> BadgeArt();       // the badge emblems
std::vector<ImageArt> FontArt();        // the bitmap fonts

// The sizes desktops ask an application icon in, pixels square.
constexpr int ICON_SIZES[] = {16, 32, 48, 64, 128, 256};
// The desktop icon at one of those sizes.
Sheet DrawDesktopIcon(int size);

// ---- shared drawing helpers (base units)

namespace palette {
constexpr uint32_t NIGHT = 0x000050;    // the game's background blue
constexpr uint32_t DEEP = 0x00002c;
constexpr uint32_t CYAN = 0x2ef2ff;
constexpr uint32_t MAGENTA = 0xff34d2;
constexpr uint32_t YELLOW = 0xfff04a;
constexpr uint32_t ORANGE = 0xff8a1f;
constexpr uint32_t GREEN = 0x3dff6e;
constexpr uint32_t RED = 0xff3b3b;
constexpr uint32_t BLUE = 0x4a78ff;
constexpr uint32_t PURPLE = 0xa24bff;
}  // namespace palette

// The riders' trail colours, rider 1 to 8 (index 0 is rider 1).
Color RiderColor(int rider);

constexpr float TAU = 6.28318530718f;

Shape RegularPolygon(float cx, float cy, float r, int sides, float turn);
// A star of `points` tips between radii inner and outer.
Shape StarShape(float cx, float cy, float inner, float outer, int points, float turn);
// A toothed wheel: body radius r, teeth reaching out to r + tooth.
Shape GearShape(float cx, float cy, float r, float tooth, int teeth, float turn);
// Isosceles arrow head pointing along angle (radians, 0 = right, y down).
Shape ArrowHead(float cx, float cy, float size, float angle);
// Bands of half-width hw along the line through two or more points, joined
// with round corners: a trail that turns.
Shape Polyline(std::initializer_list<Point> pts, float hw);
// Text set in the game font, centred on (cx, cy) (cap height centred).
Shape CentredText(const std::string& text, float cx, float cy, float unit);

}  // namespace datagen
