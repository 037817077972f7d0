// The lockstep session over the in-process network, on its simulated clock
// (so the figures do not depend on the machine's load):
//
// BM_Link/RTT: a host and a joiner over a link of RTT ms round trip for a
// minute of play: the input delay both settle on, and how long an update
// waits for input on average (ticks that found it waiting, at 1/60 s each,
// over the updates run).
// BM_EightMachines: eight machines (one rider each) for a minute: bytes per
// second each peer sends and receives through the session (datagram
// payloads; ENet adds its headers and acknowledgements), and the CPU time
// the sessions take per machine and update.
#include <benchmark/benchmark.h>
#include <time.h>

#include "tests/net/sim.h"

namespace {

constexpr int64_t MINUTE_MS = 60000;
constexpr double UPDATE_MS = 1000.0 / 60.0;

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void BM_Link(benchmark::State& state) {
  const int rtt = int(state.range(0));
  for (auto _ : state) {
    sim::Network n(rtt / 2, 0, 2);
    n.Run(MINUTE_MS);
    state.counters["delay_updates"] = n[1].session->Delay();
    double waited = 0, steps = 0;
    for (int k : {0, 1}) {
      waited += n[k].stalls * UPDATE_MS;
      steps += n[k].steps;
    }
    state.counters["wait_ms_per_update"] = waited / steps;
  }
}
BENCHMARK(BM_Link)->Arg(0)->Arg(50)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_EightMachines(benchmark::State& state) {
  constexpr int MACHINES = 8;
  for (auto _ : state) {
    sim::Network n(10, 0, MACHINES);
    const double before = ThreadCpuMs();
    n.Run(MINUTE_MS);
    const double cpu = ThreadCpuMs() - before;
    uint64_t steps = 0;
    for (int k = 0; k < MACHINES; ++k) steps += n[k].steps;
    // Every byte is sent once by one end of a host-peer link and received
    // by the other: each of the seven links carries its share both ways.
    state.counters["bytes_per_s_per_peer"] = double(n.loopback().BytesSent()) / (MACHINES - 1) / 60.0;
    state.counters["cpu_us_per_update"] = cpu * 1e3 / double(steps);
  }
}
BENCHMARK(BM_EightMachines)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
