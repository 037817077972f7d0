// Helpers of the window-layer tests: child processes, a private X server,
// and the X requests a player's desktop would make (focus, close box).
#pragma once

#include <functional>
#include <string>

// What a child process left behind: its exit status (or 128 + signal) and
// everything it wrote to standard output.
struct ChildResult {
  int status = 0;
  std::string out;
};

// Runs `body` in a forked child with standard input empty and standard
// output captured; the child exits with body's result. Without a display the
// child sees no DISPLAY at all. A child still running after `seconds` is
// killed.
ChildResult RunChild(const std::function<int()>& body, bool withDisplay = true, int seconds = 30);

// Starts an X server of its own for this test program (so no other test's
// window can take the keyboard focus) and points DISPLAY at it. Returns
// false when no server could be started.
bool StartPrivateDisplay();
void StopPrivateDisplay();

// X requests on the display of DISPLAY. Windows are X window ids.
unsigned long FocusedWindow();
void FocusWindow(unsigned long window);
// Gives the focus to the desktop (the root window).
void FocusDesktop();
// What a window manager sends when the close box is clicked.
void SendCloseRequest(unsigned long window);
struct WindowPlace {
  int x = 0, y = 0, width = 0, height = 0;
  std::string title;
};
WindowPlace PlaceOf(unsigned long window);

// Runs xdotool with the arguments (one shell word each, split on spaces);
// `wait` false leaves it running in the background.
void Xdotool(const std::string& args, bool wait = true);
