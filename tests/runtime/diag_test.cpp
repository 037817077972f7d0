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

const std::string BANNER = "Tarvex Runtime Error : ";
const std::string MARKER = "{{~~~~}}\n\n";

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
  const std::string error = BANNER + "Image frame outside surface\n\n";
  const struct {
    std::function<int()> body;
    std::string input;
    int status;
    std::string out, err;
    bool terminal = false;  // standard input a terminal that never answers
  } cases[] = {
      {[]() -> int { bbError(String()); }, "q\n", 0, "", ""},  // the game's quit: quiet
      {Error, "", 255, error, MARKER},                 // no tool attached
      {Error, "", 255, error, MARKER, true},           // a terminal: ends without waiting
      {Error, "q", 255, error, MARKER},                // input without a line feed is no tool
      {Error, "?\n?\nq\n", 0, error, MARKER},
      {Error, "r\nq\n", 0, error, MARKER + MARKER},  // after run the error stops again
      {Stop, "?\nr\n", 3, "resumed 0 0\n", MARKER},
      {Stop, "s\n", 3, "resumed 1 s\n", MARKER},
      {Stop, "e\n", 3, "resumed 1 e\n", MARKER},
      {Stop, "l\n", 3, "resumed 0 l\n", MARKER},
      {Stop, "zap\n", 255, "????? zap\n ?????", MARKER},
      {Stop, inspect, 0, "+Probe\n", MARKER},  // only live objects are inspected
      {[] { return Signal(11); }, "", 255, BANNER + "Memory access violation\n\n", MARKER},
      {[] { return Signal(4); }, "", 255, BANNER + "Illegal instruction\n\n", MARKER},
      {[] { return Signal(8); }, "", 255, BANNER + "Floating point exception\n\n", MARKER},
      {[] { return Signal(6); }, "", 255, BANNER + "Unknown signal\n\n", MARKER},
      {[] {
         BBGame game;
         game.SetDelegate(new Thrower);
         game.StartGame();
         game.UpdateGame();
         return 0;
       },
       "", 255, BANNER + "Uncaught Tarvex Exception\n", ""},
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
  EXPECT_EQ(r.out, BANNER + "Memory access violation\n\n");
  EXPECT_EQ(r.err, MARKER);
}

}  // namespace
