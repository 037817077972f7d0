// Allocation cost and collection pauses of the managed heap.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>
#include <vector>

#include "runtime/core/core.h"

namespace {

// A small game object: a reference and two ints (a 40-byte block with the
// collector's header).
class Small : public Object {
 public:
  Small* m_a = nullptr;
  int m_x = 0, m_y = 0;
  void mark() override {
    Object::mark();
    gc_mark_q(m_a);
  }
};

// The same object without the collector: vtable, a pointer and two ints.
struct PlainSmall {
  virtual ~PlainSmall() = default;
  PlainSmall* a = nullptr;
  int x = 0, y = 0;
};

// Allocations a game makes per update in this benchmark before the runtime
// runs its collection step.
constexpr int ALLOCS_PER_UPDATE = 1000;

void BM_ManagedSmallAlloc(benchmark::State& state) {
  int n = 0;
  for (auto _ : state) {
    Small* s = new Small;
    benchmark::DoNotOptimize(s);
    if (++n == ALLOCS_PER_UPDATE) {
      n = 0;
      gc_collect();
    }
  }
}
BENCHMARK(BM_ManagedSmallAlloc);

void BM_NewDeleteSmall(benchmark::State& state) {
  for (auto _ : state) {
    PlainSmall* s = new PlainSmall;
    benchmark::DoNotOptimize(s);
    delete s;
  }
}
BENCHMARK(BM_NewDeleteSmall);

// A live node of the game-like heap: references and an int payload.
class Node : public Object {
 public:
  Node* m_next = nullptr;
  Array<int> m_payload;
  void mark() override {
    Object::mark();
    gc_mark_q(m_next);
    gc_mark_q(m_payload);
  }
};

// A group of nodes, as the game keeps its objects in many small arrays.
class Chunk : public Object {
 public:
  Array<Node*> m_nodes;
  void mark() override {
    Object::mark();
    gc_mark_q(m_nodes);
  }
};

class Heap : public Object {
 public:
  Array<Chunk*> m_chunks;
  int m_nodeCount = 0;
  void mark() override {
    Object::mark();
    gc_mark_q(m_chunks);
  }
};

Heap* g_heap = nullptr;

// Fills the heap with about `bytes` of live nodes whose payloads hold
// `min_ints` to `max_ints` ints, in arrays of `chunk` nodes.
void BuildHeap(int bytes, int min_ints, int max_ints, int chunk) {
  if (!g_heap) gc_root(g_heap);
  gc_assign(g_heap, new Heap);
  std::mt19937 random(1);
  std::uniform_int_distribution<int> ints(min_ints, max_ints);
  std::vector<Chunk*> chunks;
  std::vector<Node*> nodes;
  auto close_chunk = [&] {
    Chunk* c = new Chunk;
    gc_assign(c->m_nodes, Array<Node*>(nodes.data(), int(nodes.size())));
    chunks.push_back(c);
    nodes.clear();
  };
  for (int start = gc_alloced_bytes; gc_alloced_bytes - start < bytes;) {
    Node* node = new Node;
    int n = ints(random);
    gc_assign(node->m_payload, Array<int>(n));
    nodes.push_back(node);
    ++g_heap->m_nodeCount;
    if (int(nodes.size()) == chunk) close_chunk();
  }
  if (!nodes.empty()) close_chunk();
  gc_assign(g_heap->m_chunks, Array<Chunk*>(chunks.data(), int(chunks.size())));
}

// Milliseconds of this thread's processor time: what a step costs without
// the preemption a shared machine adds.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// 2 MiB of short-lived garbage: small objects and arrays of mixed sizes.
void MakeGarbage(std::mt19937& random) {
  std::uniform_int_distribution<int> ints(4, 250);
  for (int start = gc_new_bytes; gc_new_bytes - start < 2 << 20;) {
    Small* s = new Small;
    benchmark::DoNotOptimize(s);
    Array<int> scratch(ints(random));
    benchmark::DoNotOptimize(scratch[0]);
  }
}

// Runs 60 updates, each making 2 MiB of garbage over a 50 MB live heap and
// then running the collection step; reports the longest step in processor
// time and in wall time.
void BM_CollectionStepUnderLoad(benchmark::State& state) {
  BuildHeap(50 << 20, int(state.range(0)), int(state.range(1)), int(state.range(2)));
  std::mt19937 random(2);
  for (int i = 0; i < 30; ++i) {  // settle into steady cycles first
    MakeGarbage(random);
    gc_collect();
  }
  double max_step = 0, max_wall = 0, total_step = 0, max_alloc = 0;
  int updates = 0;
  for (auto _ : state) {
    for (int i = 0; i < 60; ++i) {
      double t0 = ThreadMs();
      MakeGarbage(random);
      double t1 = ThreadMs();
      auto w1 = std::chrono::steady_clock::now();
      gc_collect();
      auto w2 = std::chrono::steady_clock::now();
      double step = ThreadMs() - t1;
      max_step = std::max(max_step, step);
      max_wall = std::max(max_wall, std::chrono::duration<double, std::milli>(w2 - w1).count());
      total_step += step;
      max_alloc = std::max(max_alloc, t1 - t0);
      ++updates;
    }
  }
  state.counters["max_step_ms"] = max_step;
  state.counters["max_step_wall_ms"] = max_wall;
  state.counters["mean_step_ms"] = total_step / updates;
  state.counters["max_alloc_ms"] = max_alloc;
  state.counters["live_objects"] = 2 * g_heap->m_nodeCount;
  gc_assign(g_heap, (Heap*)nullptr);
}
// Payloads of 16-256 ints in arrays of 256 nodes (game-like); the same in
// one array of all nodes (its marking is one indivisible unit); and the
// whole 50 MB in tiny objects (the most objects per byte).
BENCHMARK(BM_CollectionStepUnderLoad)
    ->Args({16, 256, 256})
    ->Args({16, 256, 1 << 30})
    ->Args({1, 1, 256})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
