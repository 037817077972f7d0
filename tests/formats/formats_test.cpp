// Sounds, tunes and pictures as other people's tools write them, made at
// test time with sox, oggenc and ImageMagick: each loads through the game's
// own loaders and holds what the tool itself reads back from the file.
// Sounds then play one after another as music, each letting go of the one
// before (a tune streamed, any other sound whole); pictures draw in a real window, one row each.
#include <AL/al.h>
#include <gtest/gtest.h>

#include "audio/mixer.h"
#include "tests/support/test_game.h"
#include "tests/support/support.h"

using namespace zephrine_test;

// Standard output of a shell command.
std::string Output(const std::string& command) {
  TempDir dir;
  return std::system((command + " > " + dir.Path("out")).c_str()) == 0 ? ReadFile(dir.Path("out")) : "";
}

// A RIFF chunk: tag, little-endian size, body, and a pad byte after an odd body.
std::string Chunk(const std::string& tag, const std::string& body) {
  const size_t n = body.size();
  return tag + std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)} + body + std::string(n % 2, '\0');
}

// sox's plain WAVE file laid out as recorders and editors write them: odd
// chunks of their own before and after the format and the data, and the
// extensible format (tag 0xFFFE, the PCM sub-format).
std::string Rewrap(const std::string& sox, bool extensible) {
  std::string fmt = sox.substr(20, 16);
  if (extensible) fmt = "\xFE\xFF" + fmt.substr(2) + std::string("\x16\0", 2) + fmt.substr(14, 2) + std::string(4, 0) +
                        std::string("\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 16);
  return Chunk("RIFF", "WAVE" + Chunk("JUNK", std::string(27, 0)) + Chunk("bext", std::string(603, 'b')) +
                           Chunk("fmt ", fmt) + Chunk("LIST", "INFOISFTrec") +
                           Chunk("data", sox.substr(44, sox.size() - 44 - (sox[40] & 1))) + Chunk("LIST", "INFOICMT9"));
}

TEST(Formats, FilesFromOtherToolsLoadAsTheToolsReadThemAndPlayOrDraw) {
  TempDir dir;
  const std::string tone = " synth 0.3 sine 440 gain -3", ogg = " && oggenc -Q -o $F $F.wav", png = "convert $S ",
                    deep = " -depth 16 -define png:bit-depth=16", lace = " -interlace PNG ", grey = "-colorspace Gray ";
  // A name, a command that writes the file $F, and what to expect: for a sound, whether to lay it out again with an
  // editor's chunks (1) and the extensible format (2), and the tolerance per sample; for a picture, the bit depth,
  // colour type and interlacing its header must give.
  const std::tuple<const char*, std::string, std::vector<int>> files[] = {
      {"mono8.wav", "sox -n -b 8 -r 22050 -c 1 $F" + tone, {0, 0}},
      {"stereo16.wav", "sox -n -b 16 -r 44100 -c 2 $F" + tone, {1, 0}},
      {"mono8-odd.wav", "sox -n -b 8 -r 22050 -c 1 $F" + tone, {1, 0}},  // 6615 data bytes and a pad
      {"stereo8.wav", "sox -n -b 8 -r 48000 -c 2 $F" + tone, {2, 0}},
      {"mono16.wav", "sox -n -b 16 -r 32000 -c 1 $F" + tone, {2, 0}},
      {"oggenc.ogg", "sox -n -b 16 -r 44100 -c 2 $F.wav" + tone + ogg + " -q 3", {0, 2}},
      {"oggenc-mono.ogg", "sox -n -b 16 -r 22050 -c 1 $F.wav" + tone + ogg + " -q -1", {0, 2}},
      {"sox.ogg", "sox -n -r 48000 -c 2 $F" + tone, {0, 2}},
      {"palette.png", png + "-define png:color-type=3 $F", {4, 3, 0}},
      {"grey.png", png + grey + "-alpha off -define png:color-type=0 $F", {8, 0, 0}},
      {"grey-alpha.png", png + grey + "-define png:color-type=4 $F", {8, 4, 0}},
      {"rgba16.png", png + deep + " -define png:color-type=6 $F", {16, 6, 0}},
      {"grey16-adam7.png", png + grey + "-alpha off -depth 16" + lace + "-define png:color-type=0 $F", {16, 0, 1}},
      {"rgba-adam7.png", png + lace + "-define png:color-type=6 $F", {8, 6, 1}},
      {"rgb16-adam7.png", png + "-alpha off" + deep + lace + "-define png:color-type=2 $F", {16, 2, 1}}};
  // Red, green, half-transparent blue, transparent, black, white, grey, half-transparent white.
  const unsigned char source[] = {255, 0, 0,   255, 0,   255, 0,   255, 0,   0,   255, 128, 0,   0,   0,   0,
                                  0,   0, 0,   255, 255, 255, 255, 255, 128, 128, 128, 255, 255, 255, 255, 128};
  ASSERT_TRUE(WritePng(dir.Path("source.png"), 8, 1, 4, source));
  gxtkAudio* audio = new gxtkAudio();
  Game().OpenWindow(64, 64);
  bb_graphics_SetGraphicsDevice(new gxtkGraphics());
  gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  ASSERT_EQ(bb_graphics_device->BeginRender(), 1);
  bb_graphics_BeginRender();
  bb_graphics_device->Cls(0, 0, 0);
  for (size_t k = 0; k < std::size(files); ++k) {
    const auto& [name, make, expect] = files[k];
    SCOPED_TRACE(name);
    const std::string path = dir.Path(name);
    ASSERT_EQ(std::system(("S=" + dir.Path("source.png") + " F=" + path + "; " + make).c_str()), 0);
    const std::string file = ReadFile(path);
    if (expect.size() == 3) {  // a row of 8 x 8 squares in the window
      const int row = int(k) - 8;
      const std::string theirs = Output("convert " + path + " -depth 8 rgba:-");
      EXPECT_EQ(std::vector<int>({file[24], file[25], file[28]}), expect);
      c_Image* image = bb_graphics_LoadImage(String(path.c_str()), 1, 0);
      ASSERT_TRUE(image && theirs.size() == 32);
      bb_graphics_DrawImage2(image, 0, float(8 * row), 0, 8, 8, 0);
      for (int i = 0; i < 24; ++i) {  // each channel of each pixel, over black
        const int x = i / 3, shown = Rgb(8 * x + 4, 8 * row + 4) >> (16 - 8 * (i % 3)) & 0xFF;
        EXPECT_NEAR(shown, uint8_t(theirs[4 * x + i % 3]) * uint8_t(theirs[4 * x + 3]) / 255, 1) << "pixel " << x;
      }
      continue;
    }
    if (expect[0]) WriteFile(path, Rewrap(file, expect[0] == 2));
    int length = 0, channels = 0, bytes = 0, hertz = 0;
    unsigned char* pcm = gxtkDecodeAudioFile(&Game(), String(path.c_str()), &length, &channels, &bytes, &hertz);
    const std::string theirs = Output("sox " + path + (bytes == 1 ? " -t u8 -" : " -t s16 -"));
    ASSERT_TRUE(pcm && theirs.size() == size_t(length) * channels * bytes);
    EXPECT_NE(make.find("-r " + std::to_string(hertz) + " -c " + std::to_string(channels)), std::string::npos);
    auto at = [&](const void* p, size_t i) { return bytes == 1 ? int(((uint8_t*)p)[i]) : int(((int16_t*)p)[i / 2]); };
    for (size_t i = 0; i < theirs.size(); i += bytes) ASSERT_LE(std::abs(at(pcm, i) - at(&theirs[0], i)), expect[1]);
    std::free(pcm);
    EXPECT_EQ(audio->PlayMusic(String(path.c_str()), 0), 0);
    int buffers = 0;  // OpenAL Soft names its buffers 1, 2, ... and reuses freed names
    for (ALuint name = 1; name <= 64; ++name) buffers += alIsBuffer(name);
    EXPECT_EQ(buffers, std::string(name).find(".ogg") != std::string::npos ? MUSIC_BUFFERS : 1);
  }
  bb_graphics_EndRender();
  bb_graphics_device->EndRender();
}
