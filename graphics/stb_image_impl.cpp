// The PNG decoder (stb_image), compiled once.
//
// The data files are PNG, so only the PNG decoder is compiled in. Images
// more than 8192 pixels on a side are refused from their header rather than
// allocated, which bounds the decoder's working buffer (8192 x 8192 at 16
// bits per channel: 512 MiB) whatever a damaged file claims.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>
