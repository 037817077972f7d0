// Arbitrary bytes as a sound file for one decoder (AUDIO_DECODER names it:
// LoadWAV or LoadOGG).
#include <cstdio>
#include <cstdlib>

#include "audio/audio.h"
#include "audio/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::FILE* f = fmemopen(const_cast<unsigned char*>(data), size, "rb");
  if (!f) return 0;
  int length, channels, format, hertz;
  std::free(AUDIO_DECODER(f, &length, &channels, &format, &hertz));
  std::fclose(f);
  return 0;
}
