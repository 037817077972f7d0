// The runtime game object of the tests that run without the window layer:
// virtual paths map onto the data folder as on the desktop, image and sound
// files decode through their subsystems, and the device size is that of a
// GLFW window the test may open. Then the pictures of the graphics tests.
#pragma once

#include "audio/audio.h"
#include "audio/decode.h"
#include "graphics/decode.h"
#include "graphics/graphics.h"

#include <string>
#include <vector>

struct GLFWwindow;

namespace zephrine_test {

class TestGame : public BBGame {
 public:
  int GetDeviceWidth() override;
  int GetDeviceHeight() override;
  String PathToFilePath(const String& path) override { return bb_data_MapVirtualPath(path); }
  unsigned char* LoadImageData(const String& path, int* width, int* height, int* depth) override {
    return gxtkDecodeImageFile(this, path, width, height, depth);
  }
  unsigned char* LoadAudioData(const String& path, int* length, int* channels, int* format, int* hertz) override {
    return gxtkDecodeAudioFile(this, path, length, channels, format, hertz);
  }

  // Opens a width x height window, makes its context current and raises
  // glfwGraphicsSeq, as the window layer does. Closes any previous window.
  void OpenWindow(int width, int height);
  void CloseWindow();

  GLFWwindow* window = nullptr;
};

// The process-wide game object, created with the collector on first use.
TestGame& Game();

// The graphics tests' (and the renderer benchmark's) pictures: an 8-bit PNG
// of `depth` channels written into a scratch folder (absolute, created on
// first use), its absolute path returned; RGBA images filled with one colour
// and one pixel set; a window pixel at (x, y), y from the top, as 0xRRGGBB.
std::string ScratchDir();
std::string WritePng(const std::string& name, int width, int height, int depth, const std::vector<unsigned char>& pixels);
std::vector<unsigned char> SolidRgba(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                                     unsigned char a = 255);
void PutRgba(std::vector<unsigned char>& image, int width, int x, int y, unsigned char r, unsigned char g,
             unsigned char b, unsigned char a = 255);
unsigned int Rgb(int x, int y);

}  // namespace zephrine_test
