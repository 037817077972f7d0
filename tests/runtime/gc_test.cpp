// The collector under a game-like workload: objects reachable through
// barriered fields, arrays, stacks and maps survive any number of cycles;
// unreachable ones are reclaimed lazily, only by later allocations, and a
// cycle completes only after its byte budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "runtime/core/core.h"

namespace {

std::set<int> destroyed;
int last_id = 0;

bool Alive(int id) { return destroyed.count(id) == 0; }

class Tracked : public Object {
 public:
  int id = ++last_id;
  Tracked* m_next = nullptr;
  ~Tracked() override { destroyed.insert(id); }
  void mark() override {
    Object::mark();
    gc_mark_q(m_next);
  }
};

// Game state as the game keeps it: fields, an array, a stack and a map of
// references.
class World : public Object {
 public:
  static constexpr int KEYS = 50;
  Tracked* m_player = nullptr;
  Array<Tracked*> m_riders;
  c_StackOf<Tracked*>* m_trail = nullptr;
  c_IntMapOf<Tracked*>* m_byKey = nullptr;

  World* m_new() {
    gc_assign(m_riders, Array<Tracked*>(8));
    gc_assign(m_trail, (new c_StackOf<Tracked*>)->m_new());
    gc_assign(m_byKey, (new c_IntMapOf<Tracked*>)->m_new());
    return this;
  }
  void mark() override {
    Object::mark();
    gc_mark_q(m_player);
    gc_mark_q(m_riders);
    gc_mark_q(m_trail);
    gc_mark_q(m_byKey);
  }
  // Ids of every Tracked the world can reach.
  std::vector<int> Reachable() {
    std::vector<Tracked*> held(m_riders.begin(), m_riders.end());
    for (Tracked* t = m_player; t; t = t->m_next) held.push_back(t);
    for (int i = 0; i < m_trail->p_Length2(); ++i) held.push_back(m_trail->p_Get(i));
    for (int key = 0; key < KEYS; ++key) held.push_back(m_byKey->p_Get(key));
    std::vector<int> ids;
    for (Tracked* t : held) {
      if (t) ids.push_back(t->id);
    }
    return ids;
  }
};

// Short-lived garbage of about `bytes` in arrays of about 1 KiB.
void MakeGarbage(int bytes) {
  for (int made = 0; made < bytes; made += 1024) Array<int>(240)[0] = made;
}

// One update of a game that only allocates garbage, then the collection
// step the runtime runs after each call into the game.
void Update(int garbage_bytes) {
  MakeGarbage(garbage_bytes);
  gc_collect();
}

// Runs updates until the current cycle completes (the mark bit flips).
void FinishCycle() {
  for (int bit = gc_markbit; gc_markbit == bit;) Update(1 << 20);
}

// An allocation at least as large as all waiting garbage destroys all of it.
void DestroyAllGarbage() { Array<int>(gc_free_bytes / 4 + 16)[0] = 1; }

// The game's delegate, kept alive only by the runtime game object.
class GameDelegate : public BBGameDelegate {
 public:
  World* m_world = nullptr;
  std::vector<int> dropped;  // ids that became unreachable
  int update = 0;

  void StartGame() override { gc_assign(m_world, (new World)->m_new()); }
  void UpdateGame() override {
    const int at = ++update % World::KEYS, rider = update % 8;
    m_world->m_trail->p_Push(new Tracked);
    Forget(m_world->m_byKey->p_Get(at));
    m_world->m_byKey->p_Set(at, new Tracked);
    Forget(m_world->m_riders[rider]);
    gc_assign(m_world->m_riders[rider], new Tracked);
    Tracked* head = new Tracked;
    gc_assign(head->m_next, m_world->m_player);
    gc_assign(m_world->m_player, head);
    MakeGarbage(1 << 20);
  }
  void mark() override {
    BBGameDelegate::mark();
    gc_mark_q(m_world);
  }

