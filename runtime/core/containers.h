// Growable stacks and ordered int-keyed maps of the runtime library.
#pragma once

#include "array.h"
#include "object.h"

// A stack over a managed array; capacity is the array's length. Element
// types: String and pointers to managed objects.
template <class T>
class c_StackOf : public Object {
 public:
  Array<T> m_data;
  int m_length = 0;

  c_StackOf* m_new() { return this; }
  c_StackOf* m_new2(const Array<T>& data) {
    gc_assign(m_data, data.Slice(0, data.Length()));
    m_length = data.Length();
    return this;
  }
  int p_Push(const T& value) {
    if (m_length == m_data.Length()) gc_assign(m_data, m_data.Resize(m_length * 2 + 10));
    Store(m_data[m_length], value);
    ++m_length;
    return 0;
  }
  int p_Push4(const T& value) { return p_Push(value); }
  // Pushes `count` elements of `values` from `offset`.
  int p_Push3(const Array<T>& values, int offset, int count) {
    for (int i = 0; i < count; ++i) p_Push(values[offset + i]);
    return 0;
  }
  int p_Push2(const Array<T>& values, int offset = 0) { return p_Push3(values, offset, values.Length() - offset); }
  int p_Push5(const Array<T>& values, int offset = 0) { return p_Push2(values, offset); }
  int p_Push6(const Array<T>& values, int offset, int count) { return p_Push3(values, offset, count); }
  // A new array of exactly p_Length elements.
  Array<T> p_ToArray() { return m_data.Slice(0, m_length); }
  // Sets the length; elements cut off are cleared, growth is zero-filled.
  int p_Length(int length) {
    if (length > m_data.Length()) gc_assign(m_data, m_data.Resize(length));
    for (int i = length; i < m_length; ++i) Store(m_data[i], T());
    m_length = length;
    return 0;
  }
  int p_Length2() { return m_length; }
  T p_Get(int index) { return m_data[index]; }

  void mark() override {
    Object::mark();
    gc_mark_q(m_data);
  }

 private:
  static void Store(T& slot, const T& value) {
    if constexpr (std::is_pointer_v<T>) {
      gc_assign(slot, value);
    } else {
      slot = value;
    }
  }
};

typedef c_StackOf<String> c_Stack2;

class c_StringStack : public c_Stack2 {
 public:
  c_StringStack* m_new() { return this; }
  String p_Join(const String& separator) { return separator.Join(p_ToArray()); }
};

// Red-black tree from a key to a managed reference.
template <class K, class V>
class c_NodeOf : public Object {
 public:
  K m_key{};
  V m_value{};
  int m_color = 0;  // 0 red, 1 black
  c_NodeOf* m_parent = nullptr;
  c_NodeOf* m_left = nullptr;
  c_NodeOf* m_right = nullptr;

  c_NodeOf* m_new(K key, V value, int color, c_NodeOf* parent) {
    m_key = key;
    gc_assign(m_value, value);
    m_color = color;
    gc_assign(m_parent, parent);
    return this;
  }
  void mark() override {
    Object::mark();
    gc_mark_q(m_value);
    gc_mark_q(m_parent);
    gc_mark_q(m_left);
    gc_mark_q(m_right);
  }
};

template <class K, class V>
class c_MapOf : public Object {
 public:
  typedef c_NodeOf<K, V> Node;
  static constexpr int RED = 0;
  static constexpr int BLACK = 1;
  Node* m_root = nullptr;

  virtual int p_Compare(K a, K b) = 0;

  // Inserts or replaces the value of `key`.
  bool p_Set(K key, V value) {
    Node* node = m_root;
    Node* parent = nullptr;
    int cmp = 0;
    while (node) {
      parent = node;
      cmp = p_Compare(key, node->m_key);
      if (cmp > 0) {
        node = node->m_right;
      } else if (cmp < 0) {
        node = node->m_left;
      } else {
        gc_assign(node->m_value, value);
        return false;
      }
    }
    node = (new Node)->m_new(key, value, RED, parent);
    if (!parent) {
      gc_assign(m_root, node);
    } else if (cmp > 0) {
      gc_assign(parent->m_right, node);
    } else {
      gc_assign(parent->m_left, node);
    }
    p_InsertFixup(node);
    return true;
  }
  // Inserts only when the key is new.
  bool p_Insert(K key, V value) {
    if (p_FindNode(key)) return false;
    return p_Set(key, value);
  }
  Node* p_FindNode(K key) {
    Node* node = m_root;
    while (node) {
      int cmp = p_Compare(key, node->m_key);
      if (cmp == 0) return node;
      node = cmp > 0 ? node->m_right : node->m_left;
    }
    return nullptr;
  }
  bool p_Contains(K key) { return p_FindNode(key) != nullptr; }
  V p_Get(K key) {
    Node* node = p_FindNode(key);
    return node ? node->m_value : V();
  }

  void mark() override {
    Object::mark();
    gc_mark_q(m_root);
  }

 protected:
  void p_RotateLeft(Node* node) {
    Node* child = node->m_right;
    gc_assign(node->m_right, child->m_left);
    if (child->m_left) gc_assign(child->m_left->m_parent, node);
    ReplaceChild(node, child);
    gc_assign(child->m_left, node);
    gc_assign(node->m_parent, child);
  }
  void p_RotateRight(Node* node) {
    Node* child = node->m_left;
    gc_assign(node->m_left, child->m_right);
    if (child->m_right) gc_assign(child->m_right->m_parent, node);
    ReplaceChild(node, child);
    gc_assign(child->m_right, node);
    gc_assign(node->m_parent, child);
  }
  void p_InsertFixup(Node* node) {
    while (node->m_parent && node->m_parent->m_color == RED && node->m_parent->m_parent) {
      Node* parent = node->m_parent;
      Node* grand = parent->m_parent;
      bool left_side = parent == grand->m_left;
      Node* uncle = left_side ? grand->m_right : grand->m_left;
      if (uncle && uncle->m_color == RED) {
        parent->m_color = BLACK;
        uncle->m_color = BLACK;
        grand->m_color = RED;
        node = grand;
        continue;
      }
      if (node == (left_side ? parent->m_right : parent->m_left)) {
        node = parent;
        left_side ? p_RotateLeft(node) : p_RotateRight(node);
        parent = node->m_parent;
      }
      parent->m_color = BLACK;
      grand->m_color = RED;
      left_side ? p_RotateRight(grand) : p_RotateLeft(grand);
    }
    m_root->m_color = BLACK;
  }

 private:
  // Puts `child` where `node` hangs from its parent (or the root).
  void ReplaceChild(Node* node, Node* child) {
    gc_assign(child->m_parent, node->m_parent);
    if (!node->m_parent) {
      gc_assign(m_root, child);
    } else if (node == node->m_parent->m_left) {
      gc_assign(node->m_parent->m_left, child);
    } else {
      gc_assign(node->m_parent->m_right, child);
    }
  }
};

template <class V>
class c_IntMapOf : public c_MapOf<int, V> {
 public:
  c_IntMapOf* m_new() { return this; }
  // -1, 0 or 1; a subtraction would overflow for keys far apart.
  int p_Compare(int a, int b) override { return (a > b) - (a < b); }
};
