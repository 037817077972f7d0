// Figures of the real game process under the display in DISPLAY, each beside
// the floor program that only opens a window with OpenGL and an OpenAL
// device and runs the same 60-a-second loop: time from starting the process
// to its first drawn frame and to the end of asset loading (the menu), and
// resident memory after loading (BM_GameStartup, BM_FloorStartup); then,
// over a stretch of running, updates per second, the 99th-percentile gap
// between updates, CPU as a share of one core and resident memory, for the
// floor, the game at its menu and the game during an 8-rider computer match
// (BM_Running). The game prints its milestones, every update (with the
// longest collection step since the one before) and every frame (with its
// draw calls) when ZEPHRINE_TIMING is set. Every iteration starts a fresh
// process and ends it with SIGTERM. The match is started the way a player
// starts it, with xdotool: Enter on the menu's first button (8 riders),
// then the join screen's two demo keys held together (B and N). Running
// figures come in a window and full screen (the floor full screen too);
// BM_FullScreenRoundTrips reads resident memory in the window before and
// after ten F11 round trips. ZEPHRINE_BENCH_GAME_DIR, when set, names
// another game folder (an earlier build, for before-and-after figures).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

long long NowNs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

// A started process whose standard output is read line by line.
struct Child {
  pid_t pid = -1;
  int out = -1;
  long long startNs = 0;
  std::string pending;

  // One "timing <event> <ns> [<value>]" line.
  struct Line {
    std::string event;
    long long ns = 0, value = -1;
  };

  // The next timing line before `deadline`; false when none comes.
  bool Next(Line& line, long long deadline) {
    for (;;) {
      const size_t nl = pending.find('\n');
      if (nl != std::string::npos) {
        const std::string text = pending.substr(0, nl);
        pending.erase(0, nl + 1);
        char name[64];
        line.value = -1;
        if (std::sscanf(text.c_str(), "timing %63s %lld %lld", name, &line.ns, &line.value) < 2) continue;
        line.event = name;
        return true;
      }
      const long long left = deadline - NowNs();
      if (left <= 0) return false;
      pollfd p{out, POLLIN, 0};
      if (poll(&p, 1, int(left / 1000000) + 1) <= 0) return false;
      char buf[4096];
      const ssize_t n = read(out, buf, sizeof buf);
      if (n <= 0) return false;
      pending.append(buf, size_t(n));
    }
  }

  // Reads and drops lines for `seconds`, so the process never waits on a
  // full pipe.
  void Drain(double seconds) {
    const long long deadline = NowNs() + (long long)(seconds * 1e9);
    for (Line line; Next(line, deadline);) {
    }
  }

  // Waits up to `seconds` for the event; its time, or -1 when it does not come.
  long long WaitFor(const std::string& event, double seconds) {
    const long long deadline = NowNs() + (long long)(seconds * 1e9);
    for (Line line; Next(line, deadline);) {
      if (line.event == event) return line.ns;
    }
    return -1;
  }

  void Stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    close(out);
    pid = -1;
  }
};

// The game folder measured: ZEPHRINE_BENCH_GAME_DIR, else this build's.
std::string GameDir() {
  const char* other = std::getenv("ZEPHRINE_BENCH_GAME_DIR");
  return other ? other : ZEPHRINE_GAME_DIR;
}

Child Launch(const char* program, const char* arg, const char* timing) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  Child c;
  c.startNs = NowNs();
  c.pid = fork();
  if (c.pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    if (chdir(GameDir().c_str()) != 0) _exit(127);
    if (timing) setenv("ZEPHRINE_TIMING", timing, 1);
    execl(program, program, arg, (char*)nullptr);
    _exit(127);
  }
  close(fds[1]);
  c.out = fds[0];
  return c;
}

Child LaunchGame(bool fullscreen) {
  const std::string program = GameDir() + "/zephrine";
  return Launch(program.c_str(), nullptr, fullscreen ? "fullscreen" : "1");
}
Child LaunchFloor(bool fullscreen) { return Launch(FLOOR_WINDOW, fullscreen ? "fullscreen" : "window", nullptr); }

double ResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  return 0;
}

