// Feeds arbitrary bytes to the image decoder through the runtime game
// object's file opening, the path every image file takes.
#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/decode.h"
#include "graphics/graphics.h"

namespace {

class MemoryGame : public BBGame {
 public:
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  std::FILE* OpenFile(const String&, const String&) override {
    if (!size) return nullptr;
    return fmemopen(const_cast<uint8_t*>(bytes), size, "rb");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryGame game;
  game.bytes = data;
  game.size = size;
  int width = 0, height = 0, depth = 0;
  unsigned char* pixels = gxtkDecodeImageFile(&game, String("fuzz.png"), &width, &height, &depth);
  if (pixels) {
    // Touch the first and last byte so a short buffer shows up.
    volatile unsigned char sum = pixels[0] + pixels[std::size_t(width) * height * depth - 1];
    (void)sum;
    std::free(pixels);
  }
  return 0;
}
