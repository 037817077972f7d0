#include "net/lockstep.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace net {
namespace {

constexpr uint32_t NEVER = UINT32_MAX;
constexpr int HOST = 0;
constexpr int NO_PEER = -1;
constexpr int64_t PING_PERIOD_MS = 250;
// Round trips are smoothed: each new one counts for 1 / RTT_SMOOTHING.
constexpr int RTT_SMOOTHING = 4;
// A round trip is counted at most this long: any longer already asks for
// the largest delay, and a pong echoing a made-up clock must not overflow
// the sums below.
constexpr int64_t MAX_RTT_MS = 10000;

// The round trip, in ms, that a pong echoing the clock `sentMs` measures at
// `nowMs`, within 0 .. MAX_RTT_MS.
int RoundTrip(int64_t nowMs, uint64_t sentMs) {
  const int64_t sent = sentMs > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(sentMs);
  return int(std::clamp<int64_t>(nowMs - sent, 0, MAX_RTT_MS));
}
constexpr int HASHES_KEPT = 4;

const char* RefusalText(Refusal r) {
  switch (r) {
    case Refusal::VERSION: return "The host runs another version of the game";
    case Refusal::DATA: return "The host's data folder differs from this one";
    case Refusal::FULL: return "The session is full (eight machines)";
    case Refusal::BUSY: return "The host is in a match; join when it is back at the menu";
  }
  return "The host refused";
}

}  // namespace

struct Session::Machine {
  bool member = false;
  uint32_t from = 0;       // first update it contributes to
  uint32_t until = NEVER;  // first update it no longer contributes to
  uint32_t next = 0;       // next update whose input is awaited
  int peer = NO_PEER;      // host: its transport peer
  int64_t heard = 0;
  Snapshot inputs[INPUT_WINDOW];
  uint32_t hashUpdate[HASHES_KEPT] = {};
  uint64_t hash[HASHES_KEPT] = {};
  bool hashKnown[HASHES_KEPT] = {};
  int rttMs = 0;

  bool Contributes(uint32_t u) const { return member && from <= u && u < until; }
};

Session::Session(std::unique_ptr<Transport> transport, const Identity& me, int machine)
    : transport_(std::move(transport)), identity_(me), me_(machine), machines_(MAX_MACHINES) {}

Session::~Session() = default;

std::unique_ptr<Session> Session::Host(std::unique_ptr<Transport> transport, const Identity& me) {
  std::unique_ptr<Session> s(new Session(std::move(transport), me, HOST));
  s->state_ = SessionState::RUNNING;
  s->machines_[HOST].member = true;
  return s;
}

std::unique_ptr<Session> Session::Join(std::unique_ptr<Transport> transport, const Identity& me) {
  return std::unique_ptr<Session>(new Session(std::move(transport), me, NO_PEER));
}

void Session::Pump(int64_t nowMs) {
  now_ = nowMs;
  if (state_ == SessionState::ENDED) return;
  std::vector<NetEvent> events;
  transport_->Poll(events);
  for (const NetEvent& e : events) {
    OnEvent(e);
    if (state_ == SessionState::ENDED) return;
  }
  if (IsHost()) {
    for (int m = 1; m < MAX_MACHINES; ++m) {
      if (machines_[m].member && machines_[m].until == NEVER && now_ - machines_[m].heard > SILENCE_MS) DropMachine(m);
    }
  } else if (state_ == SessionState::RUNNING && now_ - hostHeard_ > SILENCE_MS) {
    End("The host stopped answering; the online session has ended");
    return;
  }
  if (now_ - lastPing_ >= PING_PERIOD_MS) Ping();
  if (!Ready() && state_ == SessionState::RUNNING && waitStart_ < 0) waitStart_ = now_;
  transport_->Flush();
}

void Session::Ping() {
  lastPing_ = now_;
  Message ping;
  ping.kind = Kind::PING;
  ping.value = uint64_t(now_);
  if (!IsHost()) {
    if (state_ == SessionState::RUNNING) SendTo(0, ping);
    return;
  }
  for (int m = 1; m < MAX_MACHINES; ++m) {
    if (machines_[m].member) SendTo(machines_[m].peer, ping);
  }
}

