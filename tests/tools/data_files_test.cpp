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

// An image loaded with the file's own channel count, as the game does, cut
// into frames of w x h that run left to right in rows.
struct Image {
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, stbi_image_free};
  explicit Image(const fs::path& path) { pixels.reset(stbi_load(path.string().c_str(), &width, &height, &channels, 0)); }
  const uint8_t* at(int x, int y) const { return &pixels.get()[(size_t(y) * width + x) * 4]; }
  // Columns [first, last] of frame i that hold any ink; first > last if none.
  std::pair<int, int> InkColumns(int w, int h, int i) const {
    const int x0 = (i % (width / w)) * w, y0 = (i / (width / w)) * h;
    int first = w, last = -1;
    for (int p = 0; p < w * h; ++p) {
      if (at(x0 + p % w, y0 + p / w)[3] == 0) continue;
      first = std::min(first, p % w);
      last = std::max(last, p % w);
    }
    return {first, last};
  }
};

// Share of the inked 4 x 4 blocks whose pixels differ: a nearest-neighbour
// upscale repeats every pixel in such a block.
double DetailedBlocks(const Image& img) {
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
  return double(mixed) / std::max(inked, 1);
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
  for (const auto& want : images) {
    const Image base(kData / (std::string(want.name) + ".png"));
    for (const auto& [scale, suffix] : {std::pair<int, const char*>{1, ""}, {2, "-hd"}, {4, "-hd2"}}) {
      const fs::path path = kData / (std::string(want.name) + suffix + ".png");
      SCOPED_TRACE(path.string());
      const Image img(path);
      ASSERT_NE(img.pixels, nullptr) << stbi_failure_reason();
      const int fw = want.frameWidth * scale, fh = want.frameHeight * scale;
      // Larger variants are the same layout at more pixels.
      EXPECT_EQ((std::vector<int>{img.channels, img.width, img.height}),
                (std::vector<int>{4, base.width * scale, base.height * scale}));
      ASSERT_GE(img.width, fw);
      EXPECT_GE((img.width / fw) * (img.height / fh), want.frames);
      // Every picture frame is drawn (the font has blank cells; its own test).
      for (int i = 0; scale == 1 && std::string(want.name) != "fonts/editundo" && i < want.frames; ++i) {
        EXPECT_LE(img.InkColumns(fw, fh, i).first, fw - 1) << "frame " << i;
      }
      EXPECT_TRUE(scale != 4 || DetailedBlocks(img) > 0.05) << "upscaled, not drawn at its own resolution";
    }
  }
}

TEST(DataFonts, GlyphsFitTheirAdvanceAndTheBuiltInFontHasClearPadding) {
  const Image img(kData / "fonts/editundo.png");
  ASSERT_NE(img.pixels, nullptr);
  auto width = [&](int frame) { return img.InkColumns(16, 16, frame).second - img.InkColumns(16, 16, frame).first + 1; };
  for (int c = 33; c <= 126; ++c) {
    const auto [first, last] = img.InkColumns(16, 16, c - 32);
    SCOPED_TRACE(std::string("character ") + char(c));
    // The layout advances 7 units (9 for w and m): wider ink would collide.
    EXPECT_TRUE(first >= 4 && first <= last && last <= 12);
    EXPECT_LE(last - first + 1, (c == 'w' || c == 'm') ? 7 : (c == 'W' || c == 'M') ? 6 : 5);
  }
  EXPECT_LT(width('i' - 32), width('o' - 32));
  // Button marks are wide, and the pad and key marks for J differ.
  for (int frame : {96, 100, 101, 105, 108, 112, 117, 124}) EXPECT_GE(width(frame), 7) << "button mark " << frame;
  bool differ = false;
  for (int i = 0; i < 256; ++i) differ |= img.at(i % 16, 96 + i / 16)[3] != img.at(i % 16, 112 + i / 16)[3];
  EXPECT_TRUE(differ);

  // The built-in font is one strip; the loader trims a column on each side.
  const Image strip(kData / "vemo_font.png");
  ASSERT_NE(strip.pixels, nullptr);
  ASSERT_TRUE(strip.channels == 4 && strip.width % 96 == 0 && strip.width / 96 >= 7);
  const int cell = strip.width / 96;
  for (int i = 1; i < 95; ++i) {
    const auto [first, last] = strip.InkColumns(cell, strip.height, i);
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
    EXPECT_TRUE(Peak(w.samples) > 3000 && Peak(w.samples) < 32767) << "too quiet or clipped";
    EXPECT_LT(std::abs(w.samples.front()), 600) << "a click where the effect begins";
  }
}

TEST(DataTunes, FourStereoLoopsThatJoinWithoutAClick) {
  std::vector<int> lengths;
  for (int n = 1; n <= 4; ++n) {
    const fs::path path = kData / "sfx" / ("tune_" + std::to_string(n) + ".ogg");
    SCOPED_TRACE(path.string());
    // The interleaved 16-bit samples as the game's decoder reads them.
    std::FILE* f = std::fopen(path.string().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int frames = 0, channels = 0, format = 0, rate = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pcm(LoadOGG(f, &frames, &channels, &format, &rate), std::free);
    std::fclose(f);
    ASSERT_TRUE(pcm && channels == 2);
    EXPECT_EQ(rate, 44100);
    EXPECT_TRUE(frames >= 30 * rate && frames <= 90 * rate) << frames;
    const int16_t* s = reinterpret_cast<const int16_t*>(pcm.get());
    auto rms = [&](int first, int count) {
      double sum = 0;
      for (int i = first * 2; i < (first + count) * 2; ++i) sum += double(s[i]) * s[i];
      return std::sqrt(sum / (count * 2.0));
    };
    // No fade at either end: the loop keeps its drive through the join.
    const double overall = rms(0, frames);
    EXPECT_GT(overall, 2000.0);
    EXPECT_GT(rms(frames - rate / 2, rate / 2), 0.3 * overall);
    EXPECT_GT(rms(0, rate / 2), 0.3 * overall);
    // The step from the last sample to the first is no bigger than the
    // ordinary steps inside the tune.
    for (int c = 0; c < 2; ++c) {
      std::vector<int> steps;
      for (int i = 1; i < frames; ++i) steps.push_back(std::abs(s[i * 2 + c] - s[i * 2 - 2 + c]));
      std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
      const int seam = std::abs(s[c] - s[(frames - 1) * 2 + c]);
      EXPECT_LE(seam, std::max(2 * steps[steps.size() * 99 / 100], 256)) << "channel " << c;
    }
    EXPECT_EQ(std::count(lengths.begin(), lengths.end(), frames), 0) << "tunes of the same length";
    lengths.push_back(frames);
  }
}

TEST(DataFolder, StaysWithinItsSizeBudget) {
  uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kData)) {
    if (entry.is_regular_file()) total += entry.file_size();
  }
  EXPECT_TRUE(total > 0 && total < kDataBudgetBytes) << total;
}

}  // namespace
