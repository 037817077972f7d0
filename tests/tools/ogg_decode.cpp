#include "ogg_decode.hpp"

#include <cstdlib>

#include "stb_vorbis.h"

bool decodeOggFile(const std::string& path, Decoded& out) {
  short* samples = nullptr;
  const int frames = stb_vorbis_decode_filename(path.c_str(), &out.channels, &out.rate, &samples);
  if (frames > 0) out.samples.assign(samples, samples + static_cast<size_t>(frames) * out.channels);
  std::free(samples);
  return frames > 0;
}
