#include "tests/graphics/support.h"

#include <GLFW/glfw3.h>
#include <stdlib.h>

#include <cstdio>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

int TestGame::GetDeviceWidth() {
  int w = 0, h = 0;
  if (window) glfwGetFramebufferSize(window, &w, &h);
  return w;
}

int TestGame::GetDeviceHeight() {
  int w = 0, h = 0;
  if (window) glfwGetFramebufferSize(window, &w, &h);
  return h;
}

void TestGame::OpenWindow(int width, int height) {
  CloseWindow();
  if (!glfwInit()) throw std::runtime_error("glfwInit failed (is DISPLAY set?)");
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
  window = glfwCreateWindow(width, height, "graphics test", nullptr, nullptr);
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
  static std::string dir = [] {
    char templ[] = "/tmp/zephrine-gfx-XXXXXX";
    if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp failed");
    return std::string(templ);
  }();
  return dir;
}

std::string WritePng(const std::string& name, int width, int height, int depth,
                     const std::vector<unsigned char>& pixels) {
  std::string path = ScratchDir() + "/" + name;
  if (!stbi_write_png(path.c_str(), width, height, depth, pixels.data(), width * depth)) {
    throw std::runtime_error("cannot write " + path);
  }
  return path;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
  std::string path = ScratchDir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

std::vector<unsigned char> SolidRgba(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                                     unsigned char a) {
  std::vector<unsigned char> image(std::size_t(width) * height * 4);
  for (int i = 0; i < width * height; ++i) {
    image[i * 4] = r;
    image[i * 4 + 1] = g;
    image[i * 4 + 2] = b;
    image[i * 4 + 3] = a;
  }
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
