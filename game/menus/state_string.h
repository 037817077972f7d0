// The saved progress and its state string, apart from the window: 25 settings
// slots, 256 badge flags and seven highscore tables, written as one line of
// decimal fields each followed by "|", in three kinds of checksummed block.
// Files written by any version load in any other, so the format never
// changes: settings (25 slots and a checksum), badges (8 groups of 32 flags
// and a checksum), then per table its ten ranks as top/last pairs and a
// checksum. A block that fails its checksum falls back to defaults alone.
#pragma once

#include <vector>

#include "game/numbers.h"
#include "runtime/core/core.h"

// GAME_SETTINGS settings slots (game/numbers.h names them).
constexpr int PROGRESS_BADGE_GROUPS = 8;
constexpr int PROGRESS_GROUP_BITS = 32;
constexpr int PROGRESS_BADGES = PROGRESS_BADGE_GROUPS * PROGRESS_GROUP_BITS;
constexpr int PROGRESS_TABLES = 7;
constexpr int PROGRESS_RANKS = 10;
// Table t keeps its top ten (best first) at 10t and its last ten (newest
// first) at PROGRESS_LAST + 10t.
constexpr int PROGRESS_LAST = PROGRESS_TABLES * PROGRESS_RANKS;
constexpr int PROGRESS_HIGHSCORES = 2 * PROGRESS_LAST;

// Handles to the game's own arrays (not copies): settings of at least
// GAME_SETTINGS ints, badges of at least PROGRESS_BADGES flags,
// highscores of at least PROGRESS_HIGHSCORES ints.
struct Progress {
  Array<int> settings;
  Array<bool> badges;
  Array<int> highscores;
};

// The state string of everything in `p`.
String EncodeProgress(const Progress& p);

// Applies a state string to `p`, which holds the defaults beforehand: each
// complete block that passes its checksum replaces them, a block that fails
// resets its part, and missing blocks leave the defaults. Then the pad,
// overscan and keyboard-seat slots are brought into range (seats outside 0
// to 3 become 0); away from the console the overscan slot is always 1. Returns the progress lines in order ("Settings Loaded",
// "Highscore 3 Checksum Invalid", ...); none for an empty string.
std::vector<String> DecodeProgress(const String& state, const Progress& p, bool console);

// Enters `score` into table `table` (0 to PROGRESS_TABLES - 1; any other
// table is left alone): into the top ten below every equal or better entry,
// and at the head of the last ten.
void EnterScore(const Array<int>& highscores, int table, int score);
