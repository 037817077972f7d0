// The messages of an online session and their wire form. Decode accepts a
// datagram only when its size is exactly that of its kind and every field
// lies in its range; what needs the session to judge (update windows,
// membership) the session checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace net {

// Machines in one session: the host (machine 0) and up to seven others.
constexpr int MAX_MACHINES = 8;
// Control sources each machine brings (keyboard seats and joypads).
constexpr int MACHINE_SOURCES = 8;
// Action bits a source's held word may carry.
constexpr uint32_t HELD_MASK = 0x3fffffu;

// One machine's input for one update.
struct Snapshot {
  uint32_t held[MACHINE_SOURCES] = {};  // per local source: actions held
  int16_t pointerX = 0, pointerY = 0;   // virtual units
  uint8_t pointerDown = 0;              // 0 or 1
  uint8_t pointerHits = 0;              // presses of the left button this update
  bool operator==(const Snapshot& o) const;
};

// Commands of the host, carried out by every machine at one update.
enum class Command : uint8_t {
  START = 1,  // a match: args mode, host source, control style, seed
  JOIN,       // args: machine; it contributes from the update on
  DROP,       // args: machine; its input is gone from the update on
};

enum class Refusal : uint8_t { VERSION = 1, DATA, FULL, BUSY };
enum class StopReason : uint8_t { DESYNC = 1, HOST_LEFT };

enum class Kind : uint8_t { HELLO = 1, WELCOME, REFUSE, INPUT, HASH, COMMAND, PING, PONG, STOP };

constexpr int COMMAND_ARGS = 4;

struct Message {
  Kind kind = Kind::PING;
  uint8_t machine = 0;  // INPUT, HASH: whose; WELCOME: the one welcomed
  uint32_t update = 0;  // INPUT, HASH, COMMAND, WELCOME (first update), STOP
  Snapshot input;       // INPUT
  uint64_t value = 0;   // HASH: state hash; PING, PONG: sender's clock; HELLO: data hash
  uint32_t version = 0; // HELLO: game version
  Command command = Command::START;
  int32_t args[COMMAND_ARGS] = {};  // COMMAND; WELCOME: members bits, delay
  uint8_t reason = 0;               // REFUSE: Refusal; STOP: StopReason
};

std::vector<uint8_t> Encode(const Message& m);
// False (and `out` unspecified) for anything malformed.
bool Decode(const uint8_t* data, size_t size, Message& out);

}  // namespace net
