// Checks the generated data folder as the game will read it: every file
// present, decodable, big enough for its frames, drawn at each variant's
// own resolution, and the tunes loopable without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "audio/audio.h"
#include "tests/support/sound.h"
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace fs = std::filesystem;

namespace {

// Tests run from the game folder, so data sits where the game finds it.
const fs::path kData = "data";
constexpr uintmax_t kDataBudgetBytes = 8u * 1024 * 1024;

struct Image {
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, stbi_image_free};
  const uint8_t* at(int x, int y) const { return &pixels.get()[(size_t(y) * width + x) * 4]; }
  // Columns [first, last] of the w x h cell at (x0, y0) that hold any ink;
  // first > last if none.
  std::pair<int, int> InkColumns(int x0, int y0, int w, int h) const {
    int first = w, last = -1;
    for (int i = 0; i < w * h; ++i) {
      if (at(x0 + i % w, y0 + i / w)[3] == 0) continue;
      first = std::min(first, i % w);
      last = std::max(last, i % w);
    }
    return {first, last};
  }
};

// Loads with the file's own channel count, as the game does.
Image Load(const fs::path& path) {
  Image img;
  img.pixels.reset(stbi_load(path.string().c_str(), &img.width, &img.height, &img.channels, 0));
  return img;
}

// Frame i's top-left corner when frames of width w run left to right in rows.
std::pair<int, int> FrameOrigin(const Image& img, int w, int h, int i) {
  return {(i % (img.width / w)) * w, (i / (img.width / w)) * h};
}

TEST(DataImages, EveryVariantHoldsItsFramesDrawnAtItsOwnResolution) {
  const struct {
    const char* name;
    int frameWidth, frameHeight, frames;
  } images[] = {
      {"common/icons", 32, 32, 16},      {"common/Buttons", 64, 64, 16}, {"common/dpad", 32, 32, 16},
      {"common/ZAWKLogo", 256, 256, 1},  {"common/Testcard_Circle", 256, 256, 1},
      {"fonts/editundo", 16, 16, 128},   {"menu", 256, 256, 4},          {"logo", 256, 128, 1},
      {"parts", 8, 8, 256},              {"BadgesA", 64, 64, 64},
  };
  for (const auto& spec : images) {
    int baseWidth = 0, baseHeight = 0;
    for (const auto& [scale, suffix] : {std::pair<int, const char*>{1, ""}, {2, "-hd"}, {4, "-hd2"}}) {
      const fs::path path = kData / (std::string(spec.name) + suffix + ".png");
      SCOPED_TRACE(path.string());
      const Image img = Load(path);
      ASSERT_NE(img.pixels, nullptr) << stbi_failure_reason();
      EXPECT_EQ(img.channels, 4);
      const int fw = spec.frameWidth * scale, fh = spec.frameHeight * scale;
      ASSERT_GE(img.width, fw);
      EXPECT_GE((img.width / fw) * (img.height / fh), spec.frames);
      // Larger variants are the same layout at more pixels.
      if (scale == 1) std::tie(baseWidth, baseHeight) = std::tie(img.width, img.height);
      EXPECT_EQ(img.width, baseWidth * scale);
      EXPECT_EQ(img.height, baseHeight * scale);
      // Every picture frame is drawn (the font has blank cells; its own test).
      for (int i = 0; scale == 1 && std::string(spec.name) != "fonts/editundo" && i < spec.frames; ++i) {
        const auto [x, y] = FrameOrigin(img, fw, fh, i);
        EXPECT_LE(img.InkColumns(x, y, fw, fh).first, fw - 1) << "frame " << i;
      }
      if (scale != 4) continue;
      // A nearest-neighbour upscale repeats every pixel in a 4 x 4 block;
      // art drawn at its own resolution has many blocks whose pixels differ.
      int inked = 0, mixed = 0;
      for (int b = 0; b < (img.width / 4) * (img.height / 4); ++b) {
        const int bx = b % (img.width / 4) * 4, by = b / (img.width / 4) * 4;
        bool differs = false, ink = false;
        for (int k = 0; k < 16; ++k) {
          ink = ink || img.at(bx + k % 4, by + k / 4)[3] > 0;
          differs = differs || std::memcmp(img.at(bx + k % 4, by + k / 4), img.at(bx, by), 4) != 0;
        }
        inked += ink;
        mixed += differs;
      }
      EXPECT_GT(mixed * 20, inked) << "fewer than 5% of inked blocks show sub-pixel detail";
    }
  }
}

