// A program that stops in the way its first argument names, for the
// diagnostics test to watch from outside:
//   quit            the game's normal quit (empty runtime error)
//   error <text>    a runtime error with that message
//   signal <n>      the crash handler for signal n
//   throw           a runtime exception escaping an update
//   stop            the stop protocol; on return prints the step state
//   inspect         the stop protocol asked for an object's debug text
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/core/core.h"

namespace {

class Thrower : public BBGameDelegate {
  void UpdateGame() override { dbg_throw("thrown"); }
};

class Probe : public Object {
  String debug() override { return String("+Probe"); }
};

// Replaces standard input with `lines`.
void feed_stdin(const std::string& lines) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(50);
  if (write(fds[1], lines.data(), lines.size()) != ssize_t(lines.size())) std::exit(51);
  close(fds[1]);
  dup2(fds[0], STDIN_FILENO);
  close(fds[0]);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  const char* arg = argc > 2 ? argv[2] : "";
  if (mode == "quit") bbError(String());
  if (mode == "error") bbError(String(arg));
  if (mode == "signal") sighandler(std::atoi(arg));
  if (mode == "throw") {
    BBGame game;
    game.SetDelegate(new Thrower);
    game.StartGame();
    game.UpdateGame();
  }
  if (mode == "stop" || mode == "inspect") {
    if (mode == "inspect") {
      char lines[128];
      std::snprintf(lines, sizeof(lines), "@%p\n@0x10\n@zz\nq\n", static_cast<void*>(new Probe));
      feed_stdin(lines);
    }
    dbg_stop();
    std::printf("resumed %d %c\n", int(dbg_suspended), dbg_stepmode ? char(dbg_stepmode) : '0');
    return 3;
  }
  return 99;
}
