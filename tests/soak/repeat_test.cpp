// Things a long session does over and over, each checked every run: a save
// cut short at any point (a child process saves two states in turn as fast
// as it can and is killed with SIGKILL after a random delay, again and
// again: the state file must always hold one of the two states whole), and
// one tune started after another (each must let go of the one before).
#include <AL/al.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "runtime/core/core.h"
#include "tests/support/support.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

TEST(InterruptedSave, TheStateFileIsAlwaysTheOldOrTheNewStateWhole) {
  constexpr int TRIES = 250;
  TempDir dir;
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  // Large enough that a kill often lands inside the writing itself.
  const std::string states[] = {std::string(300000, '1') + "|", std::string(200000, '2') + "|"};
  const String texts[] = {String(states[0].c_str()), String(states[1].c_str())};
  BBGame game;
  ASSERT_EQ(game.SaveState(texts[0]), 0);
  std::mt19937 random(12);
  int cut = 0;  // kills that landed inside a save, leaving its temporary file
  for (int i = 0; i < TRIES; ++i) {
    std::filesystem::remove(".tarvexstate.tmp");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    for (int n = 0; child == 0; ++n) game.SaveState(texts[n % 2]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGKILL);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string saved = ReadFile(".tarvexstate");
    const bool whole = saved == states[0] || saved == states[1];
    ASSERT_TRUE(whole) << "try " << i << ": " << saved.size() << " bytes";
    cut += std::filesystem::exists(".tarvexstate.tmp");
  }
  EXPECT_GT(cut, 0);
  std::filesystem::current_path(home);
}

TEST(RepeatedTunes, EachTuneStartedOrStoppedLetsGoOfTheBufferOfTheOneBefore) {
  Game();
  gxtkAudio* audio = new gxtkAudio();
  gc_root(audio);
  // OpenAL Soft names buffers 1, 2, ... and reuses the names it frees.
  auto live_buffers = [] {
    int n = 0;
    for (ALuint name = 1; name <= 64; ++name) n += alIsBuffer(name);
    return n;
  };
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(audio->PlayMusic(String("data/sfx/tune_1.ogg"), 1), 0);
    EXPECT_EQ(live_buffers(), 1) << "round " << round;
  }
  audio->StopMusic();
  gxtkSample* sample = audio->LoadSample(String("data/sfx/tune_2.ogg"));  // deletes what it can first
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(live_buffers(), 1);
}
