// The lockstep session with several machines in one process over the
// loopback network: equal games over slow and lossy links, a machine that
// dies mid-match, hostile datagrams, refusals, the host leaving, a desync,
// and the input delay following the round trip.
#include <gtest/gtest.h>

#include "net/codec.h"
#include "sim.h"

using namespace net;
using sim::Network;

namespace {

// The latest update every machine in `machines` has run.
uint32_t CommonUpdate(Network& n, std::initializer_list<int> machines) {
  uint32_t common = UINT32_MAX;
  for (int k : machines) common = std::min(common, n[k].history.empty() ? 0 : n[k].history.rbegin()->first);
  return common;
}

void ExpectSameGame(Network& n, std::initializer_list<int> machines, uint32_t atLeast) {
  const uint32_t u = CommonUpdate(n, machines);
  ASSERT_GE(u, atLeast);
  for (int k : machines) {
    EXPECT_EQ(n[k].session->State(), SessionState::RUNNING) << "machine " << k << ": " << n[k].session->EndMessage();
    ASSERT_TRUE(n[k].history.count(u)) << "machine " << k;
    EXPECT_EQ(n[k].history[u], n[*machines.begin()].history[u]) << "machine " << k << " at update " << u;
  }
}

TEST(Session, MachinesPlayTheSameGameOverEveryLink) {
  struct Case {
    int delayMs, dropPercent;
  };
  for (const Case c : {Case{0, 0}, Case{25, 0}, Case{100, 5}}) {
    SCOPED_TRACE(testing::Message() << c.delayMs << " ms, " << c.dropPercent << "% lost");
    Network n(c.delayMs, c.dropPercent, 3);
    n.RunUntil(1200, 120000);
    ExpectSameGame(n, {0, 1, 2}, 1100);
  }
}

TEST(Session, AMachineThatDiesIsCutAtOneUpdateOnEveryMachine) {
  Network n(30, 5, 3);
  n.RunUntil(300, 60000);
  n.Silence(2);
  n.Run(SILENCE_MS + 1000);
  n.RunUntil(n[0].steps + 600, 60000);
  ExpectSameGame(n, {0, 1}, 900);
  EXPECT_NE(n[0].dropAt[2], 0u);
  EXPECT_EQ(n[0].dropAt[2], n[1].dropAt[2]);
  EXPECT_EQ(n[0].session->Members(), 0b011u);
}

// A hand-driven joiner: says hello as a machine would, then sends `bytes`.
std::vector<uint8_t> Bytes(const Message& m) { return Encode(m); }

Message Input(uint8_t machine, uint32_t update) {
  Message m;
  m.kind = Kind::INPUT;
  m.machine = machine;
  m.update = update;
  return m;
}

// A third machine driven by hand joins the running session `n`: its
// transport, with `start` the first update it is to send; null when the host
// did not welcome it.
std::unique_ptr<Transport> JoinByHand(Network& n, uint32_t& start) {
  auto raw = n.loopback().Connect(sim::PORT);
  Message hello;
  hello.kind = Kind::HELLO;
  hello.version = sim::GAME.version;
  hello.value = sim::GAME.dataHash;
  const auto h = Encode(hello);
  n.Run(50);
  raw->Send(0, h.data(), h.size());
  n.Run(100);
  std::vector<NetEvent> heard;
  raw->Poll(heard);
  if (n[0].session->Members() != 0b111u) return nullptr;
  Message welcome;
  for (const NetEvent& e : heard) {
    if (e.type == NetEvent::RECEIVED && Decode(e.data.data(), e.data.size(), welcome) && welcome.kind == Kind::WELCOME) {
      start = welcome.update;
      return raw;
    }
  }
  return nullptr;
}

TEST(Session, HostileDatagramsDropTheirSender) {
  // Each datagram comes from a hand-driven machine 2 whose first update is
  // `start`.
  struct Case {
    const char* what;
    std::vector<uint8_t> (*bytes)(uint32_t start);
  };
  const Case cases[] = {
      {"truncated", [](uint32_t start) { auto b = Bytes(Input(2, start)); b.pop_back(); return b; }},
      {"oversized", [](uint32_t start) { auto b = Bytes(Input(2, start)); b.resize(b.size() + 1000); return b; }},
      {"update far ahead", [](uint32_t start) { return Bytes(Input(2, start + 5000)); }},
      {"update skipped", [](uint32_t start) { return Bytes(Input(2, start + 1)); }},
      {"update in the past", [](uint32_t start) { return Bytes(Input(2, start - 1)); }},
      {"another machine's input", [](uint32_t start) { return Bytes(Input(1, start)); }},
      {"unknown machine", [](uint32_t start) { return Bytes(Input(9, start)); }},
      {"unknown action bits", [](uint32_t start) { auto b = Bytes(Input(2, start)); b[9] = 0xff; return b; }},
      {"unknown kind", [](uint32_t) { return std::vector<uint8_t>{0x7f, 0, 0}; }},
      {"empty", [](uint32_t) { return std::vector<uint8_t>{}; }},
      {"a second hello", [](uint32_t) { Message m; m.kind = Kind::HELLO; return Bytes(m); }},
      {"a stop claiming hashes differ", [](uint32_t start) {
         Message m;
         m.kind = Kind::STOP;
         m.reason = uint8_t(StopReason::DESYNC);
         m.update = start;
         return Bytes(m);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Network n(10, 0, 2);
    n.RunUntil(120, 10000);
    uint32_t start = 0;
    auto raw = JoinByHand(n, start);
    ASSERT_TRUE(raw);
    std::vector<NetEvent> heard;
    const std::vector<uint8_t> bytes = c.bytes(start);
    raw->Send(0, bytes.data(), bytes.size());
    n.Run(100);
    EXPECT_EQ(n[0].session->Members(), 0b011u);
    heard.clear();
    raw->Poll(heard);
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](const NetEvent& e) { return e.type == NetEvent::DISCONNECTED; }));
    const uint32_t before = n[1].steps;
    n.Run(2000);
    EXPECT_GT(n[1].steps, before + 100) << "the others play on";
    ExpectSameGame(n, {0, 1}, before);
  }
}

