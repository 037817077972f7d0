// The arena: a walled grid of cells, one per virtual unit, and the trails
// kept twice, as cell values the riders collide with and as a ring of
// straight segment records that is drawn and that erases the oldest trail.
// Also the riders' start cells and the preparation of a round.
#include <cmath>

#include "game/match/match.h"

using namespace match;

namespace {

// Start cell factors of the virtual screen and heading of riders 1 to 8:
// the corners heading across, then the middles of the top and bottom edges.
struct Start {
  float fx, fy;
  int dir;
};
constexpr Start STARTS[MAX_RIDERS] = {
    {0.1f, 0.15f, DIR_RIGHT}, {0.9f, 0.85f, DIR_LEFT}, {0.1f, 0.85f, DIR_RIGHT}, {0.9f, 0.15f, DIR_LEFT},
    {0.4f, 0.1f, DIR_DOWN},   {0.6f, 0.9f, DIR_UP},    {0.4f, 0.9f, DIR_UP},     {0.6f, 0.1f, DIR_DOWN},
};

// Draws discarded after seeding from the clock.
constexpr int SEED_WARM_UP = 11;

// Frees every cell of the rectangle spanned by two corners (any order).
void ClearCells(c_MyApp* app, int x1, int y1, int x2, int y2) {
  const int xa = std::max(std::min(x1, x2), 0), xb = std::min(std::max(x1, x2), GRID_ROW - 1);
  const int ya = std::max(std::min(y1, y2), 0), yb = std::min(std::max(y1, y2), GRID_ROW - 1);
  for (int y = ya; y <= yb; ++y) {
    for (int x = xa; x <= xb; ++x) app->m_grid[x + GRID_ROW * y] = 0;
  }
}

// Moves the cursor on round the ring; the record it lands on is reused, and
// the old run's cells are freed whoever holds them now.
int TakeRecord(c_MyApp* app) {
  int cursor = app->m_segmentCursor + 1;
  if (cursor > SEGMENT_LAST) cursor = 0;
  app->m_segmentCursor = cursor;
  const int* s = Segment(app, cursor);
  if (s[S_DIR] != 0 && (s[S_X1] == s[S_X2] || s[S_Y1] == s[S_Y2])) ClearCells(app, s[S_X1], s[S_Y1], s[S_X2], s[S_Y2]);
  return cursor;
}

void WriteRecord(int* s, int dir, int x, int y, int owner) {
  s[S_DIR] = dir;
  s[S_X1] = s[S_X2] = x;
  s[S_Y1] = s[S_Y2] = y;
  s[S_OWNER] = owner;
}

// The wall: WALL_THICKNESS cells inside every edge of the arena.
bool IsWall(int x, int y, int w, int h) {
  return x < WALL_THICKNESS || x >= w - WALL_THICKNESS || y < WALL_THICKNESS || y >= h - WALL_THICKNESS;
}

}  // namespace

int c_MyApp::p_GetPos(int rider) {
  if (rider < 1 || rider > MAX_RIDERS) return 0;
  const Start& s = STARTS[rider - 1];
  // The arena's extent as the float it is drawn at, kept inside the grid.
  // The product is taken in double precision: the single-precision factor
  // 0.9 puts a start cell at 575 of 640, not 576.
  const double w = bb_online_ArenaWidth > 0 ? float(bb_online_ArenaWidth) : std::min(bb_KRV_jscrw, float(ARENA_MAX));
  const double h = bb_online_ArenaHeight > 0 ? float(bb_online_ArenaHeight) : std::min(bb_KRV_jscrh, float(ARENA_MAX));
  m_posX = int(double(s.fx) * w);
  m_posY = int(double(s.fy) * h);
  m_posDir = s.dir;
  return 0;
}

int c_MyApp::p_NewLine(int dir, int x, int y, int owner) {
  const int r = TakeRecord(this);
  WriteRecord(Segment(this, r), dir, x, y, owner);
  return r;
}

int c_MyApp::p_LineTo(int seg, int x, int y, int owner, int dir, int /*rider*/) {
  const int* old = Segment(this, seg);
  // A turn: the new run starts at the old run's last cell.
  const int r = old[S_DIR] == dir ? seg : p_NewLine(dir, old[S_X2], old[S_Y2], owner);
  Segment(this, r)[S_X2] = x;
  Segment(this, r)[S_Y2] = y;
  SetCell(this, x, y, owner);
  return r;
}

