// The game-facing audio module: c_Sound, the bb_audio_ functions, and the
// registration of the subsystem's global references with the collector.
#include "audio/sample.h"

gxtkAudio* gxtkAudio::audio = nullptr;
gxtkAudio* bb_audio_device = nullptr;

namespace {

// Both device pointers keep the one device (and through it every sounding
// sample) alive.
const bool roots_registered = gc_roots(gxtkAudio::audio, bb_audio_device);

}  // namespace

c_Sound* c_Sound::m_new(gxtkSample* sample) {
  gc_assign(m_sample, sample);
  return this;
}

c_Sound* c_Sound::m_new2() { return this; }

void c_Sound::mark() {
  Object::mark();
  gc_mark_q(m_sample);
}

int bb_audio_SetAudioDevice(gxtkAudio* device) {
  gc_assign(bb_audio_device, device);
  return 0;
}

c_Sound* bb_audio_LoadSound(String path) {
  gxtkSample* sample = bb_audio_device->LoadSample(bb_data_FixDataPath(path));
  if (!sample) return nullptr;
  return (new c_Sound)->m_new(sample);
}

int bb_audio_PlaySound(c_Sound* sound, int channel, int flags) {
  if (sound && sound->m_sample) bb_audio_device->PlaySample(sound->m_sample, channel, flags);
  return 0;
}

int bb_audio_StopChannel(int channel) { return bb_audio_device->StopChannel(channel); }
int bb_audio_SetChannelVolume(int channel, float volume) { return bb_audio_device->SetVolume(channel, volume); }
int bb_audio_SetChannelPan(int channel, float pan) { return bb_audio_device->SetPan(channel, pan); }
int bb_audio_SetChannelRate(int channel, float rate) { return bb_audio_device->SetRate(channel, rate); }
int bb_audio_PlayMusic(String path, int flags) { return bb_audio_device->PlayMusic(bb_data_FixDataPath(path), flags); }
int bb_audio_StopMusic() { return bb_audio_device->StopMusic(); }
int bb_audio_PauseMusic() { return bb_audio_device->PauseMusic(); }
int bb_audio_ResumeMusic() { return bb_audio_device->ResumeMusic(); }