void Session::OnEvent(const NetEvent& e) {
  if (IsHost()) {
    if (std::find(refused_.begin(), refused_.end(), e.peer) != refused_.end()) {
      if (e.type != NetEvent::RECEIVED) refused_.erase(std::find(refused_.begin(), refused_.end(), e.peer));
      return;
    }
    const int m = MachineOfPeer(e.peer);
    if (e.type == NetEvent::DISCONNECTED) {
      if (m > 0) DropMachine(m);
      return;
    }
    if (e.type == NetEvent::CONNECTED) return;
    Message msg;
    if (!Decode(e.data.data(), e.data.size(), msg)) {
      if (m > 0) DropMachine(m);
      else transport_->Drop(e.peer);
      return;
    }
    OnHostMessage(e.peer, msg);
    return;
  }
  if (e.type == NetEvent::CONNECTED) {
    hostHeard_ = now_;
    Message hello;
    hello.kind = Kind::HELLO;
    hello.version = identity_.version;
    hello.value = identity_.dataHash;
    SendTo(0, hello);
    return;
  }
  if (e.type == NetEvent::DISCONNECTED) {
    if (state_ == SessionState::CONNECTING) End("No session answered at that address");
    else if (e.farewell) End("The host left; the online session has ended");
    else End("The connection to the host was lost; the online session has ended");
    return;
  }
  hostHeard_ = now_;
  Message msg;
  if (!Decode(e.data.data(), e.data.size(), msg)) {
    End("The host sent damaged data; the online session has ended");
    return;
  }
  OnJoinerMessage(msg);
}

void Session::OnHostMessage(int peer, const Message& m) {
  const int machine = MachineOfPeer(peer);
  if (machine < 0) {
    if (m.kind == Kind::HELLO) Welcome(peer, m);
    else transport_->Drop(peer);
    return;
  }
  Machine& from = machines_[machine];
  from.heard = now_;
  switch (m.kind) {
    case Kind::INPUT:
      if (m.machine != machine || !TakeInput(m)) {
        DropMachine(machine);
        return;
      }
      SendToMembers(m, machine, m.update);
      return;
    case Kind::HASH:
      if (m.machine != machine) {
        DropMachine(machine);
        return;
      }
      TakeHash(machine, m.update, m.value);
      SendToMembers(m, machine, m.update);
      return;
    case Kind::PING: {
      Message pong = m;
      pong.kind = Kind::PONG;
      SendTo(peer, pong);
      return;
    }
    case Kind::PONG:
      from.rttMs = RoundTrip(now_, m.value);
      AdaptDelay(0);
      return;
    default:
      // A joiner that found machines out of step (STOP) has left; the host
      // holds every hash itself and stops the others only on a mismatch it
      // sees, so one machine cannot end the session for all by saying so.
      DropMachine(machine);
      return;
  }
}

