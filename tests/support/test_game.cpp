#include "tests/support/test_game.h"

#include <GLFW/glfw3.h>

#include <stdexcept>
#include <tuple>

#include "tests/support/support.h"

namespace zephrine_test {

int TestGame::GetDeviceWidth() {
  int width = 0, height = 0;
  if (window) glfwGetFramebufferSize(window, &width, &height);
  return width;
}

int TestGame::GetDeviceHeight() {
  int width = 0, height = 0;
  if (window) glfwGetFramebufferSize(window, &width, &height);
  return height;
}

void TestGame::OpenWindow(int width, int height) {
  CloseWindow();
  if (!glfwInit()) throw std::runtime_error("glfwInit failed (is DISPLAY set?)");
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
  window = glfwCreateWindow(width, height, "test", nullptr, nullptr);
  if (!window) throw std::runtime_error("glfwCreateWindow failed");
  glfwMakeContextCurrent(window);
  ++glfwGraphicsSeq;
}

void TestGame::CloseWindow() {
  if (!window) return;
  glfwDestroyWindow(window);
  window = nullptr;
}

TestGame& Game() {
  static TestGame* game = [] {
    gc_init();
    return new TestGame();
  }();
  return *game;
}

std::string ScratchDir() {
  static const TempDir dir;  // removed when the program ends
  return dir.Path();
}

std::string WritePng(const std::string& name, int width, int height, int depth, const std::vector<unsigned char>& pixels) {
  const std::string path = ScratchDir() + "/" + name;
  if (!WritePng(path, width, height, depth, pixels.data())) throw std::runtime_error("cannot write " + path);
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
  std::tie(p[0], p[1], p[2], p[3]) = std::tie(r, g, b, a);
}

unsigned int Rgb(int x, int y) {
  Array<int> pixel(1);
  bb_graphics_device->ReadPixels(pixel, x, y, 1, 1, 0, 1);
  return unsigned(pixel[0]) & 0xFFFFFFu;
}

}  // namespace zephrine_test
