// The real game binary played as a person plays it: started from a fresh
// copy of the game folder (binary and data; its state file lands there) on
// a virtual X server of its own, with the environment a test chooses,
// driven only through its window (keys held and released and clicks made
// with xdotool, the focus taken away, the close box), and judged by what a
// player sees (pixels of the window) and what is left afterwards (output,
// exit status, state file).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/support.h"

namespace zephrine_test {

// The window's pixels, top row first. At: the colour (0xRRGGBB) at a place of
// the 640 x 480 design screen, scaled as the game scales it (a wide window
// shows less of the height); 0 outside.
struct Shot { int width = 0, height = 0; std::vector<unsigned> pixels; unsigned At(int x, int y) const; };

// What the screens show, told apart by a few pixels. MARKERS: the riders'
// start markers at full size (round won, or the countdown's first second);
// PLAYING: the arena without them, the keyboard player's trail leaving its
// start cell; GAME_OVER: the overlay's yellow bar.
enum class Screen { LOADING, MENU, JOIN, MARKERS, PLAYING, PAUSED, OPTIONS, GAME_OVER };
bool Shows(const Shot& shot, Screen screen);

// Runs a shell command; what it wrote to standard output.
std::string Shell(const std::string& command);

// How far right rider 1's red trail (dimmed or not) reaches on its start
// row, in design units. Unsteered, the rider heads right from 64.
int TrailEnd(const Shot& s);

// Polls `done` until it answers true (then true) or `seconds` have passed.
bool Within(double seconds, const std::function<bool()>& done);

// A step of play: keys pressed one after the other, then the screen that
// must follow.
struct Step { std::string keys; Screen until; };
// Menu keys that choose the last match entry: two riders.
extern const std::string TWO_RIDERS;
// From start-up through the menu and the join screen to a match in play.
extern const std::vector<Step> TO_MATCH;

class Player {
 public:
  // A fresh copy of the game folder and an X server; no game yet.
  Player();
  // Ends a game still running (SIGKILL) and the server; the folder goes.
  ~Player();

  std::string Path(const std::string& name) const { return dir_.Path(name); }
  std::string State() const { return ReadFile(Path(".tarvexstate")); }
  // Everything the game wrote to standard output and standard error.
  std::string Output() const { return ReadFile(Path("output.txt")); }
  // The bytes the running game has read so far, from files, sockets and
  // pipes alike; -1 when no game is running.
  long long BytesRead() const;

  // Starts the game with these environment entries ("NAME=value"); its
  // window takes the focus. False when no window showed. `unprivileged` runs
  // it as a user whom file permissions bind (they do not bind root).
  // `program`: the game binary, run from this folder all the same (by
  // default its copy here); `arguments` go on its command line.
  bool Start(const std::vector<std::string>& env = {}, bool unprivileged = false,
             const std::string& program = "./zephrine", const std::string& arguments = "");
  // Plays the steps in turn; false at the first screen that did not follow
  // within a minute.
  bool Play(const std::vector<Step>& steps) const;

  Shot Look() const;
  // Waits until the window shows what `seen` accepts; false after `seconds`.
  bool WaitFor(const std::function<bool(const Shot&)>& seen, double seconds = 60) const;

  // xdotool key names separated by spaces, each held a moment, one after
  // the other; a name led by "+" is only pressed, by "-" only released.
  void Keys(const std::string& names) const;
  // A left click at a place of the window.
  void Click(int x, int y) const;
  void Focus(bool on) const;
  void CloseBox() const;
  // The window resized, as a window manager would.
  void Resize(int width, int height) const;
  // The X server goes away.
  void StopServer();

  // The exit status once the game has ended within `seconds` (128 + the
  // signal that ended it), else -1000.
  int Exit(double seconds = 20);

 private:
  // The window's X id, searched afresh (full screen makes a new window).
  unsigned long Window() const;
  std::string Xdotool(const std::string& args) const;

  TempDir dir_;
  std::string display_;
  int server_ = 0, pid_ = 0;
  mutable unsigned long window_ = 0;  // the last window looked at
};

// Runs `play` for 0 .. n - 1 at the same time, each with a game of its own,
// and returns when all have ended.
void SideBySide(int n, const std::function<void(Player&, int)>& play);

}  // namespace zephrine_test
