// Figures of the real game process under the display in DISPLAY: time from
// starting the process to its first drawn frame and to the end of asset
// loading (the game prints both when ZEPHRINE_TIMING is set), resident
// memory after loading, and CPU use over ten seconds of running afterwards,
// each beside the floor program that only opens a window with OpenGL and an
// OpenAL device. Every iteration starts a fresh process and ends it with
// SIGTERM.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

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

  // Waits up to `seconds` for "timing <event> <ns>"; -1 when it does not come.
  long long WaitFor(const std::string& event, double seconds) {
    const long long deadline = NowNs() + (long long)(seconds * 1e9);
    for (;;) {
      const size_t nl = pending.find('\n');
      if (nl != std::string::npos) {
        const std::string line = pending.substr(0, nl);
        pending.erase(0, nl + 1);
        char name[64];
        long long ns = 0;
        if (std::sscanf(line.c_str(), "timing %63s %lld", name, &ns) == 2 && event == name) return ns;
        continue;
      }
      const long long left = deadline - NowNs();
      if (left <= 0) return -1;
      pollfd p{out, POLLIN, 0};
      if (poll(&p, 1, int(left / 1000000) + 1) <= 0) return -1;
      char buf[4096];
      const ssize_t n = read(out, buf, sizeof buf);
      if (n <= 0) return -1;
      pending.append(buf, size_t(n));
    }
  }

  void Stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    close(out);
    pid = -1;
  }
};

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
    if (chdir(ZEPHRINE_GAME_DIR) != 0) _exit(127);
    if (timing) setenv("ZEPHRINE_TIMING", timing, 1);
    execl(program, program, arg, (char*)nullptr);
    _exit(127);
  }
  close(fds[1]);
  c.out = fds[0];
  return c;
}

Child LaunchGame(bool fullscreen) {
  return Launch(ZEPHRINE_GAME_DIR "/zephrine", nullptr, fullscreen ? "fullscreen" : "1");
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

void BM_GameStartup(benchmark::State& state) {
  const bool fullscreen = state.range(0) != 0;
  double firstMs = 0, loadedMs = 0, rss = 0;
  for (auto _ : state) {
    Child game = LaunchGame(fullscreen);
    const long long first = game.WaitFor("first-frame", 20);
    const long long loaded = game.WaitFor("loaded", 20);
    if (first < 0 || loaded < 0) {
      game.Stop();
      state.SkipWithError("the game printed no timing (is DISPLAY set?)");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rss += ResidentMb(game.pid);
    game.Stop();
    firstMs += (first - game.startNs) / 1e6;
    loadedMs += (loaded - game.startNs) / 1e6;
    state.SetIterationTime((loaded - game.startNs) / 1e9);
  }
  state.counters["first_frame_ms"] = benchmark::Counter(firstMs, benchmark::Counter::kAvgIterations);
  state.counters["loaded_ms"] = benchmark::Counter(loadedMs, benchmark::Counter::kAvgIterations);
  state.counters["rss_MB"] = benchmark::Counter(rss, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GameStartup)->Arg(0)->Arg(1)->ArgName("fullscreen")->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_FloorStartup(benchmark::State& state) {
  const bool fullscreen = state.range(0) != 0;
  double readyMs = 0, rss = 0;
  for (auto _ : state) {
    Child floor = LaunchFloor(fullscreen);
    const long long ready = floor.WaitFor("ready", 20);
    if (ready < 0) {
      floor.Stop();
      state.SkipWithError("the floor program did not start (is DISPLAY set?)");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rss += ResidentMb(floor.pid);
    floor.Stop();
    readyMs += (ready - floor.startNs) / 1e6;
    state.SetIterationTime((ready - floor.startNs) / 1e9);
  }
  state.counters["first_frame_ms"] = benchmark::Counter(readyMs, benchmark::Counter::kAvgIterations);
  state.counters["rss_MB"] = benchmark::Counter(rss, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FloorStartup)->Arg(0)->Arg(1)->ArgName("fullscreen")->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// CPU use over ten seconds after loading, as a share of one core.
void BM_RunningCpu(benchmark::State& state) {
  const bool game = state.range(0) != 0;
  double share = 0;
  for (auto _ : state) {
    Child c = game ? LaunchGame(false) : LaunchFloor(false);
    if (c.WaitFor(game ? "loaded" : "ready", 20) < 0) {
      c.Stop();
      state.SkipWithError("no start-up line (is DISPLAY set?)");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double cpu0 = CpuSeconds(c.pid);
    const long long t0 = NowNs();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double used = CpuSeconds(c.pid) - cpu0;
    const double wall = (NowNs() - t0) / 1e9;
    c.Stop();
    share = used / wall * 100.0;
    state.SetIterationTime(wall);
  }
  state.counters["cpu_percent_of_core"] = share;
}
BENCHMARK(BM_RunningCpu)->Arg(1)->Arg(0)->ArgName("game")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
