// Image file decoding, for the runtime game object's LoadImageData.
#pragma once

#include "runtime/core/core.h"

// Decodes an image file opened through game->OpenFile(path, "rb") into
// 8-bit pixels with the file's own channel count (*depth, 1-4), reporting
// the bytes to the collector. The caller owns the result (free()). Null when
// the file is missing or cannot be decoded.
unsigned char* gxtkDecodeImageFile(BBGame* game, const String& path, int* width, int* height, int* depth);