TEST(Session, JoinersThatDoNotMatchAreRefusedWithAReason) {
  struct Case {
    Identity id;
    int others;  // joiners already in
    const char* message;
  };
  const Case cases[] = {
      {{8, sim::GAME.dataHash}, 1, "The host runs another version of the game"},
      {{sim::GAME.version, 1}, 1, "The host's data folder differs from this one"},
      {sim::GAME, 7, "The session is full (eight machines)"},
  };
  for (const Case& c : cases) {
    Network n(5, 0, 1 + c.others);
    n.Run(200);
    sim::Machine& late = n.Join(c.id);
    n.Run(200);
    EXPECT_EQ(late.session->State(), SessionState::ENDED);
    EXPECT_EQ(late.session->EndMessage(), c.message);
    EXPECT_EQ(n[0].session->State(), SessionState::RUNNING);
  }
}

TEST(Session, TheHostLeavingEndsTheSessionForEveryone) {
  Network n(10, 0, 3);
  n.RunUntil(100, 10000);
  n[0].session.reset();
  n[0].silent = true;
  n.Run(100);
  for (int k : {1, 2}) {
    EXPECT_EQ(n[k].session->State(), SessionState::ENDED);
    EXPECT_EQ(n[k].session->EndMessage(), "The host left; the online session has ended");
  }
}

TEST(Session, AMachineTheHostCutsOffHearsThatItsConnectionWasLostNotThatTheHostLeft) {
  Network n(10, 0, 3);
  n.RunUntil(100, 10000);
  n[2].silent = true;  // its game hangs; its connection stays open
  n.Run(SILENCE_MS + 500);
  EXPECT_EQ(n[0].session->Members(), 0b011u);
  n[2].silent = false;
  n.Run(100);
  EXPECT_EQ(n[2].session->State(), SessionState::ENDED);
  EXPECT_EQ(n[2].session->EndMessage(), "The connection to the host was lost; the online session has ended");
}

