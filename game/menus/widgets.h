// What the menu screens and boxes share: the few pictures and tests more
// than one of them draws.
#pragma once

#include "game/app.h"
#include "game/match/controls.h"

namespace menus {

// A source number that no source has.
constexpr int NO_SOURCE = -2;

// The first source, in the order of the source numbers, that presses the
// action; NO_SOURCE when none does.
int SourcePressing(c_MyApp& app, int action, int withStick);
bool AnyPressing(c_MyApp& app, int action, int withStick);

// Width of one frame of an image slot drawn at `scale`, in virtual units.
float FrameSize(const c_MyApp& app, int slot, float scale);

// The turning gear of the options (three frames of the buttons image, each
// turned its own way by app.m_gearAngle), centred on (x, y); leaves the
// rotation at 0. Returns its drawn size.
float DrawGear(c_MyApp& app, float x, float y, float scale);
// Whether a down touch point lies on a square of `size` centred on (x, y).
bool Touched(c_MyApp& app, float x, float y, float size);

// The console's overscan gauge: its title centred on (centreX, titleY), the
// bar at barY, the marker; a tap on it (pointer latch free) flips between
// the smallest and largest margin, and ACTION_EXTRA1 / ACTION_EXTRA2 (while
// `keyLatch` is 0, which they set) step it by 16. The setting and the
// margin drawing uses stay within 1 to 96.
void OverscanGauge(c_MyApp& app, float centreX, float titleY, float barY, int& keyLatch);

}  // namespace menus
