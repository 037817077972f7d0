// Without any usable audio device the engine says so once and every call
// still returns: the game carries on silently.
#include <gtest/gtest.h>

#include "audio/mixer.h"
#include "tests/support/sound.h"
#include "tests/support/support.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

namespace {

TEST(NoAudioDevice, EngineReportsAndEveryCallReturns) {
  setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
  setenv("ALSOFT_CONF", "/nonexistent/alsoft.conf", 1);
  Game();
  TempDir dir;
  WriteFile(dir.Path("beep.wav"), WavBytes({1, 8, 8000}, ToPcm(SineTone(440, 8000, 800, 1), 1)));
  String beep(dir.Path("beep.wav").c_str());

  testing::internal::CaptureStdout();
  bb_audio_SetAudioDevice(new gxtkAudio());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "OpenAl error: alcOpenDevice failed\n");
  gxtkAudio* audio = bb_audio_device;
  EXPECT_EQ(audio->Mixer().alDevice, nullptr);

  // Loading still decodes; nothing can play.
  c_Sound* sound = bb_audio_LoadSound(beep);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(audio->PlaySample(sound->m_sample, 0, 0), -1);
  EXPECT_EQ(bb_audio_LoadSound(String(dir.Path("missing.wav").c_str())), nullptr);
  for (int channel : {0, 31, AUDIO_MUSIC_CHANNEL}) {
    bb_audio_PlaySound(sound, channel, 1);
    bb_audio_SetChannelVolume(channel, 0.5f);
    bb_audio_SetChannelPan(channel, -1.0f);
    bb_audio_SetChannelRate(channel, 2.0f);
    audio->PauseChannel(channel);
    audio->ResumeChannel(channel);
    bb_audio_StopChannel(channel);
    EXPECT_EQ(audio->ChannelState(channel), AUDIO_STOPPED);
  }
  bb_audio_PlaySound(nullptr, 3, 0);
  bb_audio_PlaySound((new c_Sound)->m_new2(), 3, 0);

  EXPECT_EQ(bb_audio_PlayMusic(beep, 1), 0);
  WriteFile(dir.Path("tune.ogg"), ReadFile("data/sfx/tune_1.ogg"));
  EXPECT_EQ(bb_audio_PlayMusic(String(dir.Path("tune.ogg").c_str()), 1), 0);  // a streamed tune: stays stopped
  audio->Update();
  EXPECT_EQ(audio->MusicState(), AUDIO_STOPPED);
  EXPECT_EQ(bb_audio_PlayMusic(String(dir.Path("missing.ogg").c_str()), 1), -1);
  bb_audio_PauseMusic();
  bb_audio_ResumeMusic();
  audio->SetMusicVolume(0.3f);
  EXPECT_EQ(audio->MusicState(), AUDIO_STOPPED);
  bb_audio_StopMusic();
  audio->Suspend();
  audio->Resume();

  // Discarded samples are collected and their (empty) buffers let go.
  gc_mark();
  CollectAllGarbage();
  EXPECT_NE(audio->LoadSample(beep), nullptr);
}

}  // namespace
