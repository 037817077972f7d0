// Managed fixed-length arrays.
//
// Array<T> is a handle to a managed representation holding a length and the
// elements. Arrays never grow; Resize returns a new array. Each element type
// has one shared empty representation. Element types in use: int, float,
// bool, String and pointers to managed objects; pointer elements are stored
// through the write barrier (gc_assign(array[i], value)) and are marked by
// the representation.
#pragma once

#include <algorithm>
#include <new>
#include <type_traits>

#include "gc.h"

class String;

template <class T>
class Array {
 public:
  class Rep : public gc_object {
   public:
    int length;
    T* data() { return reinterpret_cast<T*>(this + 1); }

    static Rep* Create(int length) {
      if (length <= 0) return Empty();
      void* block = gc_object_alloc(sizeof(Rep) + sizeof(T) * std::size_t(length), std::is_scalar_v<T>);
      return new (block) Rep(length);
    }
    // The shared empty representation, a permanent root from its creation.
    static Rep* Empty() {
      static Rep* empty = nullptr;
      if (!empty) {
        empty = new (gc_object_alloc(sizeof(Rep))) Rep(0);
        gc_root(empty);
      }
      return empty;
    }
    void mark() override {
      if constexpr (std::is_pointer_v<T>) {
        T* elements = data();
        for (int i = 0; i < length; ++i) {
          if (i + HEADER_AHEAD < length) gc_prefetch(elements[i + HEADER_AHEAD], false);
          if (i + LINKS_AHEAD < length) gc_prefetch(elements[i + LINKS_AHEAD], true);
          gc_mark_q(elements[i]);
        }
      }
    }
    ~Rep() override {
      if constexpr (!std::is_trivially_destructible_v<T>) {
        for (int i = 0; i < length; ++i) data()[i].~T();
      }
    }

   private:
    // How many elements ahead marking starts loading headers, then links.
    static constexpr int HEADER_AHEAD = 16;
    static constexpr int LINKS_AHEAD = 8;
    // Scalar elements come zeroed from the allocator (zero bytes are 0,
    // 0.0f, false and null here), so a large array's pages stay untouched,
    // and out of resident memory, until they are used.
    explicit Rep(int n) : length(n) {
      if constexpr (!std::is_scalar_v<T>) {
        for (int i = 0; i < n; ++i) new (data() + i) T();
      }
    }
  };

  Array() : rep_(Rep::Empty()) {}
  // A new array of `length` zero (or empty-string, or null) elements.
  explicit Array(int length) : rep_(Rep::Create(length)) {}
  Array(const T* elements, int length) : rep_(Rep::Create(length)) {
    std::copy(elements, elements + std::max(length, 0), rep_->data());
  }

  int Length() const { return rep_->length; }
  // No bounds check: callers keep indices in range.
  T& operator[](int index) const { return rep_->data()[index]; }
  T* begin() const { return rep_->data(); }
  T* end() const { return rep_->data() + rep_->length; }

  // A new array of `length` elements holding the common prefix, the rest zero.
  Array Resize(int length) const {
    Array out(length);
    std::copy(begin(), begin() + std::min(Length(), std::max(length, 0)), out.begin());
    return out;
  }
  // Elements [from, to) with indices clamped.
  Array Slice(int from, int to) const {
    from = std::clamp(from, 0, Length());
    to = std::clamp(to, from, Length());
    return Array(begin() + from, to - from);
  }

  Rep* rep() const { return rep_; }

 private:
  Rep* rep_;
  template <class U>
  friend Array<U>& gc_assign(Array<U>& field, const Array<U>& value);
  template <class U>
  friend void gc_root(Array<U>& slot);
};

// Registers a global array handle as a root, like gc_root of a pointer.
template <class T>
inline void gc_root(Array<T>& slot) {
  gc_root(slot.rep_);
}

// Barriered store of an array handle into a field of a managed object.
template <class T>
inline Array<T>& gc_assign(Array<T>& field, const Array<T>& value) {
  gc_mark_q(value.rep_);
  field.rep_ = value.rep_;
  return field;
}

// Queues an array held in a field (inside mark()).
template <class T>
inline void gc_mark_q(const Array<T>& array) {
  gc_mark_q(array.rep());
}
