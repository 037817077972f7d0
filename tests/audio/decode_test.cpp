// Decoding of WAVE and Ogg Vorbis files through the game object's loader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "tests/audio/sound_files.h"
#include "tests/audio/test_game.h"

namespace {

struct Decoded {
  unsigned char* data = nullptr;
  int length = -7, channels = -7, format = -7, hertz = -7;
  ~Decoded() { std::free(data); }
  std::vector<uint8_t> Bytes() const { return {data, data + size_t(length) * channels * format}; }
};

class DecodeTest : public ::testing::Test {
 protected:
  AudioTestGame game;
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
        WavLayout layout{channels, bits, 22050, fmt18, fmt18};
        std::vector<uint8_t> pcm = Tone(channels, bits, 1001);
        Decoded d;
        Load("tone.wav", WavBytes(layout, pcm), d);
        ASSERT_NE(d.data, nullptr);
        EXPECT_EQ(d.length, 1001);
        EXPECT_EQ(d.channels, channels);
        EXPECT_EQ(d.format, bits / 8);
        EXPECT_EQ(d.hertz, 22050);
        EXPECT_EQ(d.Bytes(), pcm);
      }
    }
  }
  // One second of 16-bit stereo at 44100 Hz: 44100 frames.
  Decoded d;
  Load("second.WAV", WavBytes({2, 16, 44100}, std::vector<uint8_t>(44100 * 4, 0)), d);
  ASSERT_NE(d.data, nullptr);
  EXPECT_EQ(d.length, 44100);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.format, 2);
}

TEST_F(DecodeTest, DamagedWaveFilesAreRefused) {
  std::vector<uint8_t> good = WavBytes({1, 16, 22050, true, true}, Tone(1, 16, 500));
  ASSERT_FALSE(Refused("good.wav", good));

  // Cut anywhere: in the header, in the LIST chunk, in the data.
  for (size_t keep : {size_t(0), size_t(10), size_t(30), size_t(50), good.size() - 1}) {
    EXPECT_TRUE(Refused("cut.wav", {good.begin(), good.begin() + keep})) << "kept " << keep;
  }
  // Wrong tags and non-PCM data.
  for (size_t at : {size_t(0), size_t(8), size_t(12)}) {
    std::vector<uint8_t> bad = good;
    bad[at] = 'X';
    EXPECT_TRUE(Refused("tag.wav", bad)) << "tag at " << at;
  }
  std::vector<uint8_t> compressed = good;
  compressed[20] = 2;
  EXPECT_TRUE(Refused("adpcm.wav", compressed));
  // No channels, or samples narrower than a byte: nothing to divide by.
  std::vector<uint8_t> silent = good;
  silent[22] = 0;
  EXPECT_TRUE(Refused("nochannels.wav", silent));
  std::vector<uint8_t> narrow = good;
  narrow[34] = 4;
  EXPECT_TRUE(Refused("nibbles.wav", narrow));
}

TEST_F(DecodeTest, HostileChunkSizesAreRefused) {
  std::vector<uint8_t> good = WavBytes({1, 16, 22050, true, true}, Tone(1, 16, 500));
  // Sizes far beyond the file, negative, and one byte more than is left.
  for (const char* tag : {"LIST", "data", "fmt "}) {
    for (uint32_t size : {0x7ffffff0u, 0xfffffff0u, 0x80000000u}) {
      std::vector<uint8_t> bad = good;
      PutLE32(bad, SizeFieldOf(bad, tag), size);
      EXPECT_TRUE(Refused("huge.wav", bad)) << tag << " size " << size;
    }
  }
  std::vector<uint8_t> over = good;
  size_t data_size = SizeFieldOf(over, "data");
  PutLE32(over, data_size, uint32_t(over.size() - data_size - 4 + 1));
  EXPECT_TRUE(Refused("over.wav", over));
  // A data size that matches what is left still loads.
  std::vector<uint8_t> exact = good;
  PutLE32(exact, data_size, uint32_t(exact.size() - data_size - 4));
  EXPECT_FALSE(Refused("exact.wav", exact));
}

TEST_F(DecodeTest, OggVorbisDecodesToItsLengthAndRateWhateverTheCaseOfItsName) {
  const int frames = 100000;
  std::vector<uint8_t> mono = OggBytes(SineTone(440, 22050, frames, 1), 1, 22050);
  Decoded d;
  Load("tune.OGG", mono, d);
  ASSERT_NE(d.data, nullptr);
  EXPECT_EQ(d.length, frames);
  EXPECT_EQ(d.channels, 1);
  EXPECT_EQ(d.format, 2);
  EXPECT_EQ(d.hertz, 22050);

  Decoded s;
  Load("tune.ogg", OggBytes(SineTone(440, 44100, 30000, 2), 2, 44100), s);
  ASSERT_NE(s.data, nullptr);
  EXPECT_EQ(s.length, 30000);
  EXPECT_EQ(s.channels, 2);
  EXPECT_EQ(s.hertz, 44100);
  // The decoded tone is still a tone: the middle of it is not silence.
  const int16_t* pcm = reinterpret_cast<const int16_t*>(s.data);
  int peak = 0;
  for (int i = 20000; i < 21000; ++i) peak = std::max(peak, std::abs(int(pcm[i])));
  EXPECT_GT(peak, 10000);

  // Ogg bytes under another name, garbage under the Ogg name, a cut stream.
  EXPECT_TRUE(Refused("tune.mp3", mono));
  EXPECT_TRUE(Refused("noise.ogg", std::vector<uint8_t>(5000, 0x5a)));
  EXPECT_TRUE(Refused("cut.ogg", {mono.begin(), mono.begin() + 40}));
}

TEST_F(DecodeTest, MissingFilesGiveNullAndDecodedBytesAreReportedToTheCollector) {
  Decoded missing;
  missing.data = gxtkDecodeAudioFile(&game, String(dir.Path("none.wav").c_str()), &missing.length, &missing.channels,
                                     &missing.format, &missing.hertz);
  EXPECT_EQ(missing.data, nullptr);

  // The collector takes the report into its count at its next step.
  gc_collect();
  int before = gc_ext_new_bytes;
  Decoded d;
  Load("tone.wav", WavBytes({2, 16, 22050}, Tone(2, 16, 1000)), d);
  ASSERT_NE(d.data, nullptr);
  gc_collect();
  EXPECT_EQ(gc_ext_new_bytes - before, 1000 * 2 * 2);
}

}  // namespace
