// The state file: what an update pays to hand a save over to the writer,
// what a durable write costs the writer on this disk, and a load of a 2 GB
// (sparse) state file, which reads only its first part.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/core/core.h"

namespace {

// A played game's state string: 182 fields of a few digits each.
std::string PlayedState() {
  std::string state;
  for (int i = 0; i < 182; ++i) state += std::to_string(1000 + i * 37) + "|";
  return state;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class Folder {
 public:
  Folder() {
    char name[] = "/tmp/zephrine-bench-XXXXXX";
    path_ = mkdtemp(name) ? name : ".";
  }
  ~Folder() { std::filesystem::remove_all(path_); }
  std::string StateFile() const { return path_ + "/.tarvexstate"; }

 private:
  std::string path_;
};

void BM_StateHandOver(benchmark::State& state) {
  Folder folder;
  const std::string bytes = PlayedState();
  BBStateStore store;
  for (auto _ : state) store.Post(folder.StateFile(), bytes);
  store.Flush();
}
BENCHMARK(BM_StateHandOver);

void BM_StateDurableWrite(benchmark::State& state) {
  Folder folder;
  const std::string bytes = PlayedState();
  for (auto _ : state) benchmark::DoNotOptimize(bb_file_SaveDurably(folder.StateFile(), bytes, BB_FILE_SYSTEM_CALLS));
}
BENCHMARK(BM_StateDurableWrite)->Unit(benchmark::kMillisecond);

void BM_StateLoadOf2GBFile(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.StateFile();
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fputs(PlayedState().c_str(), file);
    std::fclose(file);
  }
  if (truncate(path.c_str(), off_t(2) << 30) != 0) state.SkipWithError("no sparse file");
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string bytes;
    bb_file_ReadAtMost(file, STATE_FILE_LOAD_LIMIT, bytes);
    std::fclose(file);
    benchmark::DoNotOptimize(String::Decode(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size())));
  }
}
BENCHMARK(BM_StateLoadOf2GBFile)->Unit(benchmark::kMicrosecond);

}  // namespace
