// How the program prints and stops: each case runs in a child process whose
// standard streams the test gives and reads.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <thread>

#include "runtime/core/core.h"
#include "tests/support/support.h"

using zephrine_test::ChildOptions;
using zephrine_test::RunChild;

namespace {

const std::string kBanner = "Tarvex Runtime Error : ";
const std::string kMarker = "{{~~~~}}\n\n";

class Thrower : public BBGameDelegate {
  void UpdateGame() override { dbg_throw("thrown"); }
};

class Probe : public Object {
  String debug() override { return String("+Probe"); }
};

int Error() { bbError(String("Image frame outside surface")); }

// The stop protocol on its own, then the step state it left.
int Stop() {
  dbg_stop();
  std::printf("resumed %d %c\n", int(dbg_suspended), dbg_stepmode ? char(dbg_stepmode) : '0');
  return 3;
}

int Signal(int number) { sighandler(number); }

TEST(Diagnostics, ErrorsAndTheStopProtocol) {
  gc_init();
  char inspect[128];
  std::snprintf(inspect, sizeof(inspect), "@%p\n@0x10\n@zz\nq\n", static_cast<void*>(new Probe));
  const std::string error = kBanner + "Image frame outside surface\n\n";
  const struct {
    std::function<int()> body;
    std::string input;
    int status;
    std::string out, err;
    bool terminal = false;  // standard input a terminal that never answers
  } cases[] = {
      {[]() -> int { bbError(String()); }, "q\n", 0, "", ""},  // the game's quit: quiet
      {Error, "", 255, error, kMarker},                 // no tool attached
      {Error, "", 255, error, kMarker, true},           // a terminal: ends without waiting
      {Error, "q", 255, error, kMarker},                // input without a line feed is no tool
      {Error, "?\n?\nq\n", 0, error, kMarker},
      {Error, "r\nq\n", 0, error, kMarker + kMarker},  // after run the error stops again
      {Stop, "?\nr\n", 3, "resumed 0 0\n", kMarker},
      {Stop, "s\n", 3, "resumed 1 s\n", kMarker},
      {Stop, "e\n", 3, "resumed 1 e\n", kMarker},
      {Stop, "l\n", 3, "resumed 0 l\n", kMarker},
      {Stop, "zap\n", 255, "????? zap\n ?????", kMarker},
      {Stop, inspect, 0, "+Probe\n", kMarker},  // only live objects are inspected
      {[] { return Signal(11); }, "", 255, kBanner + "Memory access violation\n\n", kMarker},
      {[] { return Signal(4); }, "", 255, kBanner + "Illegal instruction\n\n", kMarker},
      {[] { return Signal(8); }, "", 255, kBanner + "Floating point exception\n\n", kMarker},
      {[] { return Signal(6); }, "", 255, kBanner + "Unknown signal\n\n", kMarker},
      {[] {
         BBGame game;
         game.SetDelegate(new Thrower);
         game.StartGame();
         game.UpdateGame();
         return 0;
       },
       "", 255, kBanner + "Uncaught Tarvex Exception\n", ""},
  };
  for (const auto& c : cases) {
    ChildOptions options;
    options.input = c.input;
    options.terminalInput = c.terminal;
    zephrine_test::ChildResult r = RunChild(c.body, options);
    EXPECT_EQ(r.status, c.status) << c.out << "with input " << c.input;
    EXPECT_EQ(r.out, c.out) << "with input " << c.input;
    EXPECT_EQ(r.err, c.err) << c.out << "with input " << c.input;
  }
}

// Another thread holds both standard streams, as inside a printf, when the
// crash comes: the report must not wait for them.
TEST(Diagnostics, CrashWhileAnotherThreadPrintsStillEnds) {
  zephrine_test::ChildResult r = RunChild([] {
    std::signal(SIGSEGV, sighandler);
    bool locked = false;
    std::thread([&locked] {
      flockfile(stdout);
      flockfile(stderr);
      __atomic_store_n(&locked, true, __ATOMIC_SEQ_CST);
      for (;;) pause();
    }).detach();
    while (!__atomic_load_n(&locked, __ATOMIC_SEQ_CST)) std::this_thread::yield();
    std::raise(SIGSEGV);
    return 0;
  });
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, kBanner + "Memory access violation\n\n");
  EXPECT_EQ(r.err, kMarker);
}

}  // namespace
