#include "tests/graphics/support.h"

#include <stdexcept>

#include "tests/support/support.h"

std::string ScratchDir() {
  static zephrine_test::TempDir* dir = new zephrine_test::TempDir;
  return dir->Path();
}

std::string WritePng(const std::string& name, int width, int height, int depth,
                     const std::vector<unsigned char>& pixels) {
  std::string path = ScratchDir() + "/" + name;
  if (!zephrine_test::WritePng(path, width, height, depth, pixels.data())) {
    throw std::runtime_error("cannot write " + path);
  }
  return path;
}

std::vector<unsigned char> SolidRgba(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                                     unsigned char a) {
  std::vector<unsigned char> image;
  for (int i = 0; i < width * height; ++i) image.insert(image.end(), {r, g, b, a});
  return image;
}

void PutRgba(std::vector<unsigned char>& image, int width, int x, int y, unsigned char r, unsigned char g,
             unsigned char b, unsigned char a) {
  unsigned char* p = &image[(std::size_t(y) * width + x) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
}

unsigned int Rgb(int x, int y) {
  Array<int> pixel(1);
  bb_graphics_device->ReadPixels(pixel, x, y, 1, 1, 0, 1);
  return unsigned(pixel[0]) & 0xFFFFFFu;
}
