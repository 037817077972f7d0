// Figures for measurement runs. With the environment variable
// ZEPHRINE_TIMING set, the runtime and the game print one line per event on
// standard output: "timing <event> <ns>" and, for some events, a value
// after it. ns is the system-wide monotonic clock in nanoseconds, so a
// launcher that read the same clock before starting the process can tell
// how long each step took. Without the variable nothing is measured and
// nothing is printed.
//
// Events of the runtime: "update <ns> <longest collection step since the
// previous update line, ns>" after every update, and "frame <ns> <draw
// calls of the frame>" after every drawn frame. The game adds its own
// milestones (first frame, loading done).
#pragma once

// The variable's value; null when it is not set.
const char* bb_timing_Setting();
// The monotonic clock in nanoseconds.
long long bb_timing_Now();
// Prints "timing <event> <now>", then " <value>" when value is 0 or more,
// and flushes. Prints nothing when the variable is not set.
void bb_timing_Print(const char* event, long long value = -1);