TEST(DataFonts, GlyphsFitTheirAdvanceAndTheBuiltInFontHasClearPadding) {
  const Image img = Load(kData / "fonts/editundo.png");
  ASSERT_NE(img.pixels, nullptr);
  auto columns = [&](int frame) {
    const auto [x, y] = FrameOrigin(img, 16, 16, frame);
    return img.InkColumns(x, y, 16, 16);
  };
  for (int c = 33; c <= 126; ++c) {
    const auto [first, last] = columns(c - 32);
    SCOPED_TRACE(std::string("character ") + char(c));
    ASSERT_LE(first, last);
    // The layout advances 7 units (9 for w and m): wider ink would collide.
    EXPECT_LE(last - first + 1, (c == 'w' || c == 'm') ? 7 : (c == 'W' || c == 'M') ? 6 : 5);
    EXPECT_GE(first, 4);
    EXPECT_LE(last, 12);
  }
  EXPECT_LT(columns('i' - 32).second - columns('i' - 32).first, columns('o' - 32).second - columns('o' - 32).first);
  for (int frame : {96, 100, 101, 105, 108, 112, 117, 124}) {
    EXPECT_GE(columns(frame).second - columns(frame).first + 1, 7) << "button mark " << frame;
  }
  // The pad and key marks for J look different.
  const auto [x96, y96] = FrameOrigin(img, 16, 16, 96);
  const auto [x112, y112] = FrameOrigin(img, 16, 16, 112);
  bool differ = false;
  for (int i = 0; i < 256; ++i) {
    differ |= img.at(x96 + i % 16, y96 + i / 16)[3] != img.at(x112 + i % 16, y112 + i / 16)[3];
  }
  EXPECT_TRUE(differ);

  // The built-in font is one strip; the loader trims a column on each side.
  const Image strip = Load(kData / "vemo_font.png");
  ASSERT_NE(strip.pixels, nullptr);
  EXPECT_EQ(strip.channels, 4);
  ASSERT_EQ(strip.width % 96, 0);
  const int cell = strip.width / 96;
  ASSERT_GE(cell, 7);
  for (int i = 1; i < 95; ++i) {
    const auto [first, last] = strip.InkColumns(i * cell, 0, cell, strip.height);
    EXPECT_TRUE(first >= 1 && first <= last && last <= cell - 2) << "glyph " << i << ": " << first << "-" << last;
  }
}

int Peak(const std::vector<int16_t>& s) {
  int p = 0;
  for (int16_t v : s) p = std::max(p, std::abs(int(v)));
  return p;
}

TEST(DataSounds, EffectsArePcm16ShortAndAudible) {
  const std::pair<const char*, double> effects[] = {{"001", 1.0}, {"002", 1.0}, {"003", 1.0}, {"004", 1.0},
                                                    {"095", 1.0}, {"096", 2.0}, {"098", 1.0}, {"099", 0.3}};
  for (const auto& [file, maxSeconds] : effects) {
    SCOPED_TRACE(file);
    const zephrine_test::Wav w = zephrine_test::ReadWav((kData / "sfx" / (std::string(file) + ".wav")).string());
    EXPECT_EQ((std::vector<int>{w.format, w.bits}), (std::vector<int>{1, 16}));
    ASSERT_TRUE(w.channels >= 1 && w.rate > 0 && !w.samples.empty());
    EXPECT_LE(double(w.samples.size()) / w.channels / w.rate, maxSeconds);
    EXPECT_GT(Peak(w.samples), 3000) << "too quiet";
    EXPECT_LT(Peak(w.samples), 32767) << "clipped";
    EXPECT_LT(std::abs(w.samples.front()), 600) << "a click where the effect begins";
  }
}

// The interleaved 16-bit samples of a tune as the game's decoder reads it.
struct Tune {
  int frames = 0, channels = 0, rate = 0;
  std::vector<int16_t> samples;
  double Rms(size_t first, size_t count) const {
    double sum = 0;
    for (size_t i = first * channels; i < (first + count) * channels; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count * channels));
  }
};

Tune DecodeTune(const fs::path& path) {
  Tune t;
  std::FILE* f = std::fopen(path.string().c_str(), "rb");
  int format = 0;
  unsigned char* pcm = f ? LoadOGG(f, &t.frames, &t.channels, &format, &t.rate) : nullptr;
  if (f) std::fclose(f);
  const int16_t* samples = reinterpret_cast<const int16_t*>(pcm);
  if (pcm) t.samples.assign(samples, samples + t.frames * t.channels);
  std::free(pcm);
  return t;
}

TEST(DataTunes, FourStereoLoopsThatJoinWithoutAClick) {
  std::vector<int> lengths;
  for (int n = 1; n <= 4; ++n) {
    const fs::path path = kData / "sfx" / ("tune_" + std::to_string(n) + ".ogg");
    SCOPED_TRACE(path.string());
    const Tune d = DecodeTune(path);
    ASSERT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_GE(d.frames, 30 * d.rate);
    EXPECT_LE(d.frames, 90 * d.rate);
    // No fade at either end: the loop keeps its drive through the join.
    const size_t half = size_t(d.rate) / 2, frames = size_t(d.frames);
    const double overall = d.Rms(0, frames);
    EXPECT_GT(overall, 2000.0);
    EXPECT_GT(d.Rms(frames - half, half), 0.3 * overall);
    EXPECT_GT(d.Rms(0, half), 0.3 * overall);
    // The step from the last sample to the first is no bigger than the
    // ordinary steps inside the tune.
    for (int c = 0; c < 2; ++c) {
      std::vector<int> steps;
      for (size_t i = 1; i < frames; ++i) steps.push_back(std::abs(d.samples[i * 2 + c] - d.samples[i * 2 - 2 + c]));
      std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
      const int seam = std::abs(d.samples[c] - d.samples[(frames - 1) * 2 + c]);
      EXPECT_LE(seam, std::max(2 * steps[steps.size() * 99 / 100], 256)) << "channel " << c;
    }
    EXPECT_EQ(std::count(lengths.begin(), lengths.end(), d.frames), 0) << "tunes of the same length";
    lengths.push_back(d.frames);
  }
}

TEST(DataFolder, StaysWithinItsSizeBudget) {
  uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kData)) {
    if (entry.is_regular_file()) total += entry.file_size();
  }
  EXPECT_GT(total, 0u);
  EXPECT_LT(total, kDataBudgetBytes);
}

}  // namespace
