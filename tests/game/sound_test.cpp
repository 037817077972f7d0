// Game audio through the real audio engine (OpenAL Soft; the tests run with
// its null backend): the channel rotation, the sound modes and the music
// pause that follows the pause menu. That the effects load at all (their
// three-digit file names) is the shell test's start-up check.
#include <gtest/gtest.h>

#include "tests/game/harness.h"

using zephrine_test::GameHarness;

namespace {

constexpr int SFX_CHOOSE = 98;

c_MyApp* LoadedWithSoundMode(int mode) {
  GameHarness& h = GameHarness::Get();
  EXPECT_TRUE(h.FinishLoading());
  c_MyApp* app = h.App();
  app->m_settings[SETTING_SOUND_MODE] = mode;
  app->p_StopTune();
  return app;
}

TEST(Effects, RotateOverTwentyFourChannelsAndAMissingSoundStillStopsItsChannel) {
  c_MyApp* app = LoadedWithSoundMode(1);
  gxtkSample* sample = app->m_sounds[SFX_CHOOSE]->m_sample;
  const int start = app->m_sfxChannel;
  for (int i = 1; i <= SFX_CHANNELS; ++i) {
    app->p_PlaySFX(SFX_CHOOSE, 1.0f, 0.5f, 0.0f);
    const int channel = (start + i) % SFX_CHANNELS;
    EXPECT_EQ(app->m_sfxChannel, channel);
    EXPECT_EQ(bb_audio_device->channels[channel].sample, sample) << channel;
  }
  EXPECT_EQ(app->m_sfxChannel, start);
  for (int c = SFX_CHANNELS; c < AUDIO_CHANNELS; ++c) EXPECT_NE(bb_audio_device->channels[c].sample, sample);

  app->p_LoadSFX(42);  // not part of the data
  EXPECT_EQ(app->m_sounds[42], nullptr);
  for (int i = 0; i < SFX_CHANNELS; ++i) app->p_PlaySFX(42, 1.0f, 1.0f, 0.0f);  // back on the last channel
  EXPECT_EQ(app->m_sfxChannel, start);
  EXPECT_EQ(bb_audio_device->ChannelState(start), AUDIO_STOPPED);
}

TEST(SoundModes, GateEffectsAndTunes) {
  const struct {
    int mode;
    bool effects, tunes;
  } cases[] = {{0, false, false}, {1, true, true}, {2, true, false}, {3, false, true}};
  for (const auto& c : cases) {
    c_MyApp* app = LoadedWithSoundMode(c.mode);
    const int cursor = app->m_sfxChannel;
    const int next = (cursor + 1) % SFX_CHANNELS;
    bb_audio_device->channels[next].sample = nullptr;
    app->p_PlaySFX(4, 1.0f, 1.0f, 0.0f);
    EXPECT_EQ(app->m_sfxChannel != cursor, c.effects) << "mode " << c.mode;
    EXPECT_EQ(bb_audio_device->channels[next].sample != nullptr, c.effects) << "mode " << c.mode;

    app->p_PlayTune("tune_1", 1);
    EXPECT_EQ(app->m_musicOn, c.tunes ? 1 : 0) << "mode " << c.mode;
    EXPECT_EQ(bb_audio_device->MusicState(), c.tunes ? AUDIO_PLAYING : AUDIO_STOPPED) << "mode " << c.mode;
    app->p_StopTune();
    EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_STOPPED);
  }
  LoadedWithSoundMode(1);
}

TEST(Music, PausesWithThePauseMenu) {
  GameHarness& h = GameHarness::Get();
  c_MyApp* app = LoadedWithSoundMode(1);
  app->p_PlayTune("tune_2", 1);
  ASSERT_EQ(bb_audio_device->MusicState(), AUDIO_PLAYING);
  app->m_paused = 1;
  h.Update();
  EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_PAUSED);
  app->m_paused = 0;
  h.Update();
  EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_PLAYING);
  app->p_StopTune();
  EXPECT_EQ(app->m_musicOn, 0);
}

}  // namespace
