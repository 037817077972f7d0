// The real game binary on the test display, driven only the way a
// player drives it: keys typed into its window, the focus taken away, the
// close box. Checked from outside: exit statuses, the state file, and the
// state lines the game prints in its debug mode.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tests/app/support.h"
#include "tests/game/menus_support.h"

using namespace zephrine_test;

extern char** environ;

namespace {

const bool private_folder = (UsePrivateStateFolder(), true);


void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The colour (0xRRGGBB) the window shows at (x, y); 0 when it cannot be read.
unsigned long PixelOf(unsigned long window, int x, int y) {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return 0;
  unsigned long pixel = 0;
  if (XImage* image = XGetImage(dpy, window, x, y, 1, 1, AllPlanes, ZPixmap)) {
    pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
  }
  XCloseDisplay(dpy);
  return pixel;
}

// The menu's background, which the loading screen does not have.
constexpr unsigned long MENU_BLUE = 0x000050;

// The game started from the current folder, its output going to a file.
class Game {
 public:
  Game() {
    const std::string binary = GameFolder() + "/zephrine";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "game-output.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* argv[] = {const_cast<char*>(binary.c_str()), nullptr};
    if (posix_spawn(&pid_, binary.c_str(), &files, nullptr, argv, environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&files);
  }
  ~Game() {
    if (pid_ > 0 && Exit(0) == NOT_ENDED) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // Finds the window and gives it the focus, then waits for the menu to
  // follow the loading screen. False when that did not happen in time.
  bool Ready() {
    for (int i = 0; i < 100 && window_ == 0; ++i, Wait(100)) {
      FILE* search = popen(("xdotool search --onlyvisible --pid " + std::to_string(pid_) + " 2>/dev/null").c_str(), "r");
      if (!search) continue;
      if (std::fscanf(search, "%lu", &window_) != 1) window_ = 0;
      pclose(search);
    }
    if (window_ == 0) return false;
    FocusWindow(window_);
    for (int i = 0; i < 300; ++i, Wait(100)) {
      if (PixelOf(window_, 2, 2) == MENU_BLUE) return true;
    }
    return false;
  }
  unsigned long Window() const { return window_; }

  // Waits up to `seconds` for the window's top left corner to show the
  // menu's background (`menu`) or anything else. True when it did.
  bool WaitForCorner(bool menu, int seconds) {
    for (int i = 0; i < seconds * 10; ++i, Wait(100)) {
      if ((PixelOf(window_, 2, 2) == MENU_BLUE) == menu) return true;
    }
    return false;
  }

  // Keys typed one after the other, each held a moment as a player would
  // (a press shorter than an update would go unseen, as on a real desk).
  void Keys(const std::string& names) {
    std::istringstream in(names);
    std::string command;
    for (std::string name; in >> name;) command += " keydown " + name + " sleep 0.12 keyup " + name + " sleep 0.12";
    Xdotool(command);
  }

  static constexpr int NOT_ENDED = -1000;
  // The exit status once the game has ended within `seconds`.
  int Exit(int seconds) {
    for (int i = 0; i <= seconds * 20; ++i, Wait(50)) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
    }
    return NOT_ENDED;
  }

  static std::string Output() {
    std::ifstream in("game-output.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  pid_t pid_ = 0;
  unsigned long window_ = 0;
};

}  // namespace

TEST(Player, FocusLossSavesWhatTheOptionsChangedAndF4EndsWithStatusZero) {
  unlink(".tarvexstate");
  Game game;
  ASSERT_TRUE(game.Ready());
  // To the gear at the end of the row, into the options (which take keys
  // once slid in), the sound row once: effects only.
  game.Keys("Right Right Right Right Right Right Right Return");
  Wait(800);
  game.Keys("Down Return");
  Wait(300);
  FocusWindow(0);  // the desktop
  Wait(1000);
  EXPECT_EQ(SavedField(5), 2) << SavedState();
  FocusWindow(game.Window());
  Wait(500);
  game.Keys("F4");
  EXPECT_EQ(game.Exit(10), 0);
  EXPECT_EQ(Game::Output().find("Loaded"), std::string::npos) << "no earlier state: " << Game::Output();
}

TEST(Player, MenuToJoinToAMatchAndThroughThePauseMenuBackToTheMenu) {
  Game game;
  ASSERT_TRUE(game.Ready());
  game.Keys("F1");  // the debug mode prints every state it saves
  game.Keys("Right Right Right Right Right Right Return");  // two riders
  Wait(300);
  game.Keys("Return");
  ASSERT_TRUE(game.WaitForCorner(false, 10)) << "the arena's border";
  Wait(3500);  // the countdown
  game.Keys("Escape");
  Wait(600);  // the pause menu drops in
  game.Keys("Left Return");
  ASSERT_TRUE(game.WaitForCorner(true, 10)) << "back on the menu after GAME OVER";
  game.Keys("Escape");
  EXPECT_EQ(game.Exit(10), 0);
  // The return to the menu saved the state once, and printed it.
  std::istringstream lines(Game::Output());
  int saved = 0;
  for (std::string line; std::getline(lines, line);) saved += std::count(line.begin(), line.end(), '|') == 182;
  EXPECT_EQ(saved, 1) << Game::Output();
  EXPECT_EQ(SavedState().size() > 0, true);
}

TEST(Player, TheCloseBoxEndsWithStatusZero) {
  Game game;
  ASSERT_TRUE(game.Ready());
  EXPECT_NE(Game::Output().find("Settings Loaded"), std::string::npos) << Game::Output();
  SendCloseRequest(game.Window());
  EXPECT_EQ(game.Exit(10), 0);
}
