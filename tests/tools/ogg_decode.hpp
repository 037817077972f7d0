// Whole-file Ogg Vorbis decoding for the data checks, kept apart because
// the decoder's implementation defines short macro names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Decoded {
  int channels = 0, rate = 0;
  std::vector<int16_t> samples;  // interleaved
  size_t frames() const { return channels ? samples.size() / channels : 0; }
};

// Fills `out`; false (and `out` empty) when the file cannot be decoded.
bool decodeOggFile(const std::string& path, Decoded& out);
