// The saved progress and its state string, apart from the window: 25 settings
// slots, 256 badge flags and seven highscore tables, written as one line of
// decimal fields each followed by "|", in three kinds of checksummed block.
// Files written by any version load in any other, so the format never
// changes: settings (25 slots and a checksum), badges (8 groups of 32 flags
// and a checksum), then per table its ten ranks as top/last pairs and a
// checksum. A block that fails its checksum falls back to defaults alone.
#pragma once

#include <vector>

#include "game/inks.h"
#include "runtime/core/core.h"

constexpr int PROGRESS_SETTINGS = 25;
constexpr int PROGRESS_BADGE_GROUPS = 8;
constexpr int PROGRESS_GROUP_BITS = 32;
constexpr int PROGRESS_BADGES = PROGRESS_BADGE_GROUPS * PROGRESS_GROUP_BITS;
constexpr int PROGRESS_TABLES = 7;
constexpr int PROGRESS_RANKS = 10;
// Table t keeps its top ten (best first) at 10t and its last ten (newest
// first) at PROGRESS_LAST + 10t.
constexpr int PROGRESS_LAST = PROGRESS_TABLES * PROGRESS_RANKS;
constexpr int PROGRESS_HIGHSCORES = 2 * PROGRESS_LAST;

// Settings slots that carry a meaning; the others are kept as they are.
constexpr int SLOT_DEATH_RULE = 2;      // 0 trail removed, 1 trail remains
constexpr int SLOT_SPEED = 3;           // 0 slow .. 3 hyper
constexpr int SLOT_WINNER_TARGET = 4;   // 0 infinite, 1 first to 3, 2 to 5, 3 to 10
constexpr int SLOT_SOUND_MODE = 5;      // 0 off, 1 all, 2 effects, 3 music
constexpr int SLOT_SETTINGS_ROW = 6;    // join screen's rule cursor, 0 none, 1 to 4
constexpr int SLOT_PAD_X = 10;          // on-screen pad, virtual units
constexpr int SLOT_PAD_Y = 11;
constexpr int SLOT_PAD_SIZE = 12;
constexpr int SLOT_OVERSCAN = 14;       // overscan margin, window pixels
constexpr int SLOT_COMPUTER_SKILL = 16; // 0 normal, 1 hard, 2 easy
constexpr int SLOT_COLOURS = SETTING_COLOURS;  // riders' inks: PALETTE_*
constexpr int COMPUTER_SKILLS = 3;

// Handles to the game's own arrays (not copies): settings of at least
// PROGRESS_SETTINGS ints, badges of at least PROGRESS_BADGES flags,
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
// resets its part, and missing blocks leave the defaults. Then the pad and
// overscan slots are brought into range; away from the console the overscan
// slot is always 1. Returns the progress lines in order ("Settings Loaded",
// "Highscore 3 Checksum Invalid", ...); none for an empty string.
std::vector<String> DecodeProgress(const String& state, const Progress& p, bool console);

// Enters `score` into table `table` (0 to PROGRESS_TABLES - 1; any other
// table is left alone): into the top ten below every equal or better entry,
// and at the head of the last ten.
void EnterScore(const Array<int>& highscores, int table, int score);
