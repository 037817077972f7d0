#include "tests/support/test_game.h"

#include <GLFW/glfw3.h>

#include <stdexcept>

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

}  // namespace zephrine_test
