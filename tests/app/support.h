// Helpers of the window-layer tests: a private X server, and the X requests
// a player's desktop would make (focus, close box, typed keys).
#pragma once

#include <string>

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

// Runs xdotool with the arguments (one shell word each, split on spaces).
void Xdotool(const std::string& args);
