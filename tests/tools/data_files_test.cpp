// Checks the generated data folder as the game will read it: every file
// present, decodable, big enough for its frames, drawn at each variant's
// own resolution, and the tunes loopable without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ogg_decode.hpp"
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace fs = std::filesystem;

namespace {

// Tests run from the game folder, so data sits where the game finds it.
const fs::path kData = "data";
constexpr uintmax_t kDataBudgetBytes = 8u * 1024 * 1024;

struct ImageSpec {
  const char* name;
  int frameWidth, frameHeight, frames;
};

const ImageSpec kImages[] = {
    {"common/icons", 32, 32, 16}, {"common/Buttons", 64, 64, 16}, {"common/dpad", 32, 32, 16},
    {"common/ZAWKLogo", 256, 256, 1}, {"common/Testcard_Circle", 256, 256, 1}, {"fonts/editundo", 16, 16, 128},
    {"menu", 256, 256, 4}, {"logo", 256, 128, 1}, {"parts", 8, 8, 256}, {"BadgesA", 64, 64, 64},
};

struct Variant {
  int scale;
  const char* suffix;
};
const Variant kVariants[] = {{1, ""}, {2, "-hd"}, {4, "-hd2"}};

struct Image {
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, stbi_image_free};

  uint8_t alpha(int x, int y) const { return pixels.get()[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
  const uint8_t* at(int x, int y) const { return &pixels.get()[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Loads with the file's own channel count, as the game does.
Image load(const fs::path& path) {
  Image img;
  img.pixels.reset(stbi_load(path.string().c_str(), &img.width, &img.height, &img.channels, 0));
  return img;
}

// Frame i's top-left corner when frames run left to right in rows.
std::pair<int, int> frameOrigin(const Image& img, int w, int h, int i) {
  const int perRow = img.width / w;
  return {(i % perRow) * w, (i / perRow) * h};
}

bool frameHasInk(const Image& img, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      if (img.alpha(x, y) > 0) return true;
    }
  }
  return false;
}

// Columns [first, last] of a frame that hold any ink; first > last if none.
std::pair<int, int> inkColumns(const Image& img, int x0, int y0, int w, int h) {
  int first = w, last = -1;
  for (int x = 0; x < w; ++x) {
    for (int y = y0; y < y0 + h; ++y) {
      if (img.alpha(x0 + x, y) > 0) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  return {first, last};
}

TEST(DataImages, EveryVariantDecodesAsRgbaAndHoldsItsFrames) {
  for (const ImageSpec& spec : kImages) {
    int baseWidth = 0, baseHeight = 0;
    for (const Variant& v : kVariants) {
      const fs::path path = kData / (std::string(spec.name) + v.suffix + ".png");
      SCOPED_TRACE(path.string());
      const Image img = load(path);
      ASSERT_NE(img.pixels, nullptr) << stbi_failure_reason();
      EXPECT_EQ(img.channels, 4);
      const int fw = spec.frameWidth * v.scale, fh = spec.frameHeight * v.scale;
      ASSERT_GE(img.width, fw);
      EXPECT_GE((img.width / fw) * (img.height / fh), spec.frames);
      if (v.scale == 1) {
        baseWidth = img.width;
        baseHeight = img.height;
      }
      // Larger variants are the same layout at more pixels, so frame
      // positions match across variants.
      EXPECT_EQ(img.width, baseWidth * v.scale);
      EXPECT_EQ(img.height, baseHeight * v.scale);
    }
  }
}

TEST(DataImages, EveryPictureFrameIsDrawn) {
  for (const ImageSpec& spec : kImages) {
    if (std::string(spec.name) == "fonts/editundo") continue;  // has blank cells; see the font test
    const Image img = load(kData / (std::string(spec.name) + ".png"));
    ASSERT_NE(img.pixels, nullptr) << spec.name;
    for (int i = 0; i < spec.frames; ++i) {
      const auto [x, y] = frameOrigin(img, spec.frameWidth, spec.frameHeight, i);
      EXPECT_TRUE(frameHasInk(img, x, y, spec.frameWidth, spec.frameHeight)) << spec.name << " frame " << i;
    }
  }
}

// A nearest-neighbour upscale repeats every pixel in a 4 × 4 block; art
// drawn at its own resolution has many blocks whose pixels differ.
TEST(DataImages, LargestVariantIsDrawnAtItsOwnResolution) {
  for (const ImageSpec& spec : kImages) {
    const Image img = load(kData / (std::string(spec.name) + "-hd2.png"));
    ASSERT_NE(img.pixels, nullptr) << spec.name;
    int inked = 0, mixed = 0;
    for (int by = 0; by + 4 <= img.height; by += 4) {
      for (int bx = 0; bx + 4 <= img.width; bx += 4) {
        bool differs = false, ink = false;
        for (int k = 0; k < 16; ++k) {
          const uint8_t* p = img.at(bx + k % 4, by + k / 4);
          ink = ink || p[3] > 0;
          differs = differs || std::memcmp(p, img.at(bx, by), 4) != 0;
        }
        inked += ink;
        mixed += differs;
      }
    }
    EXPECT_GT(mixed * 20, inked) << spec.name << ": fewer than 5% of inked blocks show sub-pixel detail";
  }
}

TEST(DataFonts, GameFontCoversAsciiAndButtonMarksWithinTheAdvance) {
  const Image img = load(kData / "fonts/editundo.png");
  ASSERT_NE(img.pixels, nullptr);
  auto columns = [&](int frame) {
    const auto [x, y] = frameOrigin(img, 16, 16, frame);
    return inkColumns(img, x, y, 16, 16);
  };
  for (int c = 33; c <= 126; ++c) {
    const auto [first, last] = columns(c - 32);
    SCOPED_TRACE(std::string("character ") + static_cast<char>(c));
    ASSERT_LE(first, last);
    // The layout advances 7 units (9 for w and m): wider ink would collide.
    const int limit = (c == 'w' || c == 'm') ? 7 : (c == 'W' || c == 'M') ? 6 : 5;
    EXPECT_LE(last - first + 1, limit);
    EXPECT_GE(first, 4);
    EXPECT_LE(last, 12);
  }
  EXPECT_LT(columns('i' - 32).second - columns('i' - 32).first, columns('o' - 32).second - columns('o' - 32).first);
  for (int frame : {96, 100, 101, 105, 108, 112, 117, 124}) {
    const auto [first, last] = columns(frame);
    EXPECT_GE(last - first + 1, 7) << "button mark " << frame;
  }
  const auto [x96, y96] = frameOrigin(img, 16, 16, 96);
  const auto [x112, y112] = frameOrigin(img, 16, 16, 112);
  bool padDiffersFromKey = false;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) padDiffersFromKey |= img.alpha(x96 + x, y96 + y) != img.alpha(x112 + x, y112 + y);
  }
  EXPECT_TRUE(padDiffersFromKey) << "the pad and key marks for J must look different";
}

TEST(DataFonts, BuiltInFontIsOneStripWithClearPadding) {
  const Image img = load(kData / "vemo_font.png");
  ASSERT_NE(img.pixels, nullptr);
  EXPECT_EQ(img.channels, 4);
  ASSERT_EQ(img.width % 96, 0);
  const int cell = img.width / 96;
  ASSERT_GE(cell, 7);
  for (int i = 1; i < 95; ++i) {
    // The loader trims one column on each side of every frame.
    const auto [first, last] = inkColumns(img, i * cell, 0, cell, img.height);
    EXPECT_GE(first, 1) << "glyph " << i;
    EXPECT_LE(last, cell - 2) << "glyph " << i;
    EXPECT_LE(first, last) << "glyph " << i << " is empty";
  }
}

// ------------------------------------------------------------ sounds

struct Wav {
  int format = 0, channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;
};

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(b.at(at + i)) << (8 * i);
  return v;
}

Wav readWav(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wav w;
  if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) return w;
  for (size_t at = 12; at + 8 <= b.size();) {
    const uint32_t size = le(b, at + 4, 4);
    if (std::memcmp(&b[at], "fmt ", 4) == 0) {
      w.format = le(b, at + 8, 2);
      w.channels = le(b, at + 10, 2);
      w.rate = le(b, at + 12, 4);
      w.bits = le(b, at + 22, 2);
    } else if (std::memcmp(&b[at], "data", 4) == 0 && at + 8 + size <= b.size()) {
      for (size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(static_cast<int16_t>(le(b, at + 8 + i, 2)));
    }
    at += 8 + size + (size & 1);
  }
  return w;
}

int peak(const std::vector<int16_t>& s) {
  int p = 0;
  for (int16_t v : s) p = std::max(p, std::abs(static_cast<int>(v)));
  return p;
}

TEST(DataSounds, EffectsArePcm16ShortAndAudible) {
  const struct {
    const char* file;
    double maxSeconds;
  } kSounds[] = {{"001", 1.0}, {"002", 1.0}, {"003", 1.0}, {"004", 1.0},
                 {"095", 1.0}, {"096", 2.0}, {"098", 1.0}, {"099", 0.3}};
  for (const auto& s : kSounds) {
    SCOPED_TRACE(s.file);
    const Wav w = readWav(kData / "sfx" / (std::string(s.file) + ".wav"));
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.bits, 16);
    ASSERT_GE(w.channels, 1);
    ASSERT_GT(w.rate, 0);
    ASSERT_FALSE(w.samples.empty());
    const double seconds = double(w.samples.size()) / w.channels / w.rate;
    EXPECT_LE(seconds, s.maxSeconds);
    EXPECT_GT(peak(w.samples), 3000) << "too quiet";
    EXPECT_LT(peak(w.samples), 32767) << "clipped";
    // Starts from silence: no click when the effect begins.
    EXPECT_LT(std::abs(w.samples.front()), 600);
  }
}

Decoded decodeOgg(const fs::path& path) {
  Decoded d;
  decodeOggFile(path.string(), d);
  return d;
}

double rms(const Decoded& d, size_t firstFrame, size_t count) {
  double sum = 0;
  for (size_t i = firstFrame * d.channels; i < (firstFrame + count) * d.channels; ++i) sum += double(d.samples[i]) * d.samples[i];
  return std::sqrt(sum / (count * d.channels));
}

TEST(DataTunes, FourStereoLoopsThatJoinWithoutAClick) {
  std::vector<Decoded> tunes;
  for (int n = 1; n <= 4; ++n) {
    const fs::path path = kData / "sfx" / ("tune_" + std::to_string(n) + ".ogg");
    SCOPED_TRACE(path.string());
    Decoded d = decodeOgg(path);
    ASSERT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    const double seconds = double(d.frames()) / d.rate;
    EXPECT_GE(seconds, 30.0);
    EXPECT_LE(seconds, 90.0);
    // No fade at either end: the loop keeps its drive through the join.
    const size_t half = d.rate / 2;
    const double overall = rms(d, 0, d.frames());
    EXPECT_GT(overall, 2000.0);
    EXPECT_GT(rms(d, d.frames() - half, half), 0.3 * overall);
    EXPECT_GT(rms(d, 0, half), 0.3 * overall);
    // The step from the last sample to the first is no bigger than the
    // ordinary steps inside the tune.
    for (int c = 0; c < 2; ++c) {
      std::vector<int> steps;
      for (size_t i = 1; i < d.frames(); ++i) steps.push_back(std::abs(d.samples[i * 2 + c] - d.samples[(i - 1) * 2 + c]));
      std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
      const int typical = steps[steps.size() * 99 / 100];
      const int seam = std::abs(d.samples[c] - d.samples[(d.frames() - 1) * 2 + c]);
      EXPECT_LE(seam, std::max(2 * typical, 256)) << "channel " << c;
    }
    tunes.push_back(std::move(d));
  }
  for (size_t a = 0; a < tunes.size(); ++a) {
    for (size_t b = a + 1; b < tunes.size(); ++b) EXPECT_NE(tunes[a].frames(), tunes[b].frames()) << a << " " << b;
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
