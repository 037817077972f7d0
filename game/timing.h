// Start-up figures for measurement runs. With the environment variable
// ZEPHRINE_TIMING set, the game prints one line per milestone on standard
// output beside the runtime's own (runtime/core/timing.h): "timing <event>
// <ns>", the system-wide monotonic clock in nanoseconds.
// ZEPHRINE_TIMING=fullscreen also switches to full screen before the first
// frame, so the start-up can be measured at the desktop's size. Without the
// variable nothing happens.
#pragma once

// Prints the milestone once per run (later calls with the same event do
// nothing). Events: "first-frame", "loaded".
void TimingMilestone(const char* event);
// True when the measurement run asked for full screen from the start.
bool TimingWantsFullscreen();
