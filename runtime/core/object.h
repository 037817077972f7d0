// The root of the runtime's managed classes, and the thrown runtime error.
#pragma once

#include "gc.h"
#include "bbstring.h"

class Object : public gc_object {
 public:
  virtual bool Equals(Object* other) { return this == other; }
  // Orders objects by identity; subclasses with a natural order override it.
  virtual int Compare(Object* other) { return this == other ? 0 : (this < other ? -1 : 1); }
  // Text shown by an attached development tool.
  virtual String debug() { return String("+Object\n"); }
};

// What the runtime throws for a runtime exception. Thrown by pointer; the
// message is kept for the development tool, never printed on the normal path.
class ThrowableObject : public Object {
 public:
  explicit ThrowableObject(const String& message = String()) : message(message) {}
  String message;
};
