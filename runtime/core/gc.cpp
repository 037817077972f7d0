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

std::vector<gc_object**>& root_slots() {
  static std::vector<gc_object**> slots;
  return slots;
}

void clear_list(gc_header* list) { list->succ = list->pred = list; }
bool list_empty(gc_header* list) { return list->succ == list; }

void remove_node(gc_header* node) {
  node->pred->succ = node->succ;
  node->succ->pred = node->pred;
}

void insert_before(gc_header* node, gc_header* succ) {
  node->succ = succ;
  node->pred = succ->pred;
  succ->pred->succ = node;
  succ->pred = node;
}

// Moves every node of `from` to the tail of `to`; `from` ends empty.
void append_list(gc_header* from, gc_header* to) {
  if (list_empty(from)) return;
  gc_header* first = from->succ;
  gc_header* last = from->pred;
  first->pred = to->pred;
  to->pred->succ = first;
  last->succ = to;
  to->pred = last;
  clear_list(from);
}

int block_size(gc_header* h) { return h->flags & ~7; }
gc_object* object_of(gc_header* h) { return reinterpret_cast<gc_object*>(h + 1); }

void ensure_lists() {
  if (lists_ready) return;
  clear_list(&queued_list);
  clear_list(&unmarked_list);
  clear_list(&marked_list);
  clear_list(&free_list);
  lists_ready = true;
}

// Destroys garbage worth about `size` bytes before an allocation.
void destroy_garbage(int size) {
  int target = gc_free_bytes - size;
  if (target < 0) target = 0;
  while (gc_free_bytes > target && !list_empty(&free_list)) {
    gc_header* h = free_list.succ;
    remove_node(h);
    delete object_of(h);
  }
  if (list_empty(&free_list)) gc_free_bytes = 0;
}

// Marks queued objects until `target` bytes are marked (or all, when
// `target` is negative).
void mark_queued(int64_t target) {
  while ((target < 0 || gc_marked_bytes < target) && !list_empty(&queued_list)) {
    gc_header* h = queued_list.succ;
    __builtin_prefetch(object_of(h->succ));  // the next object to mark
    remove_node(h);
    insert_before(h, &marked_list);
    gc_marked_bytes += block_size(h);
    object_of(h)->mark();
  }
}

void sweep() {
  if (gc_alloced_bytes != gc_marked_bytes) {
    gc_free_bytes += gc_alloced_bytes - gc_marked_bytes;
    append_list(&unmarked_list, &free_list);
  }
  gc_alloced_bytes = gc_marked_bytes;
  append_list(&marked_list, &unmarked_list);
  gc_marked_bytes = 0;
  gc_markbit ^= 1;
}

}  // namespace

void* gc_object::operator new(std::size_t size) { return gc_object_alloc(size); }

void gc_object::operator delete(void* p) { gc_object_free(static_cast<gc_object*>(p)); }

void* gc_object_alloc(std::size_t object_size, bool zeroed) {
  ensure_lists();
  if (object_size > std::size_t(INT_MAX) - sizeof(gc_header) - 7) throw std::bad_alloc();
  int size = static_cast<int>((object_size + sizeof(gc_header) + 7) & ~std::size_t(7));
  gc_new_bytes += size;
  destroy_garbage(size);

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
  insert_before(h, &unmarked_list);
  gc_alloced_bytes += size;
  if (gc_alloced_bytes > gc_max_alloced_bytes) gc_max_alloced_bytes = gc_alloced_bytes;
  return h + 1;
}

void gc_object_free(gc_object* p) {
  gc_header* h = reinterpret_cast<gc_header*>(p) - 1;
  int size = block_size(h);
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
  remove_node(h);
  insert_before(h, &queued_list);
}

void gc_add_root(gc_object** slot) {
  root_slots().push_back(slot);
  gc_mark_q(*slot);  // the current cycle's roots are already queued
}

void gc_ext_malloced(int bytes) { __atomic_fetch_add(&gc_ext_new_bytes, bytes, __ATOMIC_RELAXED); }

void gc_init() { ensure_lists(); }

void gc_mark() {
  ensure_lists();
  for (gc_object** slot : root_slots()) gc_mark_q(*slot);
}

namespace {

void collect_step() {
  if (int64_t(__atomic_load_n(&gc_ext_new_bytes, __ATOMIC_RELAXED)) + gc_new_bytes <= GC_CYCLE_BYTES) {
    int64_t live = gc_alloced_bytes - gc_new_bytes;
    int64_t target = gc_new_bytes + live * gc_new_bytes / GC_CYCLE_BYTES;
    mark_queued(target);
    return;
  }
  __atomic_store_n(&gc_ext_new_bytes, 0, __ATOMIC_RELAXED);
  mark_queued(-1);
  sweep();
  gc_mark();
  gc_new_bytes = 0;
}

// Two whole cycles: the first finishes the one in progress, whose marks may
// cover objects dropped since it began; the second finds those.
void collect_everything() {
  for (int cycle = 0; cycle < 2; ++cycle) {
    mark_queued(-1);
    sweep();
    gc_mark();
  }
  gc_new_bytes = 0;
  __atomic_store_n(&gc_ext_new_bytes, 0, __ATOMIC_RELAXED);
  destroy_garbage(gc_free_bytes);
  malloc_trim(0);
}

}  // namespace

void gc_request_full_collection() { full_collection_requested = true; }

void gc_collect() {
  ensure_lists();
  if (full_collection_requested) {
    full_collection_requested = false;
    collect_everything();
    return;
  }
  if (!gc_timed) {
    collect_step();
    return;
  }
  const long long start = bb_timing_Now();
  collect_step();
  gc_longest_step_ns = std::max(gc_longest_step_ns, bb_timing_Now() - start);
}

bool gc_is_object(const void* p) {
  if (!p || !lists_ready) return false;
  for (gc_header* list : {&queued_list, &unmarked_list, &marked_list}) {
    for (gc_header* h = list->succ; h != list; h = h->succ) {
      if (object_of(h) == p) return true;
    }
  }
  return false;
}

gc_stats gc_counts() {
  ensure_lists();
  auto count = [](gc_header* list) {
    int n = 0;
    for (gc_header* h = list->succ; h != list; h = h->succ) ++n;
    return n;
  };
  return {count(&queued_list), count(&unmarked_list), count(&marked_list), count(&free_list)};
}
