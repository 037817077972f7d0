// Machines of an online session in one process: each steps a small stand-in
// game (a running hash of every machine's input) at 60 updates a second of
// the loopback network's clock, as the real game steps its match.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "net/lockstep.h"
#include "net/loopback.h"

namespace sim {

constexpr int PORT = 6180;
constexpr net::Identity GAME{7, 0xdada};

struct Machine {
  std::unique_ptr<net::Session> session;
  const net::Transport* transport = nullptr;  // for Silence
  uint64_t state = 0;
  uint32_t steps = 0;
  uint32_t dropAt[net::MAX_MACHINES] = {};  // update each machine was dropped at, 0 never
  int64_t nextTick = 0;
  bool silent = false;
  uint32_t stalls = 0;    // ticks that found the update still waiting for input
  std::map<uint32_t, uint64_t> history;  // state after each update
};

constexpr uint64_t FRESH = 1469598103934665603ull;

inline uint64_t Mix(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ull; }

// The input a machine's player gives at a moment: a different word for
// every machine and update.
inline net::Snapshot Script(int machine, uint32_t update) {
  net::Snapshot s;
  s.held[0] = (uint32_t(machine) * 2654435761u + update * 40503u) & net::HELD_MASK;
  s.pointerX = int16_t(update % 640);
  return s;
}

class Network {
 public:
  Network(int delayMs, int dropPercent, int machines, uint32_t seed = 1) : net_(delayMs, dropPercent, seed) {
    auto hostTransport = net_.Listen(PORT, net::MAX_MACHINES);
    Add(net::Session::Host(std::move(hostTransport), GAME), nullptr);
    for (int k = 1; k < machines; ++k) Join(GAME);
  }

  // A joiner (identity `id`); it is in once Pumped.
  Machine& Join(const net::Identity& id) {
    auto t = net_.Connect(PORT);
    const net::Transport* raw = t.get();
    return Add(net::Session::Join(std::move(t), id), raw);
  }

  // Runs the network's clock on by `ms`, every machine stepping its game
  // when its update is ready; a machine diverts its state when `diverge`
  // reaches it.
  void Run(int64_t ms, int divergeMachine = -1, uint32_t divergeAt = 0) {
    const int64_t end = net_.Now() + ms;
    for (int64_t t = net_.Now(); t <= end; ++t) {
      net_.SetNow(t);
      for (size_t k = 0; k < machines_.size(); ++k) Tick(*machines_[k], t, int(k) == divergeMachine, divergeAt);
    }
  }

  // Runs until every live machine has stepped `updates` or `limitMs` passed.
  void RunUntil(uint32_t updates, int64_t limitMs) {
    const int64_t end = net_.Now() + limitMs;
    while (net_.Now() < end) {
      bool done = true;
      for (auto& m : machines_) {
        const bool over = m->silent || m->session->State() == net::SessionState::ENDED;
        if (!over && m->steps < updates) done = false;
      }
      if (done) return;
      Run(10);
    }
  }

  void Silence(int k) {
    net_.Silence(machines_[size_t(k)]->transport);
    machines_[size_t(k)]->silent = true;
  }

  Machine& operator[](int k) { return *machines_[size_t(k)]; }
  size_t size() const { return machines_.size(); }
  net::LoopbackNetwork& loopback() { return net_; }

 private:
  Machine& Add(std::unique_ptr<net::Session> s, const net::Transport* t) {
    machines_.push_back(std::make_unique<Machine>());
    machines_.back()->session = std::move(s);
    machines_.back()->transport = t;
    return *machines_.back();
  }

  static void Tick(Machine& m, int64_t now, bool diverge, uint32_t divergeAt) {
    if (m.silent || now < m.nextTick) return;
    m.nextTick = now + (m.nextTick % 3 == 2 ? 17 : 16);  // 60 a second
    net::Session& s = *m.session;
    s.Pump(now);
    s.Submit(Script(s.Me(), s.Update()));
    if (!s.Ready()) {
      if (s.State() == net::SessionState::RUNNING) ++m.stalls;
      return;
    }
    // Everyone starts afresh when a machine joins, as the game starts a
    // match; the newcomer's first update is that one.
    if (m.steps == 0) m.state = FRESH;
    for (const net::ScheduledCommand& c : s.Due()) {
      if (c.command == net::Command::DROP) m.dropAt[c.args[0]] = c.update;
      if (c.command == net::Command::JOIN) m.state = FRESH;
    }
    for (int k = 0; k < net::MAX_MACHINES; ++k) {
      const net::Snapshot* in = s.Input(k);
      m.state = Mix(m.state, in ? in->held[0] : 0xffffffffu);
    }
    if (diverge && s.Update() == divergeAt) m.state = Mix(m.state, 1);
    ++m.steps;
    m.history[s.Update()] = m.state;
    if ((s.Update() + 1) % net::HASH_PERIOD == 0) s.ShareHash(s.Update(), m.state);
    s.Advance();
  }

  net::LoopbackNetwork net_;
  std::vector<std::unique_ptr<Machine>> machines_;
};

}  // namespace sim
