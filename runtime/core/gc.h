// Managed objects and the incremental collector.
//
// Every object of the game and of the runtime's managed classes derives from
// gc_object and is created with plain `new`; nothing is ever deleted by hand.
// The collector is an incremental mark-and-sweep over three colour lists with
// a flipping mark bit. It runs only between calls into the game (after each
// start, update, render and event delivery), when no managed reference lives
// in a local variable, so it never scans stacks.
//
// Rules for managed classes:
//  - store references into fields through gc_assign (the write barrier);
//  - override mark() to queue every reference held (gc_mark_q) and call the
//    base class's mark();
//  - globals that hold managed references are registered once with gc_root
//    and stored into through gc_assign.
#pragma once

#include <cstddef>
#include <cstdint>

// Block header placed in front of every managed object. Keeping the links
// outside the object means a derived class's value-initialisation can never
// clobber them.
struct gc_header {
  gc_header* succ;  // next on the object's colour list
  gc_header* pred;  // previous on the object's colour list
  int flags;        // block size in bytes (multiple of 8) | colour in bits 0-1
  int pad;
};

class gc_object {
 public:
  gc_object() = default;
  virtual ~gc_object() = default;
  // Queues every managed reference this object holds. Base: nothing.
  virtual void mark() {}

  static void* operator new(std::size_t size);
  static void operator delete(void* p);
  // Construction in a block that gc_object_alloc returned (variable-sized
  // objects such as array representations).
  static void* operator new(std::size_t, void* block) { return block; }
  static void operator delete(void*, void*) {}

  gc_header* header() { return reinterpret_cast<gc_header*>(this) - 1; }
};

// Colour bits equal to gc_markbit mean white (not yet reached this cycle).
extern int gc_markbit;

// Byte counters (signed 32-bit, as the cycle arithmetic expects).
extern int gc_new_bytes;          // allocated since the last full cycle
extern int gc_alloced_bytes;      // live plus not yet swept
extern int gc_max_alloced_bytes;  // high-water mark of gc_alloced_bytes
extern int gc_marked_bytes;       // reached in this cycle
extern int gc_free_bytes;         // waiting on the free list
extern int gc_ext_new_bytes;      // native bytes reported since the last cycle (atomic)

// Bytes of new allocation after which a cycle is finished.
constexpr int GC_CYCLE_BYTES = 8 * 1024 * 1024;
// Blocks below this size are recycled through per-size-class free lists.
constexpr int GC_CACHE_LIMIT = 64;

// Returns a new block of `size` bytes registered as a white object. Called
// by gc_object::operator new; the constructor then fills the object. With
// `zeroed` the bytes after the block header are zero; a large block then
// comes straight from the system, its pages untouched until written.
void* gc_object_alloc(std::size_t size, bool zeroed = false);
// Returns a destroyed object's block to the cache or the system allocator.
void gc_object_free(gc_object* p);

// Moves a white object to the queued list. Use gc_mark_q.
void gc_queue_white(gc_object* p);

// Queues `p` if it is white; null queues nothing. `p` must be a managed
// object (created with new). Inline because marking calls it for every
// reference: only white objects leave the fast path.
inline void gc_mark_q(gc_object* p) {
  if (p && (p->header()->flags & 3) == gc_markbit) gc_queue_white(p);
}

// Starts loading the block header of `p` and, with `links`, its list
// neighbours, which queueing `p` will touch. Marking a long array of
// references asks ahead this way so the misses overlap.
inline void gc_prefetch(gc_object* p, bool links) {
  if (!p) return;
  gc_header* h = p->header();
  if (!links) {
    __builtin_prefetch(h, 1);
    return;
  }
  __builtin_prefetch(h->pred, 1);
  __builtin_prefetch(h->succ, 1);
}

// The write barrier: queues the new value, then stores it.
template <class T, class V>
inline T* gc_assign(T*& field, V* value) {
  gc_mark_q(value);
  return field = value;
}

// Registers a global slot holding a managed reference as a root, queueing
// what it holds now. The slot must outlive the program (a global or static).
// Later stores into the slot go through gc_assign like any other field.
template <class T>
inline void gc_root(T*& slot) {
  void gc_add_root(gc_object** slot);
  static_assert(sizeof(T*) == sizeof(gc_object*));
  gc_add_root(reinterpret_cast<gc_object**>(&slot));
}
// Registers every global slot a file defines (object pointers and arrays)
// as roots, once, at static initialization, after their definitions:
//   const bool roots_registered = gc_roots(first_global, second_global);
template <class... Slots>
bool gc_roots(Slots&... slots) {
  (gc_root(slots), ...);
  return true;
}

// Native code reports bytes it allocated outside the collector (decoded
// images, audio, file data). Thread-safe.
void gc_ext_malloced(int bytes);

// Prepares the lists. Called once at start-up, before any allocation.
void gc_init();
// Queues every registered root: starts a cycle.
void gc_mark();
// One collection step (see gc.cpp).
void gc_collect();
// Asks the next collection step to finish the cycle in progress, run one
// whole cycle more, destroy everything found unreachable and give the
// allocator's free memory back to the system, instead of one step. For the
// moment after much has been dropped at once (the art of another window
// size): the incremental steps would hold the old objects, and the heap
// they sit in, for many updates more. Safe to call from anywhere; nothing
// is collected before the step.
void gc_request_full_collection();

// Figures: while gc_timed is set, every collection step times itself and
// gc_longest_step_ns holds the longest step (ns) since the caller last set
// it to 0. Off unless a measurement run switches it on.
extern bool gc_timed;
extern long long gc_longest_step_ns;

// True when `p` is a live managed object (queued, unmarked or marked).
// Walks every list: for checking addresses from outside, not for hot paths.
bool gc_is_object(const void* p);

// Testing and figures: number of objects on each list.
struct gc_stats {
  int queued, unmarked, marked, free_list;
};
gc_stats gc_counts();
