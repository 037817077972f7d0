#include "gc.h"

#include <malloc.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "timing.h"

int gc_markbit = 0;
int gc_new_bytes = 0;
int gc_alloced_bytes = 0;
int gc_max_alloced_bytes = 0;
int gc_marked_bytes = 0;
int gc_free_bytes = 0;
int gc_ext_new_bytes = 0;
bool gc_timed = false;
long long gc_longest_step_ns = 0;

namespace {

// Circular doubly-linked lists with sentinel nodes.
gc_header queued_list, unmarked_list, marked_list, free_list;
gc_header* gc_cache[GC_CACHE_LIMIT / 8];
bool lists_ready = false;
bool full_collection_requested = false;

std::vector<gc_object**>& RootSlots() {
  static std::vector<gc_object**> slots;
  return slots;
}

void ClearList(gc_header* list) { list->succ = list->pred = list; }
bool ListEmpty(gc_header* list) { return list->succ == list; }

void RemoveNode(gc_header* node) {
  node->pred->succ = node->succ;
  node->succ->pred = node->pred;
}

void InsertBefore(gc_header* node, gc_header* succ) {
  node->succ = succ;
  node->pred = succ->pred;
  succ->pred->succ = node;
  succ->pred = node;
}

// Moves every node of `from` to the tail of `to`; `from` ends empty.
void AppendList(gc_header* from, gc_header* to) {
  if (ListEmpty(from)) return;
  gc_header* first = from->succ;
  gc_header* last = from->pred;
  first->pred = to->pred;
  to->pred->succ = first;
  last->succ = to;
  to->pred = last;
  ClearList(from);
}

int BlockSize(gc_header* h) { return h->flags & ~7; }
gc_object* ObjectOf(gc_header* h) { return reinterpret_cast<gc_object*>(h + 1); }

void EnsureLists() {
  if (lists_ready) return;
  ClearList(&queued_list);
  ClearList(&unmarked_list);
  ClearList(&marked_list);
  ClearList(&free_list);
  lists_ready = true;
}

// Destroys garbage worth about `size` bytes before an allocation.
void DestroyGarbage(int size) {
  int target = gc_free_bytes - size;
  if (target < 0) target = 0;
  while (gc_free_bytes > target && !ListEmpty(&free_list)) {
    gc_header* h = free_list.succ;
    RemoveNode(h);
    delete ObjectOf(h);
  }
  if (ListEmpty(&free_list)) gc_free_bytes = 0;
}

// Marks queued objects until `target` bytes are marked (or all, when
// `target` is negative).
void MarkQueued(int64_t target) {
  while ((target < 0 || gc_marked_bytes < target) && !ListEmpty(&queued_list)) {
    gc_header* h = queued_list.succ;
    __builtin_prefetch(ObjectOf(h->succ));  // the next object to mark
    RemoveNode(h);
    InsertBefore(h, &marked_list);
    gc_marked_bytes += BlockSize(h);
    ObjectOf(h)->mark();
  }
}

void Sweep() {
  if (gc_alloced_bytes != gc_marked_bytes) {
    gc_free_bytes += gc_alloced_bytes - gc_marked_bytes;
    AppendList(&unmarked_list, &free_list);
  }
  gc_alloced_bytes = gc_marked_bytes;
  AppendList(&marked_list, &unmarked_list);
  gc_marked_bytes = 0;
  gc_markbit ^= 1;
}

}  // namespace

void* gc_object::operator new(std::size_t size) { return gc_object_alloc(size); }

void gc_object::operator delete(void* p) { gc_object_free(static_cast<gc_object*>(p)); }

