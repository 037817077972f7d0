// Internal layout of the match: the rider-record and segment-record layouts, the grid's cell access and the constants the
// match files share. Only game/match and the match's tests include it.
#pragma once

#include <algorithm>

#include "game/app.h"
#include "game/match/controls.h"

namespace match {

// Directions of travel; index 0 is no direction.
constexpr int DIR_RIGHT = 1;
constexpr int DIR_DOWN = 2;
constexpr int DIR_LEFT = 3;
constexpr int DIR_UP = 4;
constexpr int DIR_X[5] = {0, 1, 0, -1, 0};
constexpr int DIR_Y[5] = {0, 0, 1, 0, -1};

// Rider p's record is the floats RIDER_STRIDE * p + field of m_matchState.
constexpr int RIDER_STRIDE = 20;
enum RiderField {
  R_NUMBER = 0,  // p while in the round, 0 once out
  R_X = 1,       // head cell
  R_Y = 2,
  R_ALIVE = 3,         // updates alive in this round
  R_CPU_OUTLIVED = 4,  // computer riders that crashed before this one
  R_DIR = 5,
  R_DEATH = 8,      // death timer: 0 alive, counts up from 1 after a crash
  R_SEGMENT = 10,   // index of the current segment record
  R_RUN = 11,       // computer: free run right, down, left, up at 11 to 14
  R_CONTROL = 15,   // control source -1 to 3; a computer: minus its caution
  R_COOLDOWN = 16,  // computer: turn cooldown
  R_SKILL = 17,     // computer: SKILL_NORMAL, SKILL_HARD or SKILL_EASY
  R_PENDING = 18,   // easy computer: the turn it has decided on, 0 none
  R_REACTION = 19,  // easy computer: steps until that turn is made
};
// Control values above this are a person's source (or seat); below it a
// computer's caution.
constexpr float HUMAN_CONTROL_MIN = -2.0f;
// Elements 0 .. RIDER_RECORDS_END - 1 hold the rider records; the match
// counters follow.
constexpr int RIDER_RECORDS_END = 500;
constexpr int MS_COUNTDOWN = 450;      // round-start countdown
constexpr int MS_LAST_IN_PLAY = 451;   // last rider counted in play: the winner
constexpr int MS_WON_TIMER = 455;      // updates on the round-won screen
constexpr int MS_LEVEL = 497;          // acceleration level 0 to ACCEL_MAX
constexpr int MS_HUMANS_BEFORE = 498;  // human steps of the previous frame
constexpr int MS_HUMANS = 499;         // human steps of this frame

// The countdown's first value; the match starts when it falls below 0.
constexpr float COUNTDOWN_START = 160.0f;

// Segment records: SEGMENT_STRIDE ints each, the ring is records 0 to
// SEGMENT_LAST; drawing and flushing visit records 0 to SEGMENT_SCAN_LAST.
constexpr int SEGMENT_STRIDE = 10;
constexpr int SEGMENT_LAST = 4000;
constexpr int SEGMENT_SCAN_LAST = 5000;
constexpr int SEGMENT_CLEARED_INTS = 50001;
enum SegmentField {
  S_DIR = 0,  // direction of the run, 0 = free record
  S_X1 = 1,
  S_Y1 = 2,
  S_X2 = 3,  // last cell: the head while the run is current
  S_Y2 = 4,
  S_OWNER = 5,
};

// The grid: cell (x, y) at x + GRID_ROW * y. The arena is kept to at most
// ARENA_MAX units in each direction so that its cells 0..ARENA_MAX never leave
// a row or the array.
constexpr int GRID_ROW = 1000;
constexpr int ARENA_MAX = GRID_ROW - 1;
constexpr int WALL_CELL = 100;
constexpr int WALL_THICKNESS = 8;

// Ink of the white crash sparks.
constexpr int INK_WHITE = 9;

// Wins that end a match, by winnerTarget 0 to 3 (0: the match never ends
// by winning).
constexpr int WINS_NEEDED[] = {0, 3, 5, 10};
inline int WinsNeeded(int target) { return target >= 1 && target <= 3 ? WINS_NEEDED[target] : 0; }

// Extent of the arena in cells along the virtual screen's width and height.
// A match shared online has the host's.
inline int ArenaWidth() { return bb_online_ArenaWidth > 0 ? bb_online_ArenaWidth : std::min(int(bb_KRV_jscrw), ARENA_MAX); }
inline int ArenaHeight() { return bb_online_ArenaHeight > 0 ? bb_online_ArenaHeight : std::min(int(bb_KRV_jscrh), ARENA_MAX); }

inline bool InGrid(int x, int y) { return x >= 0 && x < GRID_ROW && y >= 0 && y < GRID_ROW; }
// A cell beyond the grid reads as wall and is never written.
inline int Cell(const c_MyApp* app, int x, int y) { return InGrid(x, y) ? app->m_grid[x + GRID_ROW * y] : WALL_CELL; }
inline void SetCell(c_MyApp* app, int x, int y, int value) {
  if (InGrid(x, y)) app->m_grid[x + GRID_ROW * y] = value;
}

inline float& Rider(c_MyApp* app, int p, int field) { return app->m_matchState[RIDER_STRIDE * p + field]; }
inline int* Segment(c_MyApp* app, int record) { return &app->m_segments[SEGMENT_STRIDE * record]; }

// Riders of the match: m_gameMode + 1, never more than the rider records.
inline int RiderCount(const c_MyApp* app) { return std::min(app->m_gameMode + 1, MAX_RIDERS); }

// Whether a key of keyboard seat `seat` (0 to 3) that answers `action` is
// down, when the keyboard is split (seats.cpp).
bool SeatKeyDown(int seat, int action);

// The heading computer rider p (alive, not paused) chooses from `dir` at
// its skill (skill.cpp); SKILL_NORMAL is the look-ahead of riders.cpp.
int ThinkEasy(c_MyApp* app, int p, int dir);
int ThinkHard(c_MyApp* app, int p, int dir);

// Per-rider counts of the whole match: TALLY_STRIDE ints of m_tally per
// rider number.
enum TallyField {
  T_UPDATES = 0,  // updates alive
  T_OUTLIVED = 1,
  T_NEAR_MISSES = 2,
  T_STREAK = 3,   // rounds won in a row
  T_DEFICIT = 4,  // most rounds behind the leader at a round's end
  TALLY_STRIDE = 5,
};
static_assert(GAME_TALLY >= TALLY_STRIDE * (MAX_RIDERS + 1));
inline int& Tally(c_MyApp* app, int p, int field) { return app->m_tally[TALLY_STRIDE * p + field]; }

inline bool IsHuman(c_MyApp* app, int p) { return Rider(app, p, R_CONTROL) > HUMAN_CONTROL_MIN; }

// What the match counts for the scores and the badges (scoring.cpp).
// A new match: nothing counted yet, its end still to come.
void ResetTally(c_MyApp* app);
// One update of a round in play: every rider still riding was alive for it.
void TallyUpdate(c_MyApp* app);
// Rider p has just crashed: every rider still riding outlived it.
void TallyCrash(c_MyApp* app, int p);
// Human rider p at (x, y) turns from heading `from` to `to` in this step.
void TallyTurn(c_MyApp* app, int p, int from, int to);
// The round has just ended with its winner counted; awards the round's badges.
void TallyRoundEnd(c_MyApp* app);

// The arena's border bars in its own colour (arena.cpp).
void DrawBorder(c_MyApp* app);
// Every segment record in use as a trail two units wide, in its owner's ink
// at the owner's trail brightness (arena.cpp).
void DrawTrails(c_MyApp* app);

}  // namespace match