int c_MyApp::p_FlushGrid(int owner) {
  const int w = ArenaWidth(), h = ArenaHeight();
  for (int y = 0; y <= h; ++y) {
    // Every cell is rewritten, so the loop vectorizes.
    int* row = &m_grid[GRID_ROW * y];
    for (int x = 0; x <= w; ++x) row[x] = row[x] == owner ? 0 : row[x];
  }
  for (int r = 0; r <= SEGMENT_SCAN_LAST; ++r) {
    if (Segment(this, r)[S_OWNER] == owner) Segment(this, r)[S_DIR] = 0;
  }
  return 0;
}

int c_MyApp::p_ResetPlayers() {
  for (m_i = 0; m_i < RIDER_RECORDS_END; ++m_i) m_matchState[m_i] = 0.0f;
  return 0;
}

int c_MyApp::p_PrepareArena() {
  p_ResetPlayers();
  p_ResetParticles(250);

  const int w = ArenaWidth(), h = ArenaHeight();
  for (int y = 0; y <= h; ++y) {
    for (int x = 0; x <= w; ++x) m_grid[x + GRID_ROW * y] = IsWall(x, y, w, h) ? WALL_CELL : 0;
  }
  m_segmentCursor = 0;
  for (int i = 0; i < SEGMENT_CLEARED_INTS; ++i) m_segments[i] = 0;

  const int riders = RiderCount(this);
  const int skill = m_settings[SETTING_SKILL];
  for (int p = 1; p <= riders; ++p) {
    Rider(this, p, R_NUMBER) = float(p);
    m_trailBrightness[p] = 1.0f;
    p_GetPos(p);
    Rider(this, p, R_X) = float(m_posX);
    Rider(this, p, R_Y) = float(m_posY);
    Rider(this, p, R_DIR) = float(m_posDir);
    // The start cell stays unmarked: only cells a head moves into are.
    Rider(this, p, R_SEGMENT) = float(p_NewLine(m_posDir, m_posX, m_posY, p));
    // A computer rider with a caution distance of 5 to 15 cells, unless a
    // joined slot rides it (a later slot wins).
    Rider(this, p, R_CONTROL) = std::floor(-5.0f - 9.01f * Random());
    Rider(this, p, R_SKILL) = float(skill >= 0 && skill < SKILL_COUNT ? skill : SKILL_NORMAL);
    for (int source = SOURCE_KEYBOARD; source <= p_LastSource(); ++source) {
      const int slot = SlotOf(source);
      if (JoinField(this, slot, SLOT_JOINED) == 1 && JoinField(this, slot, SLOT_RIDER) == p)
        Rider(this, p, R_CONTROL) = float(source);
    }
  }
  // Every rider is in play, and the first frame counts as one with humans:
  // the acceleration waits for a frame that really has none.
  m_matchState[MS_LEVEL] = 0.0f;
  m_matchState[MS_HUMANS_BEFORE] = m_matchState[MS_HUMANS] = 10.0f;
  m_ridersInPlay = riders;

  // Machines playing one match together carry on from the host's seed.
  if (m_onlineShared == 0) bb_random_Seed = bb_app_Millisecs();
  for (int i = 0; i < SEED_WARM_UP; ++i) Random();
  const int tune = int(std::floor(Random() * 3.99f + 1.0f));  // tunes 1 to 4
  p_PlayTune(String("tune_") + String(tune), 1);
  m_roundMusic = 1;
  return 0;
}

namespace match {

void DrawBorder(c_MyApp* app) {
  const float w = float(ArenaWidth()), h = float(ArenaHeight()), t = float(WALL_THICKNESS);
  app->p_SetCol(255.0f, 128.0f, 128.0f, 1.0f);
  app->p_SetSize(1.0f, 1.0f);
  app->p_Rect(0.0f, 0.0f, w, t);
  app->p_Rect(0.0f, 0.0f, t, h);
  app->p_Rect(w - t, 0.0f, t, h);
  app->p_Rect(0.0f, h - t, w, t);
}

void DrawTrails(c_MyApp* app) {
  for (int r = 0; r <= SEGMENT_SCAN_LAST; ++r) {
    const int* s = Segment(app, r);
    if (s[S_DIR] <= 0) continue;
    app->p_Ink(s[S_OWNER], app->m_trailBrightness[s[S_OWNER]]);
    const float x = float(std::min(s[S_X1], s[S_X2])), y = float(std::min(s[S_Y1], s[S_Y2]));
    const float w = float(std::abs(s[S_X2] - s[S_X1])), h = float(std::abs(s[S_Y2] - s[S_Y1]));
    // A cell's stroke covers from half a unit before it to 1.5 after it.
    app->p_Rect(x - 0.5f, y - 0.5f, w + 2.0f, h + 2.0f);
  }
}

}  // namespace match
