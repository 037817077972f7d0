// Helpers of the window-layer tests: the X requests a player's desktop
// would make (the focused window, a window's place, typed keys) on the
// display of DISPLAY.
#pragma once

#include <string>

// X requests on the display of DISPLAY. Windows are X window ids; 0 stands
// for the root window (the desktop, the whole screen).
unsigned long FocusedWindow();
struct WindowPlace {
  int x = 0, y = 0, width = 0, height = 0;
  std::string title;
};
WindowPlace PlaceOf(unsigned long window);

// Runs xdotool with the arguments (one shell word each, split on spaces).
void Xdotool(const std::string& args);
