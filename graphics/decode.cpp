// Image file decoding: the runtime game object's LoadImageData.
//
// The decoder itself is compiled in stb_image_impl.cpp.
#include <stb/stb_image.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "graphics/decode.h"

namespace {

uint32_t ReadBe32(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// True when every chunk of a PNG file fits in the bytes actually present.
// The decoder sizes its buffer from a chunk's stated length before reading
// it, so a damaged header could otherwise ask for gigabytes.
bool ChunksFit(const std::string& bytes) {
  const std::size_t signature = 8, chunk_overhead = 12;  // length, type, CRC
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t at = signature;
  while (at + 8 <= bytes.size()) {  // a length and a type to read
    uint64_t length = ReadBe32(data + at);
    std::size_t left = bytes.size() - at;
    if (left < chunk_overhead || length > left - chunk_overhead) return false;
    if (std::memcmp(data + at + 4, "IEND", 4) == 0) return true;
    at += chunk_overhead + length;
  }
  return true;
}

}  // namespace

unsigned char* gxtkDecodeImageFile(BBGame* game, const String& path, int* width, int* height, int* depth) {
  std::FILE* file = game->OpenFile(path, String("rb"));
  if (!file) return nullptr;
  std::string bytes;
  bool read = bb_file_ReadAll(file, bytes);
  std::fclose(file);
  if (!read || bytes.size() > 0x7fffffff || !ChunksFit(bytes)) return nullptr;
  unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                int(bytes.size()), width, height, depth, 0);
  if (!pixels) return nullptr;
  gc_ext_malloced(*width * *height * *depth);
  return pixels;
}
