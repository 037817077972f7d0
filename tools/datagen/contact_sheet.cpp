#include "contact_sheet.hpp"

#include <algorithm>

#include "art.hpp"
#include "pixel_font.hpp"

namespace datagen {

namespace {

constexpr int ZOOM = 2;        // nearest-neighbour magnification
constexpr int MARGIN = 8;      // sheet pixels around every entry
constexpr int LABEL_HEIGHT = 12;  // base units of one label line

}  // namespace

Sheet ComposeContactSheet(const std::vector<ContactEntry>& entries) {
  int width = 0, height = MARGIN;
  for (const ContactEntry& e : entries) {
    width = std::max(width, e.image->width() * ZOOM + 2 * MARGIN);
    height += LABEL_HEIGHT * ZOOM + e.image->height() * ZOOM + MARGIN;
  }
  Sheet sheet(width, height);
  Frame whole(sheet, 0, 0, width, height, 1);
  whole.fill(Shape::rect(0, 0, float(width), float(height)), Rgb(palette::NIGHT));

  int y = MARGIN;
  for (const ContactEntry& e : entries) {
    Frame label(sheet, MARGIN, y, width, LABEL_HEIGHT, ZOOM);
    label.fill(TextShape(e.label, 0, 2, 1), Rgb(0xffffff));
    y += LABEL_HEIGHT * ZOOM;
    const Sheet& img = *e.image;
    for (int py = 0; py < img.height() * ZOOM; ++py) {
      for (int px = 0; px < img.width() * ZOOM; ++px) {
        const uint8_t* p = img.pixel(px / ZOOM, py / ZOOM);
        sheet.blend(MARGIN + px, y + py, {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f});
      }
    }
    y += img.height() * ZOOM + MARGIN;
  }
  return sheet;
}

}  // namespace datagen
