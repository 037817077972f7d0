// The real game binary played as a person plays it: started from a fresh
// copy of the game folder (binary and data; its state file lands there)
// with the environment a test chooses, driven only through its window
// (keys held and released and clicks made with xdotool, the focus taken
// away, the close box), and judged by what a player sees (pixels of the
// window) and what is left afterwards (output, exit status, state file).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/support.h"

namespace zephrine_test {

// The window's pixels, 0xRRGGBB, top row first.
struct Shot {
  int width = 0, height = 0;
  std::vector<unsigned> pixels;
  // The pixel at a place of the 640 x 480 design screen, scaled as the game
  // scales it (a wide window shows less of the height); 0 outside.
  unsigned At(int x, int y) const;
  bool Save(const std::string& path) const;
};

// What the screens show, told apart by a few pixels. MARKERS: the riders'
// start markers at full size (round won, or the countdown's first second);
// PLAYING: the arena without them, the keyboard player's trail leaving its
// start cell; GAME_OVER: the overlay's yellow bar.
enum class Screen { LOADING, MENU, JOIN, MARKERS, PLAYING, PAUSED, OPTIONS, GAME_OVER };
bool Shows(const Shot& shot, Screen screen);

// Polls `done` until it answers true (then true) or `seconds` have passed.
bool Within(double seconds, const std::function<bool()>& done);

// A step of play: keys pressed one after the other, then the screen that
// must follow.
struct Step {
  std::string keys;
  Screen until;
};
// Menu keys that choose the last match entry: two riders.
extern const std::string TWO_RIDERS;
// From start-up through the menu and the join screen to a match in play.
extern const std::vector<Step> TO_MATCH;

// A virtual X server of its own, for games side by side or that lose it.
class XServer {
 public:
  XServer();
  ~XServer() { Stop(); }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  const std::string& Name() const { return name_; }  // ":N"
  void Stop();

 private:
  int pid_ = 0;
  std::string name_;
};

class Player {
 public:
  // A fresh copy of the game folder, for a game on the X display `display`
  // (empty: the one DISPLAY names). The game is not started yet.
  explicit Player(const std::string& display = "");
  // Ends a game still running (SIGKILL); the folder goes.
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  std::string Path(const std::string& name) const { return dir_.Path(name); }
  std::string State() const { return ReadFile(Path(".tarvexstate")); }
  // Field i of the saved state string; -1 when there is no such field.
  int StateField(int i) const;
  // Everything the game wrote to standard output and standard error.
  std::string Output() const { return ReadFile(Path("output.txt")); }

  // Starts the game with these environment entries ("NAME=value") and gives
  // its window the focus; false when no window showed. `unprivileged` runs
  // it as a user whom file permissions bind (they do not bind root).
  bool Start(const std::vector<std::string>& env = {}, bool unprivileged = false);
  // Plays the steps in turn; false at the first screen that did not follow.
  bool Play(const std::vector<Step>& steps) const;

  Shot Look() const;
  // Waits until the window shows the screen (or what `seen` accepts);
  // false after `seconds`, leaving the last look in the build's
  // screenshots folder.
  bool WaitFor(Screen screen, double seconds = 60) const;
  bool WaitFor(const std::function<bool(const Shot&)>& seen, double seconds = 60) const;

  // xdotool key names separated by spaces, each held a moment, one after
  // the other; Hold and Release leave a key down for as long as the test.
  void Keys(const std::string& names) const;
  void Hold(const std::string& name) const;
  void Release(const std::string& name) const;
  // A left click at a place of the design screen.
  void Click(int x, int y) const;
  void Focus(bool on) const;
  void CloseBox() const;
  // The window resized as a window manager would.
  void Resize(int width, int height) const;

  static constexpr int NOT_ENDED = -1000;
  // The exit status once the game has ended within `seconds` (128 + the
  // signal that ended it), else NOT_ENDED.
  int Exit(double seconds = 20);

 private:
  // The window's X id, searched afresh (full screen makes a new window).
  unsigned long Window() const;
  std::string Xdotool(const std::string& args) const;

  TempDir dir_;
  std::string display_;
  int pid_ = 0;
  mutable unsigned long window_ = 0;  // the last window looked at
};

// Runs `play` for 0 .. n - 1 at the same time, each with a game on an X
// server of its own, and returns when all have ended.
void SideBySide(int n, const std::function<void(Player&, int)>& play);

}  // namespace zephrine_test
