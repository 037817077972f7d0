// The heaviest match update and its frame: eight computer riders at the top
// acceleration (13 steps per update) late in a round, with every record of
// the segment ring in use. The late round is built the same way every time:
// the ring is filled with short trail dashes in rows (every cell marked, as
// riders leave them), and the riders start fresh records among them, so
// their turns overwrite and clear the oldest dashes, they scan, crash, throw
// sparks and are flushed from the grid as in a real late round.
//
// BM_MatchUpdate/skill: thread CPU time of p_Game per update (the
// simulation and its display list) with every rider at that computer skill
// (0 normal, 1 hard, 2 easy), over the first UPDATES updates from that
// state: the mean, and the median of the heaviest of those updates. BM_MatchFrame: the frame a late update leaves, replayed
// through the real renderer: draw calls and wall time including glFinish.
//
// Run from the game folder (build/game), where data/ is, under a display.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <vector>

#include "game/match/match.h"
#include "graphics/glseam.h"
#include "tests/game/harness.h"

using namespace match;
using zephrine_test::GameHarness;

namespace {

constexpr int UPDATES = 24;
// Updates run before the frame that BM_MatchFrame replays.
constexpr int FRAME_AFTER = 6;
// Trail dashes: rows every ROW_STEP cells, a dash of DASH_CELLS every
// DASH_STEP cells along a row.
constexpr int ROW_STEP = 4;
constexpr int DASH_STEP = 16;
constexpr int DASH_CELLS = 9;
constexpr int EDGE = 14;

double ThreadCpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Everything a match update changes, to start every measurement from the
// same late round.
struct Snapshot {
  std::vector<int> grid, segments;
  std::vector<float> matchState, particles, stars, brightness;
  int cursor = 0, ridersInPlay = 0, seed = 0;

  template <typename T>
  static std::vector<T> Copy(const Array<T>& a) {
    return std::vector<T>(a.begin(), a.end());
  }
  template <typename T>
  static void Put(const std::vector<T>& v, Array<T>& a) {
    std::copy(v.begin(), v.end(), a.begin());
  }

  void Take(c_MyApp* app) {
    grid = Copy(app->m_grid);
    segments = Copy(app->m_segments);
    matchState = Copy(app->m_matchState);
    particles = Copy(app->m_particles);
    stars = Copy(app->m_stars);
    brightness = Copy(app->m_trailBrightness);
    cursor = app->m_segmentCursor;
    ridersInPlay = app->m_ridersInPlay;
    seed = bb_random_Seed;
  }
  void Restore(c_MyApp* app) const {
    Put(grid, app->m_grid);
    Put(segments, app->m_segments);
    Put(matchState, app->m_matchState);
    Put(particles, app->m_particles);
    Put(stars, app->m_stars);
    Put(brightness, app->m_trailBrightness);
    app->m_segmentCursor = cursor;
    app->m_ridersInPlay = ridersInPlay;
    bb_random_Seed = seed;
  }
};

const Snapshot& LateRound() {
  static Snapshot* snapshot = nullptr;
  if (snapshot) return *snapshot;
  GameHarness& h = GameHarness::Get();
  h.FinishLoading();
  h.SetClock(123456);
  c_MyApp* app = h.App();
  app->m_gameMode = MAX_RIDERS - 1;
  app->m_settings[SETTING_DEATH_RULE] = 0;
  app->m_settings[SETTING_SPEED] = 3;
  app->m_settings[SETTING_SOUND_MODE] = 2;
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) app->m_inputSlots[i] = 0;
  app->m_demoMode = 0;
  app->m_screen = SCREEN_ARENA_PREPARE;
  h.Update();
  app->m_screen = SCREEN_MATCH;

  // Dashes into every record but the riders' until the ring is full.
  const int w = ArenaWidth(), hgt = ArenaHeight();
  // Records 9 to 4000 and then 0; 1 to 8 are the riders' start records.
  const int dashes = SEGMENT_LAST + 1 - MAX_RIDERS;
  int records = 0;
  for (int y = EDGE; y < hgt - EDGE && records < dashes; y += ROW_STEP) {
    for (int x = EDGE; x + DASH_CELLS < w - EDGE && records < dashes; x += DASH_STEP, ++records) {
      const int owner = records % MAX_RIDERS + 1;
      int seg = app->p_NewLine(DIR_RIGHT, x, y, owner);
      for (int i = 0; i < DASH_CELLS; ++i) seg = app->p_LineTo(seg, x + i, y, owner, DIR_RIGHT, owner);
    }
  }
  // The riders take the newest records; the oldest dashes go first.
  for (int p = 1; p <= MAX_RIDERS; ++p) {
    Rider(app, p, R_SEGMENT) =
        float(app->p_NewLine(int(Rider(app, p, R_DIR)), int(Rider(app, p, R_X)), int(Rider(app, p, R_Y)), p));
  }
  app->m_matchState[MS_LEVEL] = 12.0f;
  app->m_matchState[MS_HUMANS_BEFORE] = app->m_matchState[MS_HUMANS] = 0.0f;
  snapshot = new Snapshot();
  snapshot->Take(app);
  return *snapshot;
}

int RecordsInUse(c_MyApp* app) {
  int used = 0;
  for (int r = 0; r <= SEGMENT_LAST; ++r) used += Segment(app, r)[S_DIR] > 0 ? 1 : 0;
  return used;
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

void BM_MatchUpdate(benchmark::State& state) {
  c_MyApp* app = GameHarness::Get().App();
  const Snapshot& late = LateRound();
  std::vector<std::vector<double>> samples(UPDATES);  // per update index
  int riders = 0, records = 0, steps = 0;
  const int skill = int(state.range(0));
  for (auto _ : state) {
    late.Restore(app);
    for (int p = 1; p <= MAX_RIDERS; ++p) Rider(app, p, R_SKILL) = float(skill);
    double sum = 0;
    for (int u = 0; u < UPDATES; ++u) {
      const double start = ThreadCpuMs();
      app->p_Game();
      const double ms = ThreadCpuMs() - start;
      sum += ms;
      samples[u].push_back(ms);
      steps = std::max(steps, app->m_stepsExtra + 1);
      if (u == 0) records = RecordsInUse(app);
    }
    riders = app->m_ridersInPlay;
    state.SetIterationTime(sum / 1e3 / UPDATES);
  }
  // The same updates replay every iteration; the heaviest is the update
  // whose median is highest (a crashed rider leaving the grid).
  double heaviest = 0, total = 0;
  for (const std::vector<double>& s : samples) {
    heaviest = std::max(heaviest, Median(s));
    for (double ms : s) total += ms;
  }
  state.counters["mean_ms"] = total / double(UPDATES * samples[0].size());
  state.counters["heaviest_ms"] = heaviest;
  state.counters["steps_per_update"] = steps;
  state.counters["records_in_use"] = records;
  state.counters["riders_left"] = riders;
}
BENCHMARK(BM_MatchUpdate)->Arg(SKILL_NORMAL)->Arg(SKILL_HARD)->Arg(SKILL_EASY)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MatchFrame(benchmark::State& state) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = h.App();
  LateRound().Restore(app);
  for (int u = 0; u < FRAME_AFTER; ++u) app->p_Game();
  for (auto _ : state) {
    h.Render();
    gxtk_gl::Finish();
  }
  state.counters["draw_calls"] = bb_graphics_device->DrawCalls();
  state.counters["entries"] = double(app->m_drawCount / DRAW_ENTRY);
  state.counters["riders_in_play"] = app->m_ridersInPlay;
}
BENCHMARK(BM_MatchFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
