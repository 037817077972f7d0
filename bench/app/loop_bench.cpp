// Runs the real window loop with an application whose update and render do
// nothing, and reports over a measured stretch: updates per second, the gaps
// between updates (median, 99th percentile, largest) and the CPU time of the
// process as a share of one core.
//
//   app_loop_bench [seconds]      (default 10; needs a display)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/app/app.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double WARM_UP_SECONDS = 1.0;
constexpr int RATE = 60;
double measure_seconds = 10.0;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

class IdleApp : public c_App {
 public:
  int p_OnCreate() override {
    bb_app_SetUpdateRate(RATE);
    start_ = Clock::now();
    return 0;
  }
  int p_OnUpdate() override {
    Clock::time_point now = Clock::now();
    double since = std::chrono::duration<double>(now - start_).count();
    if (since < WARM_UP_SECONDS) return 0;
    if (stamps_.empty()) {
      cpu0_ = CpuSeconds();
      frames0_ = frames_;
    }
    stamps_.push_back(now);
    if (since >= WARM_UP_SECONDS + measure_seconds) Report();
    return 0;
  }
  int p_OnRender() override {
    ++frames_;
    return 0;
  }

 private:
  [[noreturn]] void Report() {
    double wall = std::chrono::duration<double>(stamps_.back() - stamps_.front()).count();
    double cpu = CpuSeconds() - cpu0_;
    std::vector<double> gaps;
    for (size_t i = 1; i < stamps_.size(); ++i) {
      gaps.push_back(std::chrono::duration<double, std::milli>(stamps_[i] - stamps_[i - 1]).count());
    }
    std::printf("measured          %.2f s\n", wall);
    std::printf("updates/s         %.2f (target %d)\n", double(stamps_.size() - 1) / wall, RATE);
    std::printf("frames/s          %.2f\n", double(frames_ - frames0_) / wall);
    std::printf("gap median        %.2f ms\n", Percentile(gaps, 0.5));
    std::printf("gap p99           %.2f ms\n", Percentile(gaps, 0.99));
    std::printf("gap max           %.2f ms\n", *std::max_element(gaps.begin(), gaps.end()));
    std::printf("cpu               %.2f %% of one core\n", 100.0 * cpu / wall);
    std::fflush(stdout);
    bb_app_EndApp();
  }

  Clock::time_point start_;
  std::vector<Clock::time_point> stamps_;
  double cpu0_ = 0;
  long frames_ = 0, frames0_ = 0;
};

int IdleInit() { return bb_app_InitRuntimeGlobals(); }

int IdleMain() {
  (new IdleApp)->m_new();
  return 0;
}

}  // namespace

int main(int argc, const char** argv) {
  if (argc > 1) measure_seconds = std::atof(argv[1]);
  return BBTarvexGame::Main(argc, argv, {IdleInit, IdleMain});
}
