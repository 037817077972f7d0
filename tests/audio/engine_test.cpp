// The audio engine on a real OpenAL Soft device (the "wave" backend renders
// the mix in real time into a file). That sound reaches the output is heard
// through the game in the acceptance test.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "audio/mixer.h"
#include "tests/support/sound.h"
#include "tests/support/support.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

namespace {

constexpr int RATE = 44100;

// One device for the whole program: OpenAL reads its configuration once.
class EngineTest : public ::testing::Test {
 protected:
  static std::unique_ptr<TempDir> dir;  // removed when the program ends
  static gxtkAudio* audio;

  static void SetUpTestSuite() {
    if (audio) return;
    Game();
    dir = std::make_unique<TempDir>();
    std::ofstream(dir->Path("alsoft.conf")) << "[general]\ndrivers = wave\nchannels = stereo\n"
                                            << "sample-type = int16\nfrequency = " << RATE << "\n"
                                            << "[wave]\nfile = " << dir->Path("out.wav") << "\n";
    setenv("ALSOFT_CONF", dir->Path("alsoft.conf").c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
    bb_audio_SetAudioDevice(new gxtkAudio());
    audio = bb_audio_device;
    ASSERT_NE(audio->Mixer().alContext, nullptr) << "no OpenAL device";
    WriteFile(dir->Path("effect.wav"), WavBytes({1, 16, RATE}, ToPcm(SineTone(1000, RATE, RATE / 4, 1), 2)));
    WriteFile(dir->Path("loop.wav"), WavBytes({2, 8, RATE}, ToPcm(SineTone(250, RATE, RATE / 10, 2), 1)));
    WriteFile(dir->Path("tune.ogg"), ReadFile("data/sfx/tune_1.ogg"));
  }

  static String PathOf(const char* name) { return String(dir->Path(name).c_str()); }

  // The left channel of what the device has written so far, from sample
  // frame `from` on. (The writer fills in the data chunk's size only when
  // the device closes: everything after the chunk's header is taken.)
  static std::vector<int16_t> Output(size_t from = 0) {
    const std::string bytes = ReadFile(dir->Path("out.wav"));
    std::vector<int16_t> left;
    const size_t data = bytes.find("data");
    if (data == std::string::npos) return left;
    for (size_t at = data + 8 + from * 4; at + 4 <= bytes.size(); at += 4) {
      left.push_back(int16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8));
    }
    return left;
  }

  static ALint SourceState(int channel) {
    ALint state = 0;
    alGetSourcei(audio->Mixer().channels[channel].source, AL_SOURCE_STATE, &state);
    return state;
  }

