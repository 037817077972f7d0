// Sound files made and read on the spot for the audio tests, the data
// checks and the benchmarks: tones and RIFF WAVE files with the chunk
// layouts real tools write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zephrine_test {

// A sine tone of `frames` sample frames, the same on every channel,
// interleaved, amplitude 0..1 of full scale.
std::vector<float> SineTone(double hertz, int rate, int frames, int channels, double amplitude = 0.5);

// The tone as PCM bytes: 1 byte per sample (unsigned) or 2 (signed LE).
std::vector<uint8_t> ToPcm(const std::vector<float>& samples, int bytes_per_sample);

struct WavLayout {
  int channels = 1;
  int bits = 16;
  int rate = 22050;
  bool fmt18 = false;       // an 18-byte fmt chunk (with the cbSize word)
  bool list_chunk = false;  // a LIST chunk between fmt and data
};

// The bytes of a whole WAVE file holding `pcm` as its data chunk.
std::vector<uint8_t> WavBytes(const WavLayout& layout, const std::vector<uint8_t>& pcm);

// A WAVE file as read back: its format tag and layout, and its 16-bit
// samples (interleaved). Format 0 when the file is no WAVE file.
struct Wav {
  int format = 0, channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;
};
Wav ReadWav(const std::string& path);

}  // namespace zephrine_test
