// Arbitrary bytes as an Ogg Vorbis file.
#include <cstdio>
#include <cstdlib>

#include "audio/audio.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::FILE* f = fmemopen(const_cast<unsigned char*>(data), size, "rb");
  if (!f) return 0;
  int length, channels, format, hertz;
  std::free(LoadOGG(f, &length, &channels, &format, &hertz));
  std::fclose(f);
  return 0;
}