// User plus system CPU seconds of the process so far.
double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream rest(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// Start-up of the game (first frame, then the end of loading) or of the floor
// program (its first frame is all it loads): wall time from the start of the
// process, and resident memory once it is up.
void Startup(benchmark::State& state, bool game) {
  const bool fullscreen = state.range(0) != 0;
  double firstMs = 0, loadedMs = 0, rss = 0;
  for (auto _ : state) {
    Child c = game ? LaunchGame(fullscreen) : LaunchFloor(fullscreen);
    const long long first = c.WaitFor(game ? "first-frame" : "ready", 20);
    const long long loaded = game ? c.WaitFor("loaded", 20) : first;
    if (first < 0 || loaded < 0) {
      c.Stop();
      state.SkipWithError(game ? "the game printed no timing (is DISPLAY set?)"
                               : "the floor program did not start (is DISPLAY set?)");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rss += ResidentMb(c.pid);
    c.Stop();
    firstMs += (first - c.startNs) / 1e6;
    loadedMs += (loaded - c.startNs) / 1e6;
    state.SetIterationTime((loaded - c.startNs) / 1e9);
  }
  state.counters["first_frame_ms"] = benchmark::Counter(firstMs, benchmark::Counter::kAvgIterations);
  if (game) state.counters["loaded_ms"] = benchmark::Counter(loadedMs, benchmark::Counter::kAvgIterations);
  state.counters["rss_MB"] = benchmark::Counter(rss, benchmark::Counter::kAvgIterations);
}

void BM_GameStartup(benchmark::State& state) { Startup(state, true); }
BENCHMARK(BM_GameStartup)->Arg(0)->Arg(1)->ArgName("fullscreen")->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_FloorStartup(benchmark::State& state) { Startup(state, false); }
BENCHMARK(BM_FloorStartup)->Arg(0)->Arg(1)->ArgName("fullscreen")->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Figures of a stretch of running, read from the process's timing lines and
// from /proc.
struct Running {
  double updatesPerSecond = 0, p99GapMs = 0, cpuPercent = 0, rssMb = 0;
  long long mostDrawCalls = 0, longestCollectionNs = 0;
};

Running Measure(Child& c, double seconds) {
  const double cpu0 = CpuSeconds(c.pid);
  const long long t0 = NowNs(), end = t0 + (long long)(seconds * 1e9);
  std::vector<long long> updates;
  Running r;
  for (Child::Line line; c.Next(line, end);) {
    if (line.ns < t0) continue;  // printed before the stretch began
    if (line.event == "update") {
      updates.push_back(line.ns);
      r.longestCollectionNs = std::max(r.longestCollectionNs, line.value);
    }
    if (line.event == "frame") r.mostDrawCalls = std::max(r.mostDrawCalls, line.value);
  }
  const double wall = (NowNs() - t0) / 1e9;
  r.cpuPercent = (CpuSeconds(c.pid) - cpu0) / wall * 100.0;
  r.rssMb = ResidentMb(c.pid);
  if (updates.size() < 2) return r;
  r.updatesPerSecond = (updates.size() - 1) / ((updates.back() - updates.front()) / 1e9);
  std::vector<long long> gaps;
  for (size_t i = 1; i < updates.size(); ++i) gaps.push_back(updates[i] - updates[i - 1]);
  std::sort(gaps.begin(), gaps.end());
  r.p99GapMs = gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)] / 1e6;
  return r;
}

// Runs xdotool with `args` on the display; false when it fails.
bool Xdotool(const std::string& args) { return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0; }

// From the menu to a computer match of 8 riders, as a player gets there.
bool StartComputerMatch(pid_t pid) {
  const std::string window = "search --sync --onlyvisible --pid " + std::to_string(pid) + " windowfocus";
  return Xdotool(window) && Xdotool("keydown Return sleep 0.2 keyup Return sleep 1") &&
         Xdotool("keydown b keydown n sleep 0.3 keyup n keyup b");
}

enum RunningKind { FLOOR, MENU, MATCH };
constexpr double SETTLE_SECONDS = 1, MATCH_START_SECONDS = 5, RUN_SECONDS = 20;

// Updates, gaps, CPU and memory over RUN_SECONDS: the floor, the game at its
// menu, the game during a computer match; in a window or full screen.
void BM_Running(benchmark::State& state) {
  const auto kind = RunningKind(state.range(0));
  const bool fullscreen = state.range(1) != 0;
  Running r;
  for (auto _ : state) {
    Child c = kind == FLOOR ? LaunchFloor(fullscreen) : LaunchGame(fullscreen);
    if (c.WaitFor(kind == FLOOR ? "ready" : "loaded", 20) < 0) {
      c.Stop();
      state.SkipWithError("no start-up line (is DISPLAY set?)");
      return;
    }
    c.Drain(SETTLE_SECONDS);
    if (kind == MATCH) {
      if (!StartComputerMatch(c.pid)) {
        c.Stop();
        state.SkipWithError("xdotool could not start the match");
        return;
      }
      c.Drain(MATCH_START_SECONDS);
    }
    r = Measure(c, RUN_SECONDS);
    c.Stop();
    state.SetIterationTime(RUN_SECONDS);
  }
  state.counters["updates_per_s"] = r.updatesPerSecond;
  state.counters["p99_gap_ms"] = r.p99GapMs;
  state.counters["cpu_percent_of_core"] = r.cpuPercent;
  state.counters["rss_MB"] = r.rssMb;
  if (kind == FLOOR) return;
  state.counters["most_draw_calls"] = double(r.mostDrawCalls);
  state.counters["longest_collection_ms"] = r.longestCollectionNs / 1e6;
}
BENCHMARK(BM_Running)
    ->ArgsProduct({{FLOOR, MENU, MATCH}, {0, 1}})
    ->ArgNames({"floor_menu_match", "fullscreen"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

constexpr int ROUND_TRIPS = 10;
constexpr double RELOAD_SECONDS = 3;  // between presses
// After the last press: the art of the window's size loaded and the old
// size's given back, even on a loaded machine.
constexpr double FINAL_LOAD_SECONDS = 15;

// Resident memory on the menu in the window, before and after ten round
// trips to full screen and back (F11 each way).
void BM_FullScreenRoundTrips(benchmark::State& state) {
  double before = 0, after = 0;
  for (auto _ : state) {
    Child c = LaunchGame(false);
    if (c.WaitFor("loaded", 20) < 0) {
      c.Stop();
      state.SkipWithError("no start-up line (is DISPLAY set?)");
      return;
    }
    c.Drain(SETTLE_SECONDS);
    before = ResidentMb(c.pid);
    const std::string focus = "search --sync --onlyvisible --pid " + std::to_string(c.pid) + " windowfocus";
    for (int i = 0; i < 2 * ROUND_TRIPS; ++i) {
      Xdotool(focus + " key F11");
      c.Drain(RELOAD_SECONDS);
    }
    c.Drain(FINAL_LOAD_SECONDS);
    after = ResidentMb(c.pid);
    c.Stop();
    state.SetIterationTime(2 * ROUND_TRIPS * RELOAD_SECONDS + FINAL_LOAD_SECONDS);
  }
  state.counters["rss_before_MB"] = before;
  state.counters["rss_after_MB"] = after;
}
BENCHMARK(BM_FullScreenRoundTrips)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
