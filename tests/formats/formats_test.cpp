// Sounds, tunes and pictures as other people's tools write them, made at
// test time with sox, oggenc and ImageMagick: each loads through the game's
// own loaders, holds what the tool itself reads back from the file, and
// plays (sounds) or draws (pictures, in a real window).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/graphics/support.h"
#include "tests/support/support.h"

using namespace zephrine_test;

namespace {

// Standard output of a shell command.
std::string Output(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  char buf[4096];
  for (size_t n; pipe && (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  if (pipe) pclose(pipe);
  return out;
}

std::string Le32(size_t n) { return {char(n), char(n >> 8), char(n >> 16), char(n >> 24)}; }

// A RIFF chunk, with the pad byte that follows an odd-sized body.
std::string Chunk(const std::string& tag, const std::string& body) {
  return tag + Le32(body.size()) + body + std::string(body.size() % 2, '\0');
}

// sox's plain WAVE file laid out again as recorders and editors write them:
// odd-sized chunks of their own before and after the format and the data,
// and the extensible format (tag 0xFFFE, PCM sub-format).
std::string Rewrap(const std::string& sox, bool extensible) {
  const size_t data_size = uint8_t(sox[40]) | uint8_t(sox[41]) << 8 | uint8_t(sox[42]) << 16 | uint8_t(sox[43]) << 24;
  std::string fmt = sox.substr(20, 16), data = sox.substr(44, data_size);
  if (extensible) {
    const std::string pcm_guid("\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 16);
    fmt = "\xFE\xFF" + fmt.substr(2) + std::string("\x16\0", 2) + fmt.substr(14, 2) + std::string(4, '\0') + pcm_guid;
  }
  const std::string body = "WAVE" + Chunk("JUNK", std::string(27, '\0')) + Chunk("bext", std::string(603, 'b')) +
                           Chunk("fmt ", fmt) + Chunk("LIST", "INFOISFTrec") + Chunk("data", data) +
                           Chunk("LIST", "INFOICMT9");
  return "RIFF" + Le32(body.size()) + body;
}

TEST(Formats, SoundsFromOtherToolsDecodeAsTheToolReadsThemAndPlay) {
  TempDir dir;
  const std::string tone = " synth 0.3 sine 440 gain -3";
  const struct {
    const char* name;
    std::string make;  // writes the file named $F
    int rewrap;        // 0 as written, 1 recorder's chunks, 2 and the extensible format
    int tolerance;     // of a sample against the tool's own decoding
  } files[] = {
      {"mono8.wav", "sox -n -b 8 -r 22050 -c 1 $F" + tone, 0, 0},
      {"stereo16.wav", "sox -n -b 16 -r 44100 -c 2 $F" + tone, 1, 0},
      {"stereo8.wav", "sox -n -b 8 -r 48000 -c 2 $F" + tone, 2, 0},
      {"mono8-odd.wav", "sox -n -b 8 -r 22050 -c 1 $F" + tone, 1, 0},  // 6615 data bytes and a pad
      {"mono16.wav", "sox -n -b 16 -r 32000 -c 1 $F" + tone, 2, 0},
      {"oggenc.ogg", "sox -n -b 16 -r 44100 -c 2 $F.wav" + tone + " && oggenc -Q -q 3 -o $F $F.wav", 0, 2},
      {"oggenc-mono.ogg", "sox -n -b 16 -r 22050 -c 1 $F.wav" + tone + " && oggenc -Q -q -1 -o $F $F.wav", 0, 2},
      {"sox.ogg", "sox -n -r 48000 -c 2 $F" + tone, 0, 2},
  };
  gxtkAudio* audio = new gxtkAudio();
  gc_root(audio);
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const std::string path = dir.Path(f.name);
    ASSERT_EQ(std::system(("F=" + path + "; " + f.make).c_str()), 0);
    if (f.rewrap) WriteFile(path, Rewrap(ReadFile(path), f.rewrap == 2));
    int length = 0, channels = 0, bytes = 0, hertz = 0;
    unsigned char* pcm = gxtkDecodeAudioFile(&Game(), String(path.c_str()), &length, &channels, &bytes, &hertz);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(Output("soxi -c " + path + "; soxi -r " + path + "; soxi -s " + path),
              std::to_string(channels) + "\n" + std::to_string(hertz) + "\n" + std::to_string(length) + "\n");
    const std::string truth = Output("sox " + path + " -t raw -e " + (bytes == 1 ? "unsigned -b 8 -" : "signed -b 16 -"));
    ASSERT_EQ(truth.size(), size_t(length) * channels * bytes);
    int worst = 0;
    for (size_t i = 0; i < truth.size(); i += bytes) {
      const int ours = bytes == 1 ? pcm[i] : int16_t(pcm[i] | pcm[i + 1] << 8);
      const int theirs = bytes == 1 ? uint8_t(truth[i]) : int16_t(uint8_t(truth[i]) | uint8_t(truth[i + 1]) << 8);
      worst = std::max(worst, std::abs(ours - theirs));
    }
    EXPECT_LE(worst, f.tolerance);
    std::free(pcm);
    gxtkSample* sample = audio->LoadSample(String(path.c_str()));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(audio->PlaySample(sample, 0, 0), 0);
    EXPECT_EQ(audio->ChannelState(0), AUDIO_PLAYING);
  }
}

TEST(Formats, PicturesFromAnImageEditorDrawAsTheEditorReadsThem) {
  TempDir dir;
  // Red, green, half-transparent blue, transparent, then black, white, grey
  // and half-transparent white.
  const std::vector<unsigned char> source = {255, 0,   0,   255, 0,   255, 0,   255, 0,   0,   255,
                                             128, 0,   0,   0,   0,   0,   0,   0,   255, 255, 255,
                                             255, 255, 128, 128, 128, 255, 255, 255, 255, 128};
  ASSERT_TRUE(WritePng(dir.Path("source.png"), 8, 1, 4, source.data()));
  const struct {
    const char* options;
    int depth, type, interlace;  // what the header must say was written
  } pictures[] = {
      {"-define png:color-type=3", 4, 3, 0},  // 16 colours or fewer: 4-bit palette
      {"-colorspace Gray -alpha off -define png:color-type=0", 8, 0, 0},
      {"-colorspace Gray -define png:color-type=4", 8, 4, 0},
      {"-depth 16 -define png:bit-depth=16 -define png:color-type=6", 16, 6, 0},
      {"-colorspace Gray -alpha off -depth 16 -interlace PNG -define png:color-type=0", 16, 0, 1},
      {"-interlace PNG -define png:color-type=6", 8, 6, 1},
      {"-alpha off -depth 16 -interlace PNG -define png:bit-depth=16 -define png:color-type=2", 16, 2, 1},
  };
  const int scale = 8, rows = sizeof pictures / sizeof pictures[0];
  Game().OpenWindow(8 * scale, rows * scale);
  bb_graphics_SetGraphicsDevice(new gxtkGraphics());
  gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  ASSERT_EQ(bb_graphics_device->BeginRender(), 1);
  bb_graphics_BeginRender();
  bb_graphics_device->Cls(0, 0, 0);
  for (int row = 0; row < rows; ++row) {
    SCOPED_TRACE(pictures[row].options);
    const std::string path = dir.Path(std::to_string(row) + ".png");
    ASSERT_EQ(std::system(("convert " + dir.Path("source.png") + " " + pictures[row].options + " " + path).c_str()), 0);
    const std::string file = ReadFile(path), truth = Output("convert " + path + " -depth 8 rgba:-");
    EXPECT_EQ(std::vector<int>({file[24], file[25], file[28]}),
              std::vector<int>({pictures[row].depth, pictures[row].type, pictures[row].interlace}));
    ASSERT_EQ(truth.size(), 32u);
    c_Image* image = bb_graphics_LoadImage(String(path.c_str()), 1, 0);
    ASSERT_NE(image, nullptr);
    bb_graphics_DrawImage2(image, 0, float(row * scale), 0, float(scale), float(scale), 0);
    for (int x = 0; x < 8; ++x) {
      const unsigned shown = Rgb(x * scale + scale / 2, row * scale + scale / 2);
      const int alpha = uint8_t(truth[4 * x + 3]);
      for (int c = 0; c < 3; ++c) {
        const int want = uint8_t(truth[4 * x + c]) * alpha / 255, got = (shown >> (16 - 8 * c)) & 0xFF;
        EXPECT_NEAR(got, want, 1) << "pixel " << x << " channel " << c;
      }
    }
  }
  bb_graphics_EndRender();
  bb_graphics_device->EndRender();
}

}  // namespace
