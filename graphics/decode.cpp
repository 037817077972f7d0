// Image file decoding: the runtime game object's LoadImageData.
//
// The data files are PNG, so only the PNG decoder is compiled in. Images
// more than 8192 pixels on a side are refused from their header rather than
// allocated, which bounds the decoder's working buffer (8192 x 8192 at 16
// bits per channel: 512 MiB) whatever a damaged file claims.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>

#include "graphics/graphics.h"

unsigned char* gxtkDecodeImageFile(BBGame* game, const String& path, int* width, int* height, int* depth) {
  std::FILE* file = game->OpenFile(path, String("rb"));
  if (!file) return nullptr;
  unsigned char* pixels = stbi_load_from_file(file, width, height, depth, 0);
  std::fclose(file);
  if (!pixels) return nullptr;
  gc_ext_malloced(*width * *height * *depth);
  return pixels;
}
