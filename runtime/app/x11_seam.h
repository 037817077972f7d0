// The window layer's one direct use of Xlib, under GLFW on X11.
#pragma once

// From now on a lost connection to the X display (the server went away)
// prints one line naming the display on standard output and ends the
// process with status 1, instead of Xlib's own wording, which varies with
// how the loss was noticed.
void ExitOnLostDisplay();
