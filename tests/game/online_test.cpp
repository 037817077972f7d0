// Whole games online, one per process (the runtime allows one game in a
// process): a host and a joiner on the loopback address, each driven
// through the stepping harness by scripted keys, open a three-rider match
// (the host's rules hold: the joiner's own speed and computer skill differ),
// the joiner's keyboard player takes rider 2, and both games play the
// round to its end, over a plain link and over one that holds every
// datagram 100 ms and loses 5%. Both must end the round at the same update
// in the same state. And a joiner whose process dies in the match: the host
// plays on, the computer riding its rider.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "game/match/match.h"
#include "net/enet_transport.h"
#include "runtime/core/files.h"
#include "net/link.h"
#include "net/lockstep.h"
#include "tests/game/harness.h"
#include "tests/support/support.h"

using namespace zephrine_test;
using namespace match;

namespace {

constexpr int MAX_PEERS = 8;
constexpr int RESEND_MS = 200;
constexpr double GAME_SECONDS = 150;
constexpr double LINGER_SECONDS = 3;
// The joiner's keyboard: machine 1's first source.
constexpr int JOINER_KEYBOARD = SOURCE_KEYBOARD + SOURCE_COUNT;

struct Link {
  int delayMs, dropPercent;
};
// What the joiner does once the match runs.
enum class Joiner { PLAYS_THE_ROUND, DIES };
constexpr int DIES_AFTER_UPDATES = 60;
constexpr int THREE_RIDER_ENTRY = 5;
// The joiner's own speed (fast), which the host's overrules in the match.
constexpr int JOINER_SPEED = 2;
constexpr int PLAYS_ON_UPDATES = 120;
constexpr double DROP_SECONDS = 30;

int64_t Clock() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Steps the game (yielding between updates to the other game) until `done`;
// false when `seconds` passed first.
bool StepUntil(GameHarness& h, const std::function<bool()>& done, double seconds = GAME_SECONDS) {
  const int64_t end = Clock() + int64_t(seconds * 1000);
  while (!done()) {
    if (Clock() > end) return false;
    h.Update();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void Settle(GameHarness& h, int updates) {
  for (int i = 0; i < updates; ++i) StepUntil(h, [] { return false; }, 0.02);
}

// A key pressed for one update, then time for the game to see it released.
void TapAndSettle(GameHarness& h, int key) {
  h.Press(key);
  Settle(h, 10);
}

// The joiner's process ends without a word once the match has run a while.
std::string DieInTheMatch(GameHarness& h) {
  if (!StepUntil(h, [&] { return h.App()->m_screen == SCREEN_MATCH; })) return "the match did not start";
  Settle(h, DIES_AFTER_UPDATES);
  return "died";
}

// The host once the joiner died: the computer takes rider 2 and rides it
// in play (in this round, or the next when it has already crashed), and the
// match runs on.
std::string PlayOnAlone(GameHarness& h) {
  c_MyApp* app = h.App();
  const auto computerRides = [&] {
    return app->m_screen == SCREEN_MATCH && !IsHuman(app, 2) && Rider(app, 2, R_DEATH) == 0.0f;
  };
  if (!StepUntil(h, computerRides, DROP_SECONDS)) return "rider 2 was not given to the computer";
  const uint32_t dropped = app->m_session->Update();
  if (!StepUntil(h, [&] { return app->m_session && app->m_session->Update() > dropped + PLAYS_ON_UPDATES; }))
    return "the host stopped";
  return "the computer rides rider 2";
}

// One game's part: what it saw at the end of the round ("update U state
// H"), or what went wrong.
std::string Play(bool host, int port, const Link& link, Joiner joinerPart) {
  GameHarness& h = GameHarness::Get();
  if (!h.FinishLoading()) return "loading did not finish";
  c_MyApp* app = h.App();
  std::string error;
  auto transport = host ? net::EnetListen(port, MAX_PEERS, error) : net::EnetConnect("127.0.0.1", port, error);
  if (!transport) return error;
  const net::LinkModel model(link.delayMs, link.dropPercent, host ? 1 : 2, RESEND_MS);
  auto conditioned = net::Conditioned(std::move(transport), model, Clock);
  const net::Identity game{1, 1};
  app->p_OnlineAttach(host ? net::Session::Host(std::move(conditioned), game).release()
                           : net::Session::Join(std::move(conditioned), game).release());
  if (!host) {
    app->m_settings[SETTING_SKILL] = SKILL_HARD;
    app->m_settings[SETTING_SPEED] = JOINER_SPEED;
  }
  if (host) {
    if (!StepUntil(h, [&] { return app->m_session && app->m_session->Members() == 0b11u; })) return "nobody joined";
    for (int i = 0; i < THREE_RIDER_ENTRY; ++i) TapAndSettle(h, KEY_RIGHT);
    TapAndSettle(h, KEY_ENTER);
  }
  if (!StepUntil(h, [&] { return app->m_screen == SCREEN_JOIN; })) return "no join screen";
  const int joiner = SlotOf(JOINER_KEYBOARD);
  if (!host) {
    // Each press once the last has shown, as a player watching the screen
    // plays: presses made while the session waits go out together.
    Settle(h, 30);
    TapAndSettle(h, KEY_Z);
    if (!StepUntil(h, [&] { return JoinField(app, joiner, SLOT_JOINED) == 1; })) return "the joiner's key did not join";
    TapAndSettle(h, KEY_RIGHT);
  }
  const auto joined = [&] { return JoinField(app, joiner, SLOT_JOINED) == 1 && JoinField(app, joiner, SLOT_RIDER) == 2; };
  if (!StepUntil(h, joined)) return "the joiner did not join";
  if (host) {
    Settle(h, 30);
    TapAndSettle(h, KEY_ENTER);
  }
  if (joinerPart == Joiner::DIES) return host ? PlayOnAlone(h) : DieInTheMatch(h);
  if (!StepUntil(h, [&] { return app->m_screen == SCREEN_ROUND_WON; })) return "the round did not end";
  const std::string seen = "update " + std::to_string(app->m_session->Update()) + " state " + app->p_OnlineStateText();
  // A save in the shared match keeps this machine's own rules.
  app->p_Save();
  const std::string saved = SavedState();
  if (!host && (StateField(saved, SETTING_SKILL) != SKILL_HARD || StateField(saved, SETTING_SPEED) != JOINER_SPEED))
    return "the joiner saved the host's rules";
  // The game plays on a while, so the other has all of this one's input
  // for its round before this one leaves.
  StepUntil(h, [] { return false; }, LINGER_SECONDS);
  return seen;
}

// Runs both games in processes of their own and returns what each saw.
void PlayBoth(const Link& link, Joiner joinerPart, std::string (&seen)[2]) {
  const int port = 30000 + int(getpid() % 10000) + link.delayMs + int(joinerPart);
  pid_t children[2];
  int pipes[2][2];
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(pipe(pipes[k]), 0);
    children[k] = fork();
    ASSERT_GE(children[k], 0);
    if (children[k] == 0) {
      if (k == 1) std::this_thread::sleep_for(std::chrono::milliseconds(500));
      std::string result;
      {
        // Each machine saves to a state file of its own, as on two
        // computers: in one folder the host's save could land over the
        // joiner's before the joiner reads it back.
        const TempDir own;
        bb_data_SetFolders("./data/", own.Path() + "/");
        result = Play(k == 0, port, link, joinerPart);
        bb_app_FlushState();
      }
      const ssize_t written = write(pipes[k][1], result.data(), result.size());
      _exit(written == ssize_t(result.size()) ? 0 : 1);
    }
    close(pipes[k][1]);
  }
  for (int k = 0; k < 2; ++k) {
    char buffer[256];
    ssize_t n;
    while ((n = read(pipes[k][0], buffer, sizeof buffer)) > 0) seen[k].append(buffer, size_t(n));
    close(pipes[k][0]);
    int status = 0;
    waitpid(children[k], &status, 0);
  }
}

TEST(OnlineGames, HostAndJoinerEndTheRoundInTheSameStateOverEveryLink) {
  for (const Link link : {Link{0, 0}, Link{100, 5}}) {
    SCOPED_TRACE(testing::Message() << link.delayMs << " ms, " << link.dropPercent << "% lost");
    std::string seen[2];
    PlayBoth(link, Joiner::PLAYS_THE_ROUND, seen);
    EXPECT_EQ(seen[0].rfind("update ", 0), 0u) << seen[0];
    EXPECT_EQ(seen[0], seen[1]);
  }
}

TEST(OnlineGames, AJoinerThatDiesInTheMatchLeavesTheHostPlayingWithTheComputerOnItsRider) {
  std::string seen[2];
  PlayBoth(Link{0, 0}, Joiner::DIES, seen);
  EXPECT_EQ(seen[1], "died");
  EXPECT_EQ(seen[0], "the computer rides rider 2");
}

}  // namespace