TEST(Session, StatesThatDifferStopEveryMachineWithAReport) {
  Network n(10, 0, 3);
  n.RunUntil(100, 10000);
  const uint32_t at = n[2].session->Update() + 5;
  n.Run(3000, 2, at);
  const uint32_t checked = (at / HASH_PERIOD + 1) * HASH_PERIOD - 1;
  for (int k : {0, 1, 2}) {
    SCOPED_TRACE(k);
    EXPECT_EQ(n[k].session->State(), SessionState::ENDED);
    EXPECT_EQ(n[k].session->EndMessage(), "The machines went out of step; the online session has stopped");
    EXPECT_NE(n[k].session->Report().find("update " + std::to_string(checked) + "\n"), std::string::npos)
        << n[k].session->Report();
  }
  EXPECT_NE(n[2].session->Report().find("machine 2 hash"), std::string::npos);
  EXPECT_NE(n[2].session->Report().find("machine 0 hash"), std::string::npos);
}

TEST(Session, TheInputDelayFollowsTheRoundTrip) {
  // A round trip as measured includes up to two updates of each side
  // picking the datagrams up.
  struct Case {
    int oneWayMs, least, most;
  };
  for (const Case c : {Case{0, 2, 2}, Case{25, 3, 4}, Case{50, 4, 5}, Case{100, 7, 8}, Case{400, 8, 8}}) {
    SCOPED_TRACE(c.oneWayMs);
    Network n(c.oneWayMs, 0, 2);
    n.Run(3000);
    for (int k : {0, 1}) {
      EXPECT_GE(n[k].session->Delay(), c.least);
      EXPECT_LE(n[k].session->Delay(), c.most);
    }
  }
}

// Pongs echo the sender's own clock back; one echoing a made-up clock (far
// behind, or beyond what a signed clock holds) counts as the longest round
// trip or none: no sum overflows and the delay stays in its range.
TEST(Session, PongsWithMadeUpClocksKeepTheDelayInItsRange) {
  for (const uint64_t clock : {uint64_t{0}, uint64_t{1} << 63, UINT64_MAX - 9999999}) {
    SCOPED_TRACE(clock);
    Network n(0, 0, 2);
    n.RunUntil(120, 10000);
    uint32_t start = 0;
    auto raw = JoinByHand(n, start);
    ASSERT_TRUE(raw);
    Message pong;
    pong.kind = Kind::PONG;
    pong.value = clock;
    const auto bytes = Encode(pong);
    raw->Send(0, bytes.data(), bytes.size());
    n.Run(100);
    EXPECT_GE(n[0].session->Delay(), MIN_DELAY);
    EXPECT_LE(n[0].session->Delay(), MAX_DELAY);
  }
}

}  // namespace

namespace {

TEST(Session, APressMadeAndReleasedWhileNothingIsDueGoesWithTheNextUpdateSent) {
  LoopbackNetwork net(0, 0, 1);
  auto host = Session::Host(net.Listen(sim::PORT, MAX_MACHINES), sim::GAME);
  host->Pump(0);
  host->Submit(Snapshot());  // updates 0 to 2 go
  Snapshot press;
  press.held[3] = 1u << 4;
  host->Submit(press);  // nothing due: kept
  host->Submit(Snapshot());
  host->Advance();
  host->Submit(Snapshot());  // update 3 goes, with the press
  for (uint32_t u = 1; u <= 3; ++u) {
    ASSERT_EQ(host->Update(), u);
    ASSERT_TRUE(host->Ready());
    EXPECT_EQ(host->Input(0)->held[3], u == 3 ? press.held[3] : 0u) << "update " << u;
    if (u < 3) host->Advance();
    host->Submit(Snapshot());
  }
}

}  // namespace
