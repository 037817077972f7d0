#include "tests/support/sound.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tests/support/support.h"

namespace zephrine_test {

std::vector<float> SineTone(double hertz, int rate, int frames, int channels, double amplitude) {
  std::vector<float> out(size_t(frames) * channels);
  for (int i = 0; i < frames; ++i) {
    float v = float(amplitude * std::sin(2.0 * M_PI * hertz * i / rate));
    for (int c = 0; c < channels; ++c) out[size_t(i) * channels + c] = v;
  }
  return out;
}

std::vector<uint8_t> ToPcm(const std::vector<float>& samples, int bytes_per_sample) {
  std::vector<uint8_t> out;
  for (float s : samples) {
    if (bytes_per_sample == 1) {
      out.push_back(uint8_t(std::lround(128 + 127 * s)));
      continue;
    }
    int16_t v = int16_t(std::lround(32767 * s));
    out.push_back(uint8_t(v & 0xff));
    out.push_back(uint8_t((v >> 8) & 0xff));
  }
  return out;
}

namespace {

void Put(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> WavBytes(const WavLayout& layout, const std::vector<uint8_t>& pcm) {
  std::vector<uint8_t> body;
  Put(body, "WAVE");
  Put(body, "fmt ");
  PutLE(body, layout.fmt18 ? 18 : 16, 4);
  PutLE(body, 1, 2);
  PutLE(body, layout.channels, 2);
  PutLE(body, layout.rate, 4);
  int block = layout.channels * layout.bits / 8;
  PutLE(body, layout.rate * block, 4);
  PutLE(body, block, 2);
  PutLE(body, layout.bits, 2);
  if (layout.fmt18) PutLE(body, 0, 2);
  if (layout.list_chunk) {
    static const char info[] = "INFOISFT\x0e\0\0\0Lavf58.76.100\0";
    Put(body, "LIST");
    PutLE(body, sizeof(info) - 1, 4);
    body.insert(body.end(), info, info + sizeof(info) - 1);
  }
  Put(body, "data");
  PutLE(body, uint32_t(pcm.size()), 4);
  body.insert(body.end(), pcm.begin(), pcm.end());

  std::vector<uint8_t> file;
  Put(file, "RIFF");
  PutLE(file, uint32_t(body.size()), 4);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

namespace {

uint32_t LittleEndian(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t(uint8_t(b[at + i])) << (8 * i);
  return v;
}

}  // namespace

Wav ReadWav(const std::string& path) {
  const std::string b = ReadFile(path);
  Wav w;
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return w;
  for (size_t at = 12; at + 8 <= b.size();) {
    const size_t size = std::min<size_t>(LittleEndian(b, at + 4, 4), b.size() - at - 8);
    if (b.compare(at, 4, "fmt ") == 0 && size >= 16) {
      w.format = int(LittleEndian(b, at + 8, 2));
      w.channels = int(LittleEndian(b, at + 10, 2));
      w.rate = int(LittleEndian(b, at + 12, 4));
      w.bits = int(LittleEndian(b, at + 22, 2));
    } else if (b.compare(at, 4, "data") == 0) {
      for (size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(int16_t(LittleEndian(b, at + 8 + i, 2)));
    }
    at += 8 + size + (size & 1);
  }
  return w;
}

}  // namespace zephrine_test