  // Waits (bounded) until the channel's state, as the engine or (`source`)
  // OpenAL reports it, is `state`; true when it is.
  static bool WaitForState(int channel, int state, bool source = false) {
    auto now = [=] { return source ? SourceState(channel) : audio->ChannelState(channel); };
    for (int i = 0; i < 400 && now() != state; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return now() == state;
  }
};

std::unique_ptr<TempDir> EngineTest::dir;
gxtkAudio* EngineTest::audio = nullptr;

// A one-shot ends by itself and stays stopped. (That it cuts what its
// channel played is the collection test's.)
TEST_F(EngineTest, OneShotsEndByThemselves) {
  c_Sound* sound = bb_audio_LoadSound(PathOf("effect.wav"));
  ASSERT_NE(sound, nullptr);
  ASSERT_EQ(audio->PlaySample(sound->m_sample, 0, 0), 0);
  EXPECT_EQ(audio->ChannelState(0), AUDIO_PLAYING);
  EXPECT_TRUE(WaitForState(0, AUDIO_STOPPED));
  audio->PauseChannel(0);
  audio->ResumeChannel(0);
  EXPECT_EQ((std::vector<int>{audio->ChannelState(0), SourceState(0)}), (std::vector<int>{AUDIO_STOPPED, AL_STOPPED}));
}

// Suspend and resume restore what played but not what the game paused;
// volume, rate and pan (a quarter turn is hard right) reach the source.
TEST_F(EngineTest, SuspendResumeAndParametersReachTheSources) {
  gxtkSample* loop = audio->LoadSample(PathOf("loop.wav"));
  audio->PlaySample(loop, 2, 1);
  audio->PlaySample(loop, 3, 1);
  audio->PauseChannel(3);
  audio->SetVolume(2, 0.0f);
  audio->SetVolume(3, 0.0f);
  audio->Suspend();
  EXPECT_EQ((std::vector<int>{SourceState(2), audio->ChannelState(2), SourceState(3), audio->ChannelState(3)}),
            (std::vector<int>{AL_PAUSED, AUDIO_PLAYING, AL_PAUSED, AUDIO_PAUSED}));
  audio->Resume();
  EXPECT_EQ((std::vector<int>{SourceState(2), SourceState(3), audio->ChannelState(3)}),
            (std::vector<int>{AL_PLAYING, AL_PAUSED, AUDIO_PAUSED}));
  audio->ResumeChannel(3);
  EXPECT_EQ(SourceState(3), AL_PLAYING);
  audio->StopChannel(2);
  audio->StopChannel(3);
  EXPECT_EQ((std::vector<int>{audio->ChannelState(2), SourceState(3)}), (std::vector<int>{AUDIO_STOPPED, AL_STOPPED}));

  audio->SetVolume(4, 0.25f);
  audio->SetRate(4, 1.5f);
  audio->SetPan(4, float(M_PI / 2));
  const ALuint source = audio->Mixer().channels[4].source;
  ASSERT_NE(source, 0u);
  float gain = 0, pitch = 0, right[3] = {0, 0, 0}, centre[3] = {0, 0, 0};
  alGetSourcef(source, AL_GAIN, &gain);
  alGetSourcef(source, AL_PITCH, &pitch);
  alGetSourcefv(source, AL_POSITION, right);
  audio->SetPan(4, 0.0f);
  alGetSourcefv(source, AL_POSITION, centre);
  EXPECT_TRUE(gain == 0.25f && pitch == 1.5f);
  for (float v : {right[0] - 1, right[2], centre[0], centre[2] + 1}) EXPECT_NEAR(v, 0.0f, 1e-6);
  audio->SetVolume(4, 1.0f);
  audio->SetRate(4, 1.0f);
}

TEST_F(EngineTest, MusicPlaysPausesAndAMissingTuneStopsIt) {
  ASSERT_EQ(bb_audio_PlayMusic(PathOf("tune.ogg"), 1), 0);
  EXPECT_EQ(audio->MusicState(), AUDIO_PLAYING);
  audio->SetMusicVolume(0.0f);
  bb_audio_PauseMusic();
  EXPECT_EQ(audio->MusicState(), AUDIO_PAUSED);
  bb_audio_ResumeMusic();
  EXPECT_EQ(audio->MusicState(), AUDIO_PLAYING);
  EXPECT_EQ(bb_audio_PlayMusic(PathOf("missing.ogg"), 1), -1);
  EXPECT_EQ(audio->MusicState(), AUDIO_STOPPED);
  EXPECT_EQ(SourceState(AUDIO_MUSIC_CHANNEL), AL_STOPPED);
  audio->SetMusicVolume(1.0f);
}

// The pitch heard in each window of `samples`: the number of its zero
// crossings, 0 for silence.
std::vector<int> Crossings(const std::vector<int16_t>& samples, int window) {
  std::vector<int> out;
  for (size_t at = 0; at + window <= samples.size(); at += window) {
    int crossings = 0, loudest = 0;
    for (int i = 1; i < window; ++i) {
      crossings += (samples[at + i - 1] < 0) != (samples[at + i] < 0);
      loudest = std::max(loudest, std::abs(int(samples[at + i])));
    }
    out.push_back(loudest < 1000 ? 0 : crossings);
  }
  return out;
}

// A looped tune of three notes, each a quarter second (a tune four and a
// bit stream buffers long), streamed while the test tops it up as the game's
// updates would: the notes follow each other without a gap, each as long as
// it is, loop after loop. Left without updates it runs dry and stops; the
// next look at the music starts it again. An unlooped tune ends by itself.
TEST_F(EngineTest, StreamedTunesPlayOnWithoutGapsAndLoop) {
  const int note_frames = RATE / 4, window = RATE / 50;  // 20 ms windows
  const double notes[] = {300, 600, 1200};               // 12, 24 and 48 crossings a window
  std::vector<float> tune;
  for (double hertz : notes) {
    std::vector<float> note = SineTone(hertz, RATE, note_frames, 2);
    tune.insert(tune.end(), note.begin(), note.end());
  }
  WriteFile(dir->Path("notes.wav"), WavBytes({2, 16, RATE}, ToPcm(tune, 2)));
  ASSERT_EQ(std::system(("oggenc -Q -q 6 -o " + dir->Path("notes.ogg") + " " + dir->Path("notes.wav")).c_str()), 0);

  const size_t before = Output().size();
  audio->SetMusicVolume(1.0f);
  ASSERT_EQ(audio->PlayMusic(PathOf("notes.ogg"), 1), 0);
  for (int i = 0; i < 150; ++i) {  // 3 s, a little over four loops
    audio->Update();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(WaitForState(AUDIO_MUSIC_CHANNEL, AL_STOPPED, true)) << "ran dry without updates";
  const std::vector<int> heard = Crossings(Output(before), window);
  EXPECT_EQ(audio->MusicState(), AUDIO_PLAYING);
  EXPECT_EQ(SourceState(AUDIO_MUSIC_CHANNEL), AL_PLAYING);

  // Runs of windows at one note, from the first note heard on to where the
  // tune ran dry. A window that straddles two notes is left out, and so is
  // one alone, which straddles the loop's seam and may sound like the
  // middle note.
  auto note_of = [](int crossings) {
    for (int n = 0; n < 3; ++n) {
      if (std::abs(crossings - 12 * (1 << n)) <= 3) return n;
    }
    return crossings == 0 ? -1 : -2;
  };
  std::vector<std::pair<int, int>> runs;  // note, windows
  for (int crossings : heard) {
    const int note = note_of(crossings);
    if (note == -2 || (note == -1 && runs.empty())) continue;
    if (note == -1) break;
    if (runs.empty() || runs.back().first != note) runs.push_back({note, 0});
    ++runs.back().second;
  }
  ASSERT_GE(runs.size(), 12u) << "four loops of three notes";
  std::vector<std::pair<int, int>> notes_heard;
  for (const auto& run : runs) {
    if (run.second == 1) continue;
    if (!notes_heard.empty() && notes_heard.back().first == run.first) {
      notes_heard.back().second += run.second;
    } else {
      notes_heard.push_back(run);
    }
  }
  runs.swap(notes_heard);
  runs.pop_back();  // cut short where the tune ran dry
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].first, int(i % 3)) << "run " << i;
    if (i == 0) continue;  // the first may start late
    EXPECT_NEAR(runs[i].second, note_frames / window, 1) << "run " << i;
  }

