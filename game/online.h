// Online play as the game sees it: the command line that starts a session,
// and what the match reads while every machine runs the same screens
// (the host's arena size, the effects' own random numbers).
#pragma once

#include <string>

// The port a session uses unless told otherwise.
constexpr int ONLINE_DEFAULT_PORT = 6180;

// What the command line asked for.
struct OnlineRequest {
  enum Mode { NONE, HOST, JOIN } mode = NONE;
  std::string address;  // JOIN: a name or dotted quad
  int port = ONLINE_DEFAULT_PORT;
  std::string error;  // set when the arguments made no sense
};
// Reads "--host [PORT]" or "--join ADDRESS[:PORT]" from the arguments.
OnlineRequest ParseOnlineArguments(int argc, const char* const* argv);

// While the machines share a match: the host's arena size in cells (0 when
// not shared, the window's own then).
extern int bb_online_ArenaWidth, bb_online_ArenaHeight;
// A random number 0 to 1 for the visual effects: the shared generator
// outside a shared match, a generator of this machine's own within one, so
// stars that wrap on a wider screen do not move the riders' numbers.
float bb_online_EffectsRnd();
