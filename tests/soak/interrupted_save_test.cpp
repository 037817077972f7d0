// Saves under stress. A save cut short at any point: a child process saves
// two states in turn as fast as it can and is killed with SIGKILL after a
// random delay, again and again; the state file must always hold one of the
// two states whole, and the next save removes what the killed ones left.
// Two processes saving in one folder at once: neither loses a save to the
// other and the file ends whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/core/core.h"
#include "tests/support/support.h"

namespace {

// The names in the working directory besides the state file.
int OtherFiles() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) count += entry.path().filename() != ".tarvexstate";
  return count;
}

}  // namespace

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
    cut += OtherFiles() > 0;
  }
  EXPECT_GT(cut, 0);
  ASSERT_EQ(game.SaveState(texts[0]), 0);
  EXPECT_EQ(OtherFiles(), 0);
}

TEST(SharedFolder, TwoProcessesSavingAThousandTimesEachLoseNoSaveAndLeaveAWholeFile) {
  constexpr int SAVES = 1000;
  zephrine_test::TempDir dir;
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  const std::string states[] = {std::string(5000, 'a') + "|", std::string(3000, 'b') + "|"};
  pid_t children[2];
  for (int k = 0; k < 2; ++k) {
    children[k] = fork();
    ASSERT_GE(children[k], 0);
    if (children[k] > 0) continue;
    BBGame game;
    // What is under test is the sharing of names; syncing the disk would
    // only space the saves out.
    game.StateStore().SetCalls({BB_FILE_SYSTEM_CALLS.open, [](int) { return 0; }});
    int failed = 0;
    for (int n = 0; n < SAVES; ++n) failed += game.SaveState(String(states[k].c_str())) != 0;
    _exit(std::min(failed, 100));
  }
  for (pid_t child : children) {
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "saves failed: " << WEXITSTATUS(status);
  }
  const std::string saved = zephrine_test::ReadFile(".tarvexstate");
  EXPECT_TRUE(saved == states[0] || saved == states[1]) << saved.size() << " bytes";
  EXPECT_EQ(OtherFiles(), 0);
}
