// Decoding a 60-second stereo Ogg Vorbis tune, whole (as sound files load)
// and streamed a music buffer at a time (as the round's music plays): time
// per second of audio and per buffer refill, and the peak memory of playing
// the tune through either way.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "tests/support/support.h"
#include "tools/datagen/sound.hpp"

using zephrine_test::TempDir;

namespace {

constexpr int TUNE_SECONDS = 60;
constexpr int TUNE_RATE = datagen::SAMPLE_RATE;
// Higher than the game's own tunes, for a bit rate typical of real music.
constexpr float TUNE_QUALITY = 0.4f;

TempDir* tune_dir = nullptr;

// A minute of a two-voice melody, encoded in a child process so that the
// encoder's memory never shows in this process's figures.
std::string TunePath() {
  if (tune_dir) return tune_dir->Path("tune.ogg");
  tune_dir = new TempDir;
  std::string path = tune_dir->Path("tune.ogg");
  pid_t child = fork();
  if (child == 0) {
    datagen::Stereo tune;
    tune.left.resize(size_t(TUNE_SECONDS) * TUNE_RATE);
    tune.right.resize(tune.left.size());
    const double notes[] = {220, 247, 262, 294, 330, 294, 262, 247};
    for (size_t i = 0; i < tune.left.size(); ++i) {
      double t = double(i) / TUNE_RATE, note = notes[size_t(t * 4) % 8];
      tune.left[i] = float(0.3 * std::sin(2 * M_PI * note * t));
      tune.right[i] = float(0.3 * std::sin(2 * M_PI * note * 1.5 * t));
    }
    _exit(datagen::WriteOgg(path, tune, 1, TUNE_QUALITY) ? 0 : 1);
  }
  waitpid(child, nullptr, 0);
  return path;
}

unsigned char* Decode(const std::string& path, int* length, int* channels) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  int format = 0, hertz = 0;
  unsigned char* data = f ? LoadOGG(f, length, channels, &format, &hertz) : nullptr;
  if (f) std::fclose(f);
  return data;
}

// Decodes the whole tune one music buffer's worth at a time, as the music
// channel refills its queue; the sample frames decoded (0 on failure).
int Stream(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  int frames = 0;
  if (std::unique_ptr<gxtkOggStream> stream = gxtkOggStream::Open(f)) {
    std::vector<short> pcm(size_t(MUSIC_BUFFER_FRAMES) * stream->Channels());
    while (int got = stream->Read(pcm.data(), MUSIC_BUFFER_FRAMES, false)) frames += got;
  }
  std::fclose(f);
  return frames;
}

void BM_DecodeOggTune(benchmark::State& state) {
  std::string path = TunePath();
  int length = 0, channels = 0;
  for (auto _ : state) {
    unsigned char* data = Decode(path, &length, &channels);
    if (!data) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(data);
    std::free(data);
  }
  double audio_seconds = double(length) / TUNE_RATE;
  state.counters["audio_s"] = audio_seconds;
  // CPU seconds spent per second of decoded audio (printed with an SI prefix).
  state.counters["cpu_s_per_audio_s"] = benchmark::Counter(double(state.iterations()) * audio_seconds,
                                                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeOggTune)->Unit(benchmark::kMillisecond);

void BM_StreamOggTune(benchmark::State& state) {
  std::string path = TunePath();
  int frames = 0;
  for (auto _ : state) {
    frames = Stream(path);
    if (!frames) state.SkipWithError("decode failed");
  }
  // CPU seconds per refill of one music buffer (printed with an SI prefix).
  const double refills = double(frames) / MUSIC_BUFFER_FRAMES;
  state.counters["cpu_s_per_refill"] = benchmark::Counter(double(state.iterations()) * refills,
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StreamOggTune)->Unit(benchmark::kMillisecond);

// Peak resident memory one decode adds, whole (0) or streamed (1),
// measured in a fresh child process.
void BM_DecodeOggTunePeakMemory(benchmark::State& state) {
  std::string path = TunePath();
  const bool streamed = state.range(0) != 0;
  double peak_mib = 0;
  for (auto _ : state) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return state.SkipWithError("pipe");
    pid_t child = fork();
    if (child == 0) {
      rusage before{}, after{};
      getrusage(RUSAGE_SELF, &before);
      int length = 0, channels = 0;
      if (streamed) {
        Stream(path);
      } else {
        std::free(Decode(path, &length, &channels));
      }
      getrusage(RUSAGE_SELF, &after);
      long grown_kib = after.ru_maxrss - before.ru_maxrss;
      ssize_t ignored = write(pipe_fds[1], &grown_kib, sizeof grown_kib);
      (void)ignored;
      _exit(0);
    }
    long grown_kib = 0;
    ssize_t got = read(pipe_fds[0], &grown_kib, sizeof grown_kib);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    waitpid(child, nullptr, 0);
    if (got != sizeof grown_kib) return state.SkipWithError("child");
    peak_mib = grown_kib / 1024.0;
  }
  state.counters["peak_MiB"] = peak_mib;
  state.counters["pcm_MiB"] = TUNE_SECONDS * TUNE_RATE * 2 * 2 / (1024.0 * 1024.0);
}
BENCHMARK(BM_DecodeOggTunePeakMemory)->Arg(0)->Arg(1)->ArgName("streamed")->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
