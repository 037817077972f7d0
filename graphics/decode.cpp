// Image file decoding: the runtime game object's LoadImageData.
//
// The data files are PNG, so only the PNG decoder is compiled in; images
// larger than any texture the renderer could make are refused up front
// rather than allocated.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 16384
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
