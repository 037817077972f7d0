// The easy and hard computer riders. The normal rider (riders.cpp) scans a
// random caution distance ahead and turns to a random side when that side
// looks better. The easy rider sees an obstacle, picks the side with the
// longer free run and turns only after a human's reaction time, whatever
// closes in meanwhile, and turns on a whim now and then. The hard rider reads the cells exactly, and when it nears an
// obstacle (or every few steps on an open run) it weighs every way it may
// go by how many cells it could still reach there, keeps clear of the cells
// other riders' heads may take next, and goes where the room is largest.
#include <cstdlib>
#include <cstring>

#include "game/match/match.h"

using namespace match;

namespace {

// The two headings across `dir`: the first is the one clockwise of it.
int Clockwise(int dir) { return dir % 4 + 1; }
int Anticlockwise(int dir) { return (dir + 2) % 4 + 1; }

// Free cells straight on from (x, y) in direction k, counted up to `limit`.
int FreeRun(const c_MyApp* app, int x, int y, int k, int limit) {
  int run = 0;
  while (run < limit && Cell(app, x + DIR_X[k] * (run + 1), y + DIR_Y[k] * (run + 1)) == 0) ++run;
  return run;
}

// ---- Easy

// Updates between seeing an obstacle and turning away from it: a fifth of a
// second. The rider travels one cell per step and
// a frame runs m_stepsExtra + 1 steps, so the delay in steps grows with the
// speed, as a player's does.
constexpr int REACTION_UPDATES = UPDATE_RATE / 5;
// Cells it sees beyond the distance it covers while reacting.
constexpr int EASY_MARGIN = 3;
// One step in EASY_WHIM turns on a whim, towards a side open as far as it
// sees.
constexpr float EASY_WHIM = 20.0f;

}  // namespace

int match::ThinkEasy(c_MyApp* app, int p, int dir) {
  float& pending = Rider(app, p, R_PENDING);
  float& reaction = Rider(app, p, R_REACTION);
  if (pending > 0.0f) {
    reaction -= 1.0f;
    if (reaction > 0.0f) return dir;
    const int turn = int(pending);
    pending = 0.0f;
    return turn;
  }
  const int x = int(Rider(app, p, R_X)), y = int(Rider(app, p, R_Y));
  const int reactionSteps = REACTION_UPDATES * (app->m_stepsExtra + 1);
  const int sight = reactionSteps + EASY_MARGIN;
  const bool clockwise = Random() < 0.5f;
  const int side = clockwise ? Clockwise(dir) : Anticlockwise(dir);
  if (FreeRun(app, x, y, dir, sight) < sight) {
    // A look both ways as far as it sees; the side may still close before
    // it turns.
    const int other = clockwise ? Anticlockwise(dir) : Clockwise(dir);
    pending = float(FreeRun(app, x, y, other, sight) > FreeRun(app, x, y, side, sight) ? other : side);
    reaction = float(reactionSteps);
    return dir;
  }
  if (EASY_WHIM * Random() < 1.0f && FreeRun(app, x, y, side, sight) >= sight) return side;
  return dir;
}

namespace {

// ---- Hard

// Cells it reads straight on in each direction.
constexpr int HARD_SIGHT = 32;
// With an obstacle fewer than HARD_NEAR cells ahead it weighs every way;
// on an open run it does so every HARD_RECHECK steps, to see a pocket
// coming before it is inside.
constexpr int HARD_NEAR = 4;
constexpr float HARD_RECHECK = 6.0f;
// The room of a way: cells reachable from its first cell within
// FLOOD_REACH cells in each direction, counted up to FLOOD_CAP.
constexpr int FLOOD_REACH = 31;
constexpr int FLOOD_SIDE = 2 * FLOOD_REACH + 1;
constexpr int FLOOD_CAP = 320;
// A step survives only with two free cells ahead (the move, then the
// look past it).
constexpr int SAFE_RUN = 2;

// Free cells 4-connected to free cell (x0, y0) inside the window around it,
// up to FLOOD_CAP; 0 when (x0, y0) is not free.
int Room(const c_MyApp* app, int x0, int y0) {
  if (Cell(app, x0, y0) != 0) return 0;
  unsigned char seen[FLOOD_SIDE * FLOOD_SIDE];
  std::memset(seen, 0, sizeof seen);
  int queue[FLOOD_CAP];
  int head = 0, tail = 0;
  queue[tail++] = FLOOD_REACH + FLOOD_SIDE * FLOOD_REACH;
  seen[queue[0]] = 1;
  while (head < tail && tail < FLOOD_CAP) {
    const int at = queue[head++];
    const int wx = at % FLOOD_SIDE, wy = at / FLOOD_SIDE;
    for (int k = 1; k <= 4 && tail < FLOOD_CAP; ++k) {
      const int nx = wx + DIR_X[k], ny = wy + DIR_Y[k];
      if (nx < 0 || nx >= FLOOD_SIDE || ny < 0 || ny >= FLOOD_SIDE) continue;
      const int next = nx + FLOOD_SIDE * ny;
      if (seen[next] != 0) continue;
      seen[next] = 1;
      if (Cell(app, x0 + nx - FLOOD_REACH, y0 + ny - FLOOD_REACH) == 0) queue[tail++] = next;
    }
  }
  return tail;
}

// Whether another living rider's head could move into (x, y) at its next
// step.
bool Contested(c_MyApp* app, int p, int x, int y) {
  for (int q = 1; q <= MAX_RIDERS; ++q) {
    if (q == p || Rider(app, q, R_NUMBER) <= 0.0f || Rider(app, q, R_DEATH) > 0.0f) continue;
    const int dx = std::abs(int(Rider(app, q, R_X)) - x), dy = std::abs(int(Rider(app, q, R_Y)) - y);
    if (dx + dy == 1) return true;
  }
  return false;
}

// How good heading k is for rider p at (x, y): a way that kills at once
// ranks below one another head may contest, which ranks below any other;
// among those, more room, then a longer run, then going straight on win.
long Worth(c_MyApp* app, int p, int x, int y, int k, int dir) {
  constexpr long ROOM_WEIGHT = 2 * (HARD_SIGHT + 1);
  constexpr long TIER = ROOM_WEIGHT * (FLOOD_CAP + 1);
  const int run = FreeRun(app, x, y, k, HARD_SIGHT);
  if (run < SAFE_RUN) return run;
  const int nx = x + DIR_X[k], ny = y + DIR_Y[k];
  const long tier = Contested(app, p, nx, ny) ? TIER : 2 * TIER;
  return tier + ROOM_WEIGHT * Room(app, nx, ny) + 2 * run + (k == dir ? 1 : 0);
}

}  // namespace

int match::ThinkHard(c_MyApp* app, int p, int dir) {
  const int x = int(Rider(app, p, R_X)), y = int(Rider(app, p, R_Y));
  float& recheck = Rider(app, p, R_COOLDOWN);
  recheck -= 1.0f;
  if (recheck > 0.0f && FreeRun(app, x, y, dir, HARD_NEAR) >= HARD_NEAR) return dir;
  recheck = HARD_RECHECK;
  int best = dir;
  long bestWorth = Worth(app, p, x, y, dir, dir);
  for (const int k : {Clockwise(dir), Anticlockwise(dir)}) {
    const long worth = Worth(app, p, x, y, k, dir);
    if (worth > bestWorth) {
      best = k;
      bestWorth = worth;
    }
  }
  return best;
}
