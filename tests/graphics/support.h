// Shared helpers of the graphics tests: a runtime game object over a small
// GLFW window, PNG files written on the fly, and pixel read-back.
#pragma once

#include <string>
#include <vector>

#include "graphics/graphics.h"

struct GLFWwindow;

// The runtime game object the graphics code talks to: device size from the
// window, virtual paths mapped onto the data folder, images decoded from files.
class TestGame : public BBGame {
 public:
  int GetDeviceWidth() override;
  int GetDeviceHeight() override;
  String PathToFilePath(const String& path) override { return bb_data_MapVirtualPath(path); }
  unsigned char* LoadImageData(const String& path, int* width, int* height, int* depth) override {
    return gxtkDecodeImageFile(this, path, width, height, depth);
  }

  // Opens a width x height window, makes its context current and raises
  // glfwGraphicsSeq, as the window layer does. Closes any previous window.
  void OpenWindow(int width, int height);
  void CloseWindow();

  GLFWwindow* window = nullptr;
};

// The process-wide game object (created on first use, with the collector).
TestGame& Game();

// Writes an 8-bit PNG of `depth` channels into the tests' scratch folder and
// returns its absolute path.
std::string WritePng(const std::string& name, int width, int height, int depth, const std::vector<unsigned char>& pixels);
// Writes raw bytes into the scratch folder and returns the absolute path.
std::string WriteFile(const std::string& name, const std::string& bytes);
// The scratch folder (absolute, created on first use).
std::string ScratchDir();

// A w x h RGBA image filled with one colour.
std::vector<unsigned char> SolidRgba(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                                     unsigned char a = 255);
// Sets one pixel of an RGBA image.
void PutRgba(std::vector<unsigned char>& image, int width, int x, int y, unsigned char r, unsigned char g,
             unsigned char b, unsigned char a = 255);

// The window pixel at (x, y), y from the top, as 0xRRGGBB (alpha dropped:
// the window may have no alpha channel).
unsigned int Rgb(int x, int y);