void Session::Welcome(int peer, const Message& hello) {
  Message answer;
  answer.kind = Kind::REFUSE;
  int machine = 1;
  while (machine < MAX_MACHINES && machines_[machine].member) ++machine;
  if (hello.version != identity_.version) answer.reason = uint8_t(Refusal::VERSION);
  else if (hello.value != identity_.dataHash) answer.reason = uint8_t(Refusal::DATA);
  else if (machine == MAX_MACHINES) answer.reason = uint8_t(Refusal::FULL);
  else if (!open_) answer.reason = uint8_t(Refusal::BUSY);
  if (answer.reason != 0) {
    SendTo(peer, answer);
    refused_.push_back(peer);
    return;
  }
  // Nobody has run the first update not yet sent: the newcomer starts there.
  const uint32_t start = sentUntil_;
  Machine& joiner = machines_[machine];
  joiner = Machine();
  joiner.member = true;
  joiner.from = joiner.next = start;
  joiner.peer = peer;
  joiner.heard = now_;
  const int32_t args[COMMAND_ARGS] = {machine, 0, 0, 0};
  Issue(Command::JOIN, args);
  answer.kind = Kind::WELCOME;
  answer.machine = uint8_t(machine);
  answer.update = start;
  answer.args[0] = int32_t(Members());
  answer.args[1] = delay_;
  SendTo(peer, answer);
  // What the others already sent for the newcomer's updates, and the
  // commands still to come.
  for (int m = 1; m < MAX_MACHINES; ++m) {
    const Machine& other = machines_[m];
    if (m == machine || !other.member) continue;
    for (uint32_t u = std::max(start, other.from); u < other.next; ++u) {
      Message input;
      input.kind = Kind::INPUT;
      input.machine = uint8_t(m);
      input.update = u;
      input.input = other.inputs[u % INPUT_WINDOW];
      SendTo(peer, input);
    }
  }
  for (const ScheduledCommand& c : commands_) {
    if (c.update < start || (c.command == Command::JOIN && c.args[0] == machine)) continue;
    Message cmd;
    cmd.kind = Kind::COMMAND;
    cmd.command = c.command;
    cmd.update = c.update;
    std::copy(c.args, c.args + COMMAND_ARGS, cmd.args);
    SendTo(peer, cmd);
  }
}

void Session::OnJoinerMessage(const Message& m) {
  switch (m.kind) {
    case Kind::WELCOME:
      if (state_ != SessionState::CONNECTING) break;
      me_ = m.machine;
      update_ = sentUntil_ = m.update;
      for (int k = 0; k < MAX_MACHINES; ++k) {
        Machine& machine = machines_[k];
        machine.member = (uint32_t(m.args[0]) >> k & 1u) != 0;
        machine.from = machine.next = m.update;
      }
      if (!machines_[me_].member) break;
      delay_ = std::clamp(int(m.args[1]), MIN_DELAY, MAX_DELAY);
      state_ = SessionState::RUNNING;
      return;
    case Kind::REFUSE:
      End(RefusalText(Refusal(m.reason)));
      return;
    case Kind::INPUT:
      if (state_ == SessionState::RUNNING && m.machine != me_ && TakeInput(m)) return;
      break;
    case Kind::HASH:
      if (state_ != SessionState::RUNNING || m.machine == me_) break;
      TakeHash(m.machine, m.update, m.value);
      return;
    case Kind::COMMAND: {
      if (state_ != SessionState::RUNNING || m.update < update_ || m.update > update_ + INPUT_WINDOW) break;
      ScheduledCommand c{m.update, m.command, {}};
      std::copy(m.args, m.args + COMMAND_ARGS, c.args);
      commands_.push_back(c);
      if (m.command == Command::START) return;
      Machine& subject = machines_[m.args[0]];
      if (m.command == Command::JOIN && m.args[0] != me_) {
        subject = Machine();
        subject.member = true;
        subject.from = subject.next = m.update;
      } else if (m.command == Command::DROP) {
        subject.until = m.update;
      }
      return;
    }
    case Kind::PING: {
      Message pong = m;
      pong.kind = Kind::PONG;
      SendTo(0, pong);
      return;
    }
    case Kind::PONG:
      AdaptDelay(RoundTrip(now_, m.value));
      return;
    case Kind::STOP:
      if (m.reason == uint8_t(StopReason::DESYNC)) StopOutOfStep(m.update, false);
      else End("The host left; the online session has ended");
      return;
    default:
      break;
  }
  End("The host sent damaged data; the online session has ended");
}

bool Session::TakeInput(const Message& m) {
  Machine& from = machines_[m.machine];
  if (!from.member || m.update != from.next || m.update >= from.until) return false;
  if (m.update >= update_ + INPUT_WINDOW) return false;
  from.inputs[m.update % INPUT_WINDOW] = m.input;
  ++from.next;
  return true;
}

