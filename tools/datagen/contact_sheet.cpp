#include "contact_sheet.hpp"

#include <algorithm>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

constexpr int kZoom = 2;        // nearest-neighbour magnification
constexpr int kMargin = 8;      // sheet pixels around every entry
constexpr int kLabelHeight = 12;  // base units of one label line

}  // namespace

Sheet composeContactSheet(const std::vector<ContactEntry>& entries) {
  int width = 0, height = kMargin;
  for (const ContactEntry& e : entries) {
    width = std::max(width, e.image->width() * kZoom + 2 * kMargin);
    height += kLabelHeight * kZoom + e.image->height() * kZoom + kMargin;
  }
  Sheet sheet(width, height);
  Frame whole(sheet, 0, 0, width, height, 1);
  whole.fill(Shape::rect(0, 0, float(width), float(height)), rgb(palette::kNight));

  int y = kMargin;
  for (const ContactEntry& e : entries) {
    Frame label(sheet, kMargin, y, width, kLabelHeight, kZoom);
    label.fill(textShape(e.label, 0, 2, 1), rgb(0xffffff));
    y += kLabelHeight * kZoom;
    const Sheet& img = *e.image;
    for (int py = 0; py < img.height() * kZoom; ++py) {
      for (int px = 0; px < img.width() * kZoom; ++px) {
        const uint8_t* p = img.pixel(px / kZoom, py / kZoom);
        sheet.blend(kMargin + px, y + py, {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f});
      }
    }
    y += img.height() * kZoom + kMargin;
  }
  return sheet;
}

}  // namespace datagen
