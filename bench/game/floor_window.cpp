// The floor the game's figures are compared with: a program that only opens
// a GLFW window with an OpenGL context and an OpenAL device, then clears and
// swaps the window at the game's pace: draw, sleep until the next update is
// due, poll events, one (empty) update, 60 a second. Argument "fullscreen"
// opens it full screen at the desktop's size. Prints "timing ready <ns>"
// (monotonic clock) after its first frame and "timing update <ns>" after
// every update, as the game's runtime does under ZEPHRINE_TIMING.
#include <AL/al.h>
#include <AL/alc.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

constexpr double UPDATE_PERIOD = 1.0 / 60.0;

void Report(const char* event) {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::printf("timing %s %lld\n", event, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (!glfwInit()) return 1;
  const bool full = argc > 1 && std::strcmp(argv[1], "fullscreen") == 0;
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
  GLFWwindow* window = full && mode ? glfwCreateWindow(mode->width, mode->height, "floor", monitor, nullptr)
                                    : glfwCreateWindow(640, 480, "floor", nullptr, nullptr);
  if (!window) return 1;
  glfwMakeContextCurrent(window);
  ALCdevice* device = alcOpenDevice(nullptr);
  ALCcontext* context = device ? alcCreateContext(device, nullptr) : nullptr;
  if (context) alcMakeContextCurrent(context);
  glClearColor(0.2f, 0.2f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glfwSwapBuffers(window);
  Report("ready");
  double due = glfwGetTime();
  while (!glfwWindowShouldClose(window)) {
    const double wait = due - glfwGetTime();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    glfwPollEvents();
    Report("update");
    due += UPDATE_PERIOD;
    if (glfwGetTime() > due + UPDATE_PERIOD) due = glfwGetTime();  // a backlog is dropped, as the game does
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
  }
  return 0;
}
