// A save cut short at any point: a child process saves two states in turn
// as fast as it can and is killed with SIGKILL after a random delay, again
// and again. The state file must always hold one of the two states whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/core/core.h"
#include "tests/support/support.h"

TEST(InterruptedSave, TheStateFileIsAlwaysTheOldOrTheNewStateWhole) {
  zephrine_test::TempDir dir;  // the state file's folder (the program ends in it)
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  // Large enough that a kill often lands inside the writing itself.
  const std::string states[] = {std::string(300000, '1') + "|", std::string(200000, '2') + "|"};
  const String texts[] = {String(states[0].c_str()), String(states[1].c_str())};
  BBGame game;
  ASSERT_EQ(game.SaveState(texts[0]), 0);
  int cut = 0;  // kills that found a save's temporary file about
  for (int i = 0; i < 250; ++i) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    for (int n = 0; child == 0; ++n) game.SaveState(texts[n % 2]);
    usleep(i * 7919 % 20000);  // 0 to 20 ms, spread over the tries
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string saved = zephrine_test::ReadFile(".tarvexstate");
    ASSERT_TRUE(saved == states[0] || saved == states[1]) << "try " << i << ": " << saved.size() << " bytes";
    cut += access(".tarvexstate.tmp", F_OK) == 0;
  }
  EXPECT_GT(cut, 0);
}