 private:
  void Forget(Tracked* t) {
    if (t) dropped.push_back(t->id);
  }
};

TEST(Collector, GameStateSurvivesCyclesAndDroppedObjectsAreReclaimed) {
  BBGame game;
  auto* delegate = new GameDelegate;
  game.SetDelegate(delegate);
  game.StartGame();
  int cycles = 0;
  for (int i = 0; i < 100; ++i) {
    int bit = gc_markbit;
    game.UpdateGame();
    cycles += gc_markbit != bit;
  }
  ASSERT_GE(cycles, 8);

  ASSERT_EQ(delegate->m_world->Reachable().size(), size_t(100 + 100 + 8 + World::KEYS));
  for (int id : delegate->m_world->Reachable()) EXPECT_TRUE(Alive(id)) << "reachable object " << id << " was destroyed";

  // Everything dropped so far is gone once two more cycles have passed and
  // the garbage has been paid off by allocation.
  std::vector<int> dropped = delegate->dropped;
  ASSERT_FALSE(dropped.empty());
  for (int flips = 0, bit = gc_markbit; flips < 2; bit = gc_markbit) {
    game.UpdateGame();
    flips += gc_markbit != bit;
  }
  DestroyAllGarbage();
  for (int id : dropped) EXPECT_FALSE(Alive(id)) << "dropped object " << id << " was kept";
  for (int id : delegate->m_world->Reachable()) EXPECT_TRUE(Alive(id));
  game.SetDelegate(nullptr);
}

// How the collector paces its work, in one check: no cycle completes before
// its byte budget, and what a cycle finds unreachable is destroyed by later
// allocations, not at the sweep.
TEST(Collector, NoCycleCompletesBeforeEightMebibytesAndGarbageGoesLater) {
  FinishCycle();
  int bit = gc_markbit;
  std::vector<int> ids;
  for (int i = 0; i < 100; ++i) ids.push_back((new Tracked)->id);
  for (int i = 0; i < 7; ++i) Update(1 << 20);
  EXPECT_EQ(gc_markbit, bit) << "a cycle completed under the budget";
  for (int id : ids) EXPECT_TRUE(Alive(id));

  // Bytes that native loaders report count towards the same budget.
  gc_ext_malloced(GC_CYCLE_BYTES);
  gc_collect();
  EXPECT_TRUE(gc_markbit != bit && gc_ext_new_bytes == 0);
  for (int id : ids) EXPECT_TRUE(Alive(id)) << "destroyed during the collection step";
  DestroyAllGarbage();
  for (int id : ids) EXPECT_FALSE(Alive(id));
  EXPECT_EQ((std::vector<int>{gc_counts().free_list, int(gc_free_bytes)}), (std::vector<int>{0, 0}));
}

// A requested full collection, at the next step and not before, destroys
// everything dropped (also what was dropped after the cycle in progress
// marked it) and keeps everything reachable; steps then go on as before.
TEST(Collector, ARequestedFullCollectionDestroysEverythingDroppedAtTheNextStep) {
  FinishCycle();
  static World* world = nullptr;
  gc_root(world);
  gc_assign(world, (new World)->m_new());
  gc_assign(world->m_player, new Tracked);
  Update(1 << 20);  // the cycle has marked the player
  const int dropped = world->m_player->id;
  gc_assign(world->m_player, new Tracked);
  std::vector<int> garbage;
  for (int i = 0; i < 100; ++i) garbage.push_back((new Tracked)->id);
  gc_request_full_collection();
  EXPECT_TRUE(Alive(dropped)) << "nothing goes before the step";
  gc_collect();
  EXPECT_FALSE(Alive(dropped));
  for (int id : garbage) EXPECT_FALSE(Alive(id));
  EXPECT_TRUE(Alive(world->m_player->id));
  EXPECT_EQ((std::vector<int>{gc_counts().free_list, int(gc_free_bytes)}), (std::vector<int>{0, 0}));
  const int bit = gc_markbit;
  Update(1 << 20);
  EXPECT_EQ(gc_markbit, bit) << "the next step is an ordinary one";
  gc_assign(world, static_cast<World*>(nullptr));
}

// Arrays of numbers and references start zeroed however their blocks were
// used before (cached small blocks, fresh large ones).
TEST(Collector, NewArraysStartZeroed) {
  for (int round = 0; round < 2; ++round) {
    for (int length : {3, 5, 1 << 18}) {
      Array<int> ints(length);
      Array<float> floats(length);
      Array<Tracked*> refs(length);
      EXPECT_EQ(std::count(ints.begin(), ints.end(), 0), length);
      EXPECT_EQ(std::count(floats.begin(), floats.end(), 0.0f), length);
      EXPECT_EQ(std::count(refs.begin(), refs.end(), nullptr), length);
      std::fill(ints.begin(), ints.end(), -1);
      std::fill(floats.begin(), floats.end(), 2.5f);
    }
    FinishCycle();
    DestroyAllGarbage();  // the blocks go back to the caches for the next round
  }
}

TEST(Collector, EmptyArraysCreatedMidCycleStayAlive) {
  FinishCycle();
  Update(1 << 16);
  Array<World*> empty;  // the first empty array of this element type
  gc_object* rep = empty.rep();
  for (int i = 0; i < 2; ++i) FinishCycle();
  DestroyAllGarbage();
  EXPECT_TRUE(gc_is_object(rep));
  EXPECT_EQ(Array<World*>().rep(), rep);
  EXPECT_EQ(Array<World*>(0).Length(), 0);
}

}  // namespace
