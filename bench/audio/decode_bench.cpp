// Decoding a 60-second stereo Ogg Vorbis tune, whole (as sound files load)
// and streamed a music buffer at a time (as the round's music plays): time
// per second of audio and per buffer refill, and the peak memory of playing
// the tune through either way.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "tests/support/support.h"

using zephrine_test::TempDir;
using zephrine_test::WriteFile;

namespace {

constexpr int TUNE_SECONDS = 60;
constexpr int TUNE_RATE = 44100;

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

// Moves every finished block of the analysis into pages of the stream.
void Drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream, std::vector<uint8_t>& out) {
  ogg_packet packet;
  ogg_page page;
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
      ogg_stream_packetin(&stream, &packet);
      while (ogg_stream_pageout(&stream, &page)) AppendPage(out, page);
    }
  }
}

// The bytes of an Ogg Vorbis file of the interleaved samples (-1..1).
std::vector<uint8_t> OggBytes(const std::vector<float>& samples, int channels, int rate, float quality = 0.4f) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) throw std::runtime_error("vorbis set-up");
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);

  std::vector<uint8_t> out;
  ogg_packet id, comments, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &id, &comments, &codebooks);
  ogg_stream_packetin(&stream, &id);
  ogg_stream_packetin(&stream, &comments);
  ogg_stream_packetin(&stream, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page)) AppendPage(out, page);

  const int chunk = 4096;
  int frames = int(samples.size() / channels);
  for (int start = 0; start < frames; start += chunk) {
    int n = std::min(chunk, frames - start);
    float** buffer = vorbis_analysis_buffer(&dsp, n);
    for (int i = 0; i < n; ++i) {
      for (int c = 0; c < channels; ++c) buffer[c][i] = samples[size_t(start + i) * channels + c];
    }
    vorbis_analysis_wrote(&dsp, n);
    Drain(dsp, block, stream, out);
  }
  vorbis_analysis_wrote(&dsp, 0);
  Drain(dsp, block, stream, out);
  while (ogg_stream_flush(&stream, &page)) AppendPage(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

TempDir* tune_dir = nullptr;

// A minute of a two-voice melody, encoded in a child process so that the
// encoder's memory never shows in this process's figures.
std::string TunePath() {
  if (tune_dir) return tune_dir->Path("tune.ogg");
  tune_dir = new TempDir;
  std::string path = tune_dir->Path("tune.ogg");
  pid_t child = fork();
  if (child == 0) {
    std::vector<float> tune(size_t(TUNE_SECONDS) * TUNE_RATE * 2);
    const double notes[] = {220, 247, 262, 294, 330, 294, 262, 247};
    for (size_t i = 0; i < tune.size() / 2; ++i) {
      double t = double(i) / TUNE_RATE, note = notes[size_t(t * 4) % 8];
      tune[2 * i] = float(0.3 * std::sin(2 * M_PI * note * t));
      tune[2 * i + 1] = float(0.3 * std::sin(2 * M_PI * note * 1.5 * t));
    }
    WriteFile(path, OggBytes(tune, 2, TUNE_RATE));
    _exit(0);
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
