#include "net/codec.h"

#include <cstring>

namespace net {
namespace {

// Bytes after the kind byte, by kind.
constexpr size_t INPUT_BODY = 1 + 4 + 4 * MACHINE_SOURCES + 2 + 2 + 1 + 1;
constexpr size_t BodySize(Kind k) {
  switch (k) {
    case Kind::HELLO: return 4 + 8;
    case Kind::WELCOME: return 1 + 4 + 4 * COMMAND_ARGS;
    case Kind::REFUSE: return 1;
    case Kind::INPUT: return INPUT_BODY;
    case Kind::HASH: return 1 + 4 + 8;
    case Kind::COMMAND: return 1 + 4 + 4 * COMMAND_ARGS;
    case Kind::PING:
    case Kind::PONG: return 8;
    case Kind::STOP: return 1 + 4;
  }
  return 0;
}
constexpr uint8_t LAST_KIND = uint8_t(Kind::STOP);
constexpr uint8_t LAST_COMMAND = uint8_t(Command::DROP);
constexpr uint8_t LAST_REFUSAL = uint8_t(Refusal::BUSY);
constexpr uint8_t LAST_STOP = uint8_t(StopReason::HOST_LEFT);
// Pointer positions beyond this many virtual units either way are refused.
constexpr int POINTER_LIMIT = 8192;

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
  void U8(uint8_t v) { out_.push_back(v); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(uint8_t(v >> (8 * i)));
  }
  void U64(uint64_t v) {
    U32(uint32_t(v));
    U32(uint32_t(v >> 32));
  }

 private:
  std::vector<uint8_t>& out_;
};

class Reader {
 public:
  explicit Reader(const uint8_t* p) : p_(p) {}
  uint8_t U8() { return *p_++; }
  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(*p_++) << (8 * i);
    return v;
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | uint64_t(U32()) << 32;
  }

 private:
  const uint8_t* p_;
};

bool InRange(int v, int low, int high) { return v >= low && v <= high; }

}  // namespace

bool Snapshot::operator==(const Snapshot& o) const {
  return std::memcmp(held, o.held, sizeof held) == 0 && pointerX == o.pointerX && pointerY == o.pointerY &&
         pointerDown == o.pointerDown && pointerHits == o.pointerHits;
}

std::vector<uint8_t> Encode(const Message& m) {
  std::vector<uint8_t> out;
  Writer w(out);
  w.U8(uint8_t(m.kind));
  switch (m.kind) {
    case Kind::HELLO:
      w.U32(m.version);
      w.U64(m.value);
      break;
    case Kind::WELCOME:
    case Kind::COMMAND:
      w.U8(m.kind == Kind::WELCOME ? m.machine : uint8_t(m.command));
      w.U32(m.update);
      for (int32_t a : m.args) w.U32(uint32_t(a));
      break;
    case Kind::REFUSE:
      w.U8(m.reason);
      break;
    case Kind::INPUT:
      w.U8(m.machine);
      w.U32(m.update);
      for (uint32_t h : m.input.held) w.U32(h);
      w.U32(uint32_t(uint16_t(m.input.pointerX)) | uint32_t(uint16_t(m.input.pointerY)) << 16);
      w.U8(m.input.pointerDown);
      w.U8(m.input.pointerHits);
      break;
    case Kind::HASH:
      w.U8(m.machine);
      w.U32(m.update);
      w.U64(m.value);
      break;
    case Kind::PING:
    case Kind::PONG:
      w.U64(m.value);
      break;
    case Kind::STOP:
      w.U8(m.reason);
      w.U32(m.update);
      break;
  }
  return out;
}

bool Decode(const uint8_t* data, size_t size, Message& m) {
  if (!data || size < 1 || data[0] < 1 || data[0] > LAST_KIND) return false;
  m = Message();
  m.kind = Kind(data[0]);
  if (size != 1 + BodySize(m.kind)) return false;
  Reader r(data + 1);
  switch (m.kind) {
    case Kind::HELLO:
      m.version = r.U32();
      m.value = r.U64();
      return true;
    case Kind::WELCOME:
    case Kind::COMMAND: {
      const uint8_t first = r.U8();
      m.update = r.U32();
      for (int32_t& a : m.args) a = int32_t(r.U32());
      if (m.kind == Kind::WELCOME) {
        m.machine = first;
        return InRange(first, 1, MAX_MACHINES - 1);
      }
      m.command = Command(first);
      if (!InRange(first, 1, LAST_COMMAND)) return false;
      return m.command == Command::START || InRange(m.args[0], 1, MAX_MACHINES - 1);
    }
    case Kind::REFUSE:
      m.reason = r.U8();
      return InRange(m.reason, 1, LAST_REFUSAL);
    case Kind::INPUT: {
      m.machine = r.U8();
      m.update = r.U32();
      for (uint32_t& h : m.input.held) {
        h = r.U32();
        if (h & ~HELD_MASK) return false;
      }
      const uint32_t pointer = r.U32();
      m.input.pointerX = int16_t(uint16_t(pointer));
      m.input.pointerY = int16_t(uint16_t(pointer >> 16));
      m.input.pointerDown = r.U8();
      m.input.pointerHits = r.U8();
      return m.machine < MAX_MACHINES && m.input.pointerDown <= 1 &&
             InRange(m.input.pointerX, -POINTER_LIMIT, POINTER_LIMIT) &&
             InRange(m.input.pointerY, -POINTER_LIMIT, POINTER_LIMIT);
    }
    case Kind::HASH:
      m.machine = r.U8();
      m.update = r.U32();
      m.value = r.U64();
      return m.machine < MAX_MACHINES;
    case Kind::PING:
    case Kind::PONG:
      m.value = r.U64();
      return true;
    case Kind::STOP:
      m.reason = r.U8();
      m.update = r.U32();
      return InRange(m.reason, 1, LAST_STOP);
  }
  return false;
}

}  // namespace net
