// Game audio: numbered effect slots played over a rotation of channels, one
// looping tune at a time, both gated by the player's sound mode.
#include "game/app.h"

#include "audio/audio.h"

namespace {

// Sound modes: 0 silent, 1 effects and tunes, 2 effects only, 3 tunes only.
bool EffectsAudible(int mode) { return mode == 1 || mode == 2; }
bool TunesAudible(int mode) { return mode == 1 || mode == 3; }

}  // namespace

String SfxFileName(int slot) {
  const String zeros = slot < 10 ? String("00") : slot < 100 ? String("0") : String();
  return String("sfx/") + zeros + String(slot) + String(".wav");
}

int c_MyApp::p_LoadSFX(int slot) {
  gc_assign(m_sounds[slot], bb_audio_LoadSound(SfxFileName(slot)));
  return 0;
}

int c_MyApp::p_PlaySFX(int slot, float rate, float volume, float pan) {
  if (!EffectsAudible(m_settings[SETTING_SOUND_MODE]) || !bb_audio_device) return 0;
  m_sfxChannel = (m_sfxChannel + 1) % SFX_CHANNELS;
  const int channel = m_sfxOrder[m_sfxChannel];
  bb_audio_device->StopChannel(channel);
  c_Sound* sound = m_sounds[slot];
  if (sound && sound->m_sample) bb_audio_device->PlaySample(sound->m_sample, channel, 0);
  bb_audio_device->SetRate(channel, rate);
  bb_audio_device->SetVolume(channel, volume);
  bb_audio_device->SetPan(channel, pan);
  return 0;
}

int c_MyApp::p_PlayTune(String name, int flags) {
  const String path = String("sfx/") + name + String(".ogg");
  if (m_musicOn != 0) p_StopTune();
  if (TunesAudible(m_settings[SETTING_SOUND_MODE])) {
    bb_audio_PlayMusic(path, flags);
    m_musicOn = 1;
  }
  return 0;
}

int c_MyApp::p_StopTune() {
  if (bb_audio_device) bb_audio_device->StopMusic();
  m_musicOn = 0;
  return 0;
}
