// Decoding of WAVE and Ogg Vorbis files through the game object's loader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "audio/decode.h"
#include "tests/support/sound.h"
#include "tests/support/support.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

namespace {

struct Decoded {
  unsigned char* data = nullptr;
  int length = -7, channels = -7, format = -7, hertz = -7;
  ~Decoded() { std::free(data); }
  std::vector<int> Layout() const { return {length, channels, format, hertz}; }
  std::vector<uint8_t> Bytes() const { return {data, data + size_t(length) * channels * format}; }
};

class DecodeTest : public ::testing::Test {
 protected:
  TestGame game;
  TempDir dir;

  // Writes `bytes` as `name` in the temporary folder and decodes it.
  void Load(const std::string& name, const std::vector<uint8_t>& bytes, Decoded& out) {
    WriteFile(dir.Path(name), bytes);
    out.data = gxtkDecodeAudioFile(&game, String(dir.Path(name).c_str()), &out.length, &out.channels, &out.format,
                                   &out.hertz);
  }
  bool Refused(const std::string& name, const std::vector<uint8_t>& bytes) {
    Decoded d;
    Load(name, bytes, d);
    return d.data == nullptr;
  }
};

std::vector<uint8_t> Tone(int channels, int bits, int frames) {
  return ToPcm(SineTone(440, 22050, frames, channels), bits / 8);
}

void PutLE32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

// Offset of a chunk's size field in a file made by WavBytes.
size_t SizeFieldOf(const std::vector<uint8_t>& file, const char* tag) {
  for (size_t i = 12; i + 8 <= file.size(); ++i) {
    if (std::memcmp(&file[i], tag, 4) == 0) return i + 4;
  }
  return 0;
}

TEST_F(DecodeTest, WaveFilesOfEveryLayoutDecodeToTheirSamples) {
  for (int channels : {1, 2}) {
    for (int bits : {8, 16}) {
      for (bool fmt18 : {false, true}) {
        SCOPED_TRACE(testing::Message() << channels << " channels, " << bits << " bits, fmt18 " << fmt18);
        std::vector<uint8_t> pcm = Tone(channels, bits, 1001);
        Decoded d;
        Load("tone.wav", WavBytes({channels, bits, 22050, fmt18, fmt18}, pcm), d);
        ASSERT_NE(d.data, nullptr);
        EXPECT_EQ(d.Layout(), (std::vector<int>{1001, channels, bits / 8, 22050}));
        EXPECT_EQ(d.Bytes(), pcm);
      }
    }
  }
  // One second of 16-bit stereo at 44100 Hz: 44100 frames, their bytes
  // reported to the collector (which counts them at its next step).
  gc_collect();
  const int before = gc_ext_new_bytes;
  Decoded d;
  Load("second.WAV", WavBytes({2, 16, 44100}, std::vector<uint8_t>(44100 * 4, 0)), d);
  EXPECT_EQ(d.Layout(), (std::vector<int>{44100, 2, 2, 44100}));
  gc_collect();
  EXPECT_EQ(gc_ext_new_bytes - before, 44100 * 4);
}

TEST_F(DecodeTest, DamagedWaveFilesAreRefused) {
  std::vector<uint8_t> good = WavBytes({1, 16, 22050, true, true}, Tone(1, 16, 500));
  ASSERT_FALSE(Refused("good.wav", good));
  std::vector<std::vector<uint8_t>> bad;
  // Cut anywhere: in the header, in the LIST chunk, in the data.
  for (size_t keep : {size_t(0), size_t(10), size_t(30), size_t(50), good.size() - 1}) {
    bad.emplace_back(good.begin(), good.begin() + keep);
  }
  // Wrong tags, non-PCM data, no channels, samples narrower than a byte.
  for (auto [at, value] : {std::pair<size_t, uint8_t>{0, 'X'}, {8, 'X'}, {12, 'X'}, {20, 2}, {22, 0}, {34, 4}}) {
    bad.push_back(good);
    bad.back()[at] = value;
  }
  // Chunk sizes far beyond the file, negative, or one byte more than is left.
  for (const char* tag : {"LIST", "data", "fmt "}) {
    for (uint32_t size : {0x7ffffff0u, 0xfffffff0u, 0x80000000u}) {
      bad.push_back(good);
      PutLE32(bad.back(), SizeFieldOf(good, tag), size);
    }
  }
  size_t data_size = SizeFieldOf(good, "data");
  bad.push_back(good);
  PutLE32(bad.back(), data_size, uint32_t(good.size() - data_size - 4 + 1));
  for (size_t i = 0; i < bad.size(); ++i) EXPECT_TRUE(Refused("bad.wav", bad[i])) << "damaged file " << i;
  // A data size that matches what is left still loads.
  std::vector<uint8_t> exact = good;
  PutLE32(exact, data_size, uint32_t(exact.size() - data_size - 4));
  EXPECT_FALSE(Refused("exact.wav", exact));
}

std::vector<uint8_t> Bytes(const std::string& path) {
  const std::string bytes = ReadFile(path);
  return {bytes.begin(), bytes.end()};
}

// The stream's length in frames as its last page gives it (the granule
// position after "OggS", version and header type).
int LastGranule(const std::vector<uint8_t>& ogg) {
  const std::string bytes(ogg.begin(), ogg.end());
  const size_t page = bytes.rfind("OggS");
  return int(uint32_t(ogg[page + 6]) | uint32_t(ogg[page + 7]) << 8 | uint32_t(ogg[page + 8]) << 16 |
             uint32_t(ogg[page + 9]) << 24);
}

// A short mono tone (the fuzz seed) and a game tune, whatever the case of
// their names.
TEST_F(DecodeTest, OggVorbisDecodesWholeStreamsToTheirLengthAndRate) {
  const std::vector<uint8_t> tone = Bytes(AUDIO_SEEDS "/short.ogg"), tune = Bytes("data/sfx/tune_1.ogg");
  Decoded d;
  Load("tone.OGG", tone, d);
  EXPECT_EQ(d.Layout(), (std::vector<int>{2000, 1, 2, 8000}));
  ASSERT_NE(d.data, nullptr);
  // The decoded tone is still a tone: the middle of it is not silence.
  const int16_t* pcm = reinterpret_cast<const int16_t*>(d.data);
  int peak = 0;
  for (int i = 900; i < 1100; ++i) peak = std::max(peak, std::abs(int(pcm[i])));
  EXPECT_GT(peak, 10000);
  Decoded s;
  Load("tune.ogg", tune, s);
  EXPECT_EQ(s.Layout(), (std::vector<int>{LastGranule(tune), 2, 2, 44100}));

  // Ogg bytes under another name, garbage under the Ogg name, a cut stream,
  // a codebook the decoder cannot hold.
  EXPECT_TRUE(Refused("tune.mp3", tone));
  EXPECT_TRUE(Refused("noise.ogg", std::vector<uint8_t>(5000, 0x5a)));
  EXPECT_TRUE(Refused("cut.ogg", {tone.begin(), tone.begin() + 40}));
  EXPECT_TRUE(Refused("huge.ogg", Bytes(AUDIO_SEEDS "/short-huge-codebook.ogg")));
}

}  // namespace