  ASSERT_EQ(audio->PlayMusic(PathOf("notes.ogg"), 0), 0);
  for (int i = 0; i < 150 && audio->MusicState() == AUDIO_PLAYING; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(audio->MusicState(), AUDIO_STOPPED);
}

TEST_F(EngineTest, SoundingSamplesSurviveCollectionAndDiscardedBuffersAreDeletedLater) {
  CollectAllGarbage();  // whatever earlier tests left behind
  gxtkSample* loop = audio->LoadSample(PathOf("loop.wav"));
  unsigned buffer = loop->buffer;
  audio->PlaySample(loop, 6, 1);
  audio->SetVolume(6, 0.0f);

  testing::internal::CaptureStdout();
  CollectAllGarbage();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(audio->Mixer().channels[6].sample->buffer, buffer);
  EXPECT_EQ(SourceState(6), AL_PLAYING);

  // A one-shot cuts the loop and ends by itself (nothing reads the channel
  // state, so it still says playing): neither sample is held any more.
  gxtkSample* effect = audio->LoadSample(PathOf("effect.wav"));
  unsigned effect_buffer = effect->buffer;
  audio->PlaySample(effect, 6, 0);
  EXPECT_EQ(audio->Mixer().channels[6].sample, effect);
  ASSERT_TRUE(WaitForState(6, AL_STOPPED, true));
  testing::internal::CaptureStdout();
  CollectAllGarbage();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Discarding sample\nDiscarding sample\n");
  // Queued, and deleted at the next load, the finished source letting go.
  EXPECT_TRUE(alIsBuffer(buffer) && alIsBuffer(effect_buffer));
  // (OpenAL may hand a freed name straight to the new sample's buffer.)
  gxtkSample* next = audio->LoadSample(PathOf("effect.wav"));
  ASSERT_NE(next, nullptr);
  for (unsigned old : {buffer, effect_buffer}) EXPECT_TRUE(old == next->buffer || !alIsBuffer(old)) << old;
}

TEST_F(EngineTest, ChannelsTakeOverTheSourceOfAStoppedChannelWhenOpenAlHasNoMore) {
  // Channel 0 holds a stopped source; some later channel never had one.
  gxtkSample* effect = audio->LoadSample(PathOf("effect.wav"));
  audio->PlaySample(effect, 0, 0);
  audio->StopChannel(0);
  const ALuint donor = audio->Mixer().channels[0].source;
  ASSERT_NE(donor, 0u);
  int fresh = AUDIO_EFFECT_CHANNELS - 1;
  while (fresh > 0 && audio->Mixer().channels[fresh].source != 0) --fresh;
  ASSERT_GT(fresh, 0) << "every channel has had a source";
  // Use up every source OpenAL has, then ask for more channels.
  std::vector<ALuint> hoard;
  for (ALuint s = 0; alGetError(), alGenSources(1, &s), alGetError() == AL_NO_ERROR;) {
    hoard.push_back(s);
    ASSERT_LT(hoard.size(), 4096u);
  }
  EXPECT_EQ(audio->PlaySample(effect, fresh, 0), 0);
  EXPECT_EQ(audio->Mixer().channels[fresh].source, donor);
  EXPECT_EQ(audio->Mixer().channels[0].source, 0u);
  audio->StopChannel(fresh);
  alDeleteSources(ALsizei(hoard.size()), hoard.data());
}

}  // namespace