void Session::TakeHash(int machine, uint32_t update, uint64_t hash) {
  Machine& from = machines_[machine];
  const int slot = int(update / HASH_PERIOD % HASHES_KEPT);
  from.hashUpdate[slot] = update;
  from.hash[slot] = hash;
  from.hashKnown[slot] = true;
  bool differ = false;
  for (const Machine& other : machines_) {
    differ = differ || (other.hashKnown[slot] && other.hashUpdate[slot] == update && other.hash[slot] != hash);
  }
  if (differ) StopOutOfStep(update, true);
}

void Session::StopOutOfStep(uint32_t update, bool tell) {
  const int slot = int(update / HASH_PERIOD % HASHES_KEPT);
  char line[96];
  std::snprintf(line, sizeof line, "update %" PRIu32 "\n", update);
  std::string report = line;
  for (int k = 0; k < MAX_MACHINES; ++k) {
    const Machine& other = machines_[k];
    if (!other.hashKnown[slot] || other.hashUpdate[slot] != update) continue;
    std::snprintf(line, sizeof line, "machine %d hash %016" PRIx64 "\n", k, other.hash[slot]);
    report += line;
  }
  Message stop;
  stop.kind = Kind::STOP;
  stop.reason = uint8_t(StopReason::DESYNC);
  stop.update = update;
  if (IsHost()) SendToMembers(stop, HOST, NEVER);
  else if (tell) SendTo(0, stop);
  End("The machines went out of step; the online session has stopped");
  report_ = report;
}

void Session::DropMachine(int machine) {
  Machine& gone = machines_[machine];
  if (!gone.member) return;
  // Nobody holds its input for the first update the host lacks: it is cut
  // there on every machine alike.
  const int32_t args[COMMAND_ARGS] = {machine, 0, 0, 0};
  if (gone.until != NEVER) return;
  transport_->Drop(gone.peer);
  gone.peer = NO_PEER;
  ScheduledCommand c{std::max(gone.next, update_), Command::DROP, {}};
  std::copy(args, args + COMMAND_ARGS, c.args);
  commands_.push_back(c);
  gone.until = c.update;
  Message cmd;
  cmd.kind = Kind::COMMAND;
  cmd.command = Command::DROP;
  cmd.update = c.update;
  std::copy(args, args + COMMAND_ARGS, cmd.args);
  SendToMembers(cmd, machine, c.update);
}

uint32_t Session::Issue(Command command, const int32_t (&args)[COMMAND_ARGS]) {
  if (!IsHost()) return NEVER;
  ScheduledCommand c{sentUntil_, command, {}};
  std::copy(args, args + COMMAND_ARGS, c.args);
  commands_.push_back(c);
  Message cmd;
  cmd.kind = Kind::COMMAND;
  cmd.command = command;
  cmd.update = c.update;
  std::copy(args, args + COMMAND_ARGS, cmd.args);
  SendToMembers(cmd, command == Command::JOIN ? args[0] : HOST, c.update);
  return c.update;
}

void Session::Submit(const Snapshot& local) {
  if (state_ != SessionState::RUNNING) return;
  for (int s = 0; s < MACHINE_SOURCES; ++s) unsent_.held[s] |= local.held[s];
  unsent_.pointerX = local.pointerX;
  unsent_.pointerY = local.pointerY;
  unsent_.pointerDown |= local.pointerDown;
  unsent_.pointerHits = uint8_t(std::min(int(unsent_.pointerHits) + local.pointerHits, int(UINT8_MAX)));
  Machine& self = machines_[me_];
  bool sent = false;
  while (sentUntil_ <= update_ + uint32_t(delay_)) {
    sent = true;
    const uint32_t u = sentUntil_++;
    self.inputs[u % INPUT_WINDOW] = unsent_;
    self.next = sentUntil_;
    Message m;
    m.kind = Kind::INPUT;
    m.machine = uint8_t(me_);
    m.update = u;
    m.input = unsent_;
    unsent_ = local;
    unsent_.pointerHits = 0;
    if (IsHost()) SendToMembers(m, HOST, u);
    else SendTo(0, m);
  }
  if (sent) unsent_ = Snapshot();
  transport_->Flush();
}

