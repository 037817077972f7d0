// The ENet seam on the loopback address: a host and a joiner found each
// other, play in lockstep on the real clock, and a joiner of another
// version hears why it was refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "net/enet_transport.h"
#include "net/lockstep.h"

using namespace net;

namespace {

constexpr Identity GAME{3, 42};
constexpr int MAX_PEERS = 8;

int TestPort() { return 20000 + int(getpid() % 20000); }

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Steps both sessions until both have run update `updates - 1` or ten
// seconds passed, each hashing every machine's input from update `from` on.
void Play(Session& host, Session& joiner, uint32_t from, uint32_t updates, uint64_t (&state)[2]) {
  Session* both[2] = {&host, &joiner};
  const int64_t end = NowMs() + 10000;
  while (NowMs() < end && (joiner.Update() < updates || host.Update() < updates) &&
         joiner.State() != SessionState::ENDED) {
    for (int k = 0; k < 2; ++k) {
      Session& s = *both[k];
      s.Pump(NowMs());
      Snapshot mine;
      mine.held[0] = s.Update() * 7u + uint32_t(k);
      s.Submit(mine);
      if (!s.Ready() || s.Update() >= updates) continue;
      for (int m = 0; m < 2 && s.Update() >= from; ++m) {
        const Snapshot* in = s.Input(m);
        state[k] = state[k] * 31 + (in ? in->held[0] : 1);
      }
      s.Advance();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

TEST(Enet, HostAndJoinerPlayInStepOnTheLoopbackAddress) {
  std::string error;
  auto listen = EnetListen(TestPort(), MAX_PEERS, error);
  ASSERT_TRUE(listen) << error;
  auto host = Session::Host(std::move(listen), GAME);
  auto connect = EnetConnect("127.0.0.1", TestPort(), error);
  ASSERT_TRUE(connect) << error;
  auto joiner = Session::Join(std::move(connect), GAME);
  // The joiner starts where the host had got to; the states are compared
  // from the joiner's first update on.
  const int64_t end = NowMs() + 5000;
  while (joiner->State() == SessionState::CONNECTING && NowMs() < end) {
    host->Pump(NowMs());
    host->Submit(Snapshot());
    if (host->Ready()) host->Advance();
    joiner->Pump(NowMs());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(joiner->State(), SessionState::RUNNING) << joiner->EndMessage();
  const uint32_t from = joiner->Update();
  uint64_t state[2] = {};
  Play(*host, *joiner, from, from + 120, state);
  EXPECT_EQ(joiner->State(), SessionState::RUNNING) << joiner->EndMessage();
  EXPECT_EQ(host->Update(), joiner->Update());
  EXPECT_EQ(state[0], state[1]);
}

TEST(Enet, AJoinerOfAnotherVersionIsToldWhy) {
  std::string error;
  auto host = Session::Host(EnetListen(TestPort() + 1, MAX_PEERS, error), GAME);
  auto joiner = Session::Join(EnetConnect("127.0.0.1", TestPort() + 1, error), Identity{4, 42});
  const int64_t end = NowMs() + 5000;
  while (joiner->State() != SessionState::ENDED && NowMs() < end) {
    host->Pump(NowMs());
    joiner->Pump(NowMs());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(joiner->EndMessage(), "The host runs another version of the game");
}

TEST(Enet, NobodyListeningEndsTheJoinWithAMessage) {
  std::string error;
  EXPECT_FALSE(EnetConnect("no.such.host.invalid", 6180, error));
  EXPECT_EQ(error, "The address no.such.host.invalid was not found");
}

}  // namespace
