// The floor the game's memory and CPU figures are compared with: a program
// that only opens a GLFW window with an OpenGL context and an OpenAL device,
// then clears and swaps the window 60 times a second. Argument "fullscreen"
// opens it full screen at the desktop's size. Prints "timing ready <ns>"
// (monotonic clock) after its first frame.
#include <AL/al.h>
#include <AL/alc.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstring>
#include <ctime>

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
  bool announced = false;
  while (!glfwWindowShouldClose(window)) {
    glClearColor(0.2f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
    if (!announced) {
      timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      std::printf("timing ready %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
      std::fflush(stdout);
      announced = true;
    }
    glfwPollEvents();
    glfwWaitEventsTimeout(1.0 / 60.0);
  }
  return 0;
}