bool Session::Ready() const {
  if (state_ != SessionState::RUNNING) return false;
  for (const Machine& m : machines_) {
    if (m.Contributes(update_) && m.next <= update_) return false;
  }
  return true;
}

const Snapshot* Session::Input(int machine) const {
  if (machine < 0 || machine >= MAX_MACHINES) return nullptr;
  const Machine& m = machines_[machine];
  if (!m.Contributes(update_) || m.next <= update_) return nullptr;
  return &m.inputs[update_ % INPUT_WINDOW];
}

std::vector<ScheduledCommand> Session::Due() const {
  std::vector<ScheduledCommand> due;
  for (const ScheduledCommand& c : commands_) {
    if (c.update == update_) due.push_back(c);
  }
  return due;
}

void Session::Advance() {
  commands_.erase(std::remove_if(commands_.begin(), commands_.end(),
                                 [this](const ScheduledCommand& c) { return c.update <= update_; }),
                  commands_.end());
  ++update_;
  for (Machine& m : machines_) {
    if (m.until <= update_) m.member = false;
  }
  waitStart_ = -1;
}

void Session::ShareHash(uint32_t update, uint64_t hash) {
  if (state_ != SessionState::RUNNING) return;
  Message m;
  m.kind = Kind::HASH;
  m.machine = uint8_t(me_);
  m.update = update;
  m.value = hash;
  if (IsHost()) SendToMembers(m, HOST, update);
  else SendTo(0, m);
  TakeHash(me_, update, hash);
}

uint32_t Session::Members() const {
  uint32_t bits = 0;
  for (int k = 0; k < MAX_MACHINES; ++k) {
    if (machines_[k].member && machines_[k].until == NEVER) bits |= 1u << k;
  }
  return bits;
}

std::vector<int> Session::WaitingFor() const {
  std::vector<int> waiting;
  if (state_ != SessionState::RUNNING) return waiting;
  for (int k = 0; k < MAX_MACHINES; ++k) {
    if (machines_[k].Contributes(update_) && machines_[k].next <= update_) waiting.push_back(k);
  }
  return waiting;
}

int64_t Session::WaitedMs() const { return waitStart_ < 0 || Ready() ? 0 : now_ - waitStart_; }

void Session::End(const std::string& message) {
  if (state_ == SessionState::ENDED) return;
  state_ = SessionState::ENDED;
  endMessage_ = message;
  transport_->Flush();
}

void Session::SendTo(int peer, const Message& m) {
  const std::vector<uint8_t> bytes = Encode(m);
  transport_->Send(peer, bytes.data(), bytes.size());
}

void Session::SendToMembers(const Message& m, int except, uint32_t update) {
  for (int k = 1; k < MAX_MACHINES; ++k) {
    const Machine& to = machines_[k];
    if (k == except || !to.member || to.peer == NO_PEER || update < to.from) continue;
    SendTo(to.peer, m);
  }
}

int Session::MachineOfPeer(int peer) const {
  for (int k = 1; k < MAX_MACHINES; ++k) {
    if (machines_[k].peer == peer && peer != NO_PEER) return k;
  }
  return -1;
}

void Session::AdaptDelay(int rttMs) {
  if (IsHost()) {
    rttMs = 0;
    for (int k = 1; k < MAX_MACHINES; ++k) {
      if (machines_[k].member && machines_[k].until == NEVER) rttMs = std::max(rttMs, machines_[k].rttMs);
    }
    rttMs_ = rttMs;
  } else {
    rttMs_ = rttMs_ == 0 ? rttMs : (rttMs_ * (RTT_SMOOTHING - 1) + rttMs) / RTT_SMOOTHING;
  }
  // About half the round trip in updates, plus one.
  const int updates = (rttMs_ * 1000 / 2 + UPDATE_MS_X1000 / 2) / UPDATE_MS_X1000;
  delay_ = std::clamp(updates + 1, MIN_DELAY, MAX_DELAY);
}

}  // namespace net