void* gc_object_alloc(std::size_t object_size, bool zeroed) {
  EnsureLists();
  if (object_size > std::size_t(INT_MAX) - sizeof(gc_header) - 7) throw std::bad_alloc();
  int size = static_cast<int>((object_size + sizeof(gc_header) + 7) & ~std::size_t(7));
  gc_new_bytes += size;
  DestroyGarbage(size);

  gc_header* h = nullptr;
  if (size < GC_CACHE_LIMIT && gc_cache[size >> 3]) {
    h = gc_cache[size >> 3];
    gc_cache[size >> 3] = h->succ;
    if (zeroed) std::memset(h + 1, 0, size - sizeof(gc_header));
  } else {
    h = static_cast<gc_header*>(zeroed ? std::calloc(1, size) : std::malloc(size));
    if (!h) throw std::bad_alloc();
  }
  h->flags = gc_markbit | size;
  InsertBefore(h, &unmarked_list);
  gc_alloced_bytes += size;
  if (gc_alloced_bytes > gc_max_alloced_bytes) gc_max_alloced_bytes = gc_alloced_bytes;
  return h + 1;
}

void gc_object_free(gc_object* p) {
  gc_header* h = reinterpret_cast<gc_header*>(p) - 1;
  int size = BlockSize(h);
  gc_free_bytes -= size;
  if (size < GC_CACHE_LIMIT) {
    h->succ = gc_cache[size >> 3];
    gc_cache[size >> 3] = h;
    return;
  }
  std::free(h);
}

void gc_queue_white(gc_object* p) {
  gc_header* h = p->header();
  h->flags ^= 1;
  RemoveNode(h);
  InsertBefore(h, &queued_list);
}

void gc_add_root(gc_object** slot) {
  RootSlots().push_back(slot);
  gc_mark_q(*slot);  // the current cycle's roots are already queued
}

void gc_ext_malloced(int bytes) { __atomic_fetch_add(&gc_ext_new_bytes, bytes, __ATOMIC_RELAXED); }

void gc_init() { EnsureLists(); }

void gc_mark() {
  EnsureLists();
  for (gc_object** slot : RootSlots()) gc_mark_q(*slot);
}

namespace {

void CollectStep() {
  if (int64_t(__atomic_load_n(&gc_ext_new_bytes, __ATOMIC_RELAXED)) + gc_new_bytes <= GC_CYCLE_BYTES) {
    int64_t live = gc_alloced_bytes - gc_new_bytes;
    int64_t target = gc_new_bytes + live * gc_new_bytes / GC_CYCLE_BYTES;
    MarkQueued(target);
    return;
  }
  __atomic_store_n(&gc_ext_new_bytes, 0, __ATOMIC_RELAXED);
  MarkQueued(-1);
  Sweep();
  gc_mark();
  gc_new_bytes = 0;
}

// Two whole cycles: the first finishes the one in progress, whose marks may
// cover objects dropped since it began; the second finds those.
void CollectEverything() {
  for (int cycle = 0; cycle < 2; ++cycle) {
    MarkQueued(-1);
    Sweep();
    gc_mark();
  }
  gc_new_bytes = 0;
  __atomic_store_n(&gc_ext_new_bytes, 0, __ATOMIC_RELAXED);
  DestroyGarbage(gc_free_bytes);
  malloc_trim(0);
}

}  // namespace

void gc_request_full_collection() { full_collection_requested = true; }

void gc_collect() {
  EnsureLists();
  if (full_collection_requested) {
    full_collection_requested = false;
    CollectEverything();
    return;
  }
  if (!gc_timed) {
    CollectStep();
    return;
  }
  const long long start = bb_timing_Now();
  CollectStep();
  gc_longest_step_ns = std::max(gc_longest_step_ns, bb_timing_Now() - start);
}

bool gc_is_object(const void* p) {
  if (!p || !lists_ready) return false;
  for (gc_header* list : {&queued_list, &unmarked_list, &marked_list}) {
    for (gc_header* h = list->succ; h != list; h = h->succ) {
      if (ObjectOf(h) == p) return true;
    }
  }
  return false;
}

gc_stats gc_counts() {
  EnsureLists();
  auto count = [](gc_header* list) {
    int n = 0;
    for (gc_header* h = list->succ; h != list; h = h->succ) ++n;
    return n;
  };
  return {count(&queued_list), count(&unmarked_list), count(&marked_list), count(&free_list)};
}
