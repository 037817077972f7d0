// The audio device: channels, samples and music over the OpenAL seam.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/mixer.h"
#include "audio/openal_seam.h"

namespace {

// Buffers of discarded samples waiting until no source plays them.
std::vector<unsigned>& Discarded() {
  static std::vector<unsigned> buffers;
  return buffers;
}

}  // namespace

// ---- gxtkSample ----

gxtkSample::~gxtkSample() {
  bbPrint(String("Discarding sample"));
  Discard();
}

void gxtkSample::SetBuffer(unsigned name) { buffer = name; }

void gxtkSample::Discard() {
  if (!buffer) return;
  Discarded().push_back(buffer);
  buffer = 0;
}

// ---- gxtkAudio ----

gxtkAudio::gxtkAudio() : mixer(new gxtkMixer()) {
  audio = this;
  openal::Open(&mixer->alDevice, &mixer->alContext);
  openal::NoDistanceModel();
  ObtainSource(AUDIO_MUSIC_CHANNEL);
}

gxtkAudio::~gxtkAudio() = default;

void gxtkAudio::mark() {
  Object::mark();
  gc_mark_q(mixer->music);
  for (gxtkChannel& chan : mixer->channels) {
    if (chan.state != AUDIO_STOPPED && !openal::SourceStopped(chan.source)) gc_mark_q(chan.sample);
  }
}

unsigned gxtkAudio::ObtainSource(int channel) {
  gxtkChannel& chan = mixer->channels[channel];
  if (chan.source) return chan.source;
  chan.source = openal::GenSource();
  if (chan.source) return chan.source;
  // OpenAL has no more sources: take over the source of a finished effect.
  for (int other = 0; other < AUDIO_EFFECT_CHANNELS; ++other) {
    gxtkChannel& donor = mixer->channels[other];
    if (!donor.source || ChannelState(other) != AUDIO_STOPPED) continue;
    chan.source = donor.source;
    donor.source = 0;
    return chan.source;
  }
  return 0;
}

void gxtkAudio::FlushDiscarded() {
  std::vector<unsigned>& discarded = Discarded();
  if (discarded.empty()) return;
  // Sources that finished still hold their buffer; let go of it so the
  // buffer can be deleted.
  for (int channel = 0; channel < AUDIO_CHANNELS; ++channel) {
    gxtkChannel& chan = mixer->channels[channel];
    if (chan.state != AUDIO_STOPPED && Ended(channel)) openal::Detach(chan.source);
  }
  std::vector<unsigned> kept;
  for (unsigned buffer : discarded) {
    if (!openal::DeleteBuffer(buffer)) kept.push_back(buffer);
  }
  discarded.swap(kept);
}

bool gxtkAudio::Ended(int channel) {
  if (channel == AUDIO_MUSIC_CHANNEL) PumpMusic();
  return openal::SourceStopped(mixer->channels[channel].source);
}

int gxtkAudio::Suspend() {
  PumpMusic();  // a tune that ran dry is paused, and resumed, with the rest
  for (gxtkChannel& chan : mixer->channels) {
    if (chan.state == AUDIO_PLAYING && openal::SourcePlaying(chan.source)) openal::Pause(chan.source);
  }
  return 0;
}

int gxtkAudio::Resume() {
  for (gxtkChannel& chan : mixer->channels) {
    if (chan.state == AUDIO_PLAYING && openal::SourcePaused(chan.source)) openal::Play(chan.source);
  }
  return 0;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
  FlushDiscarded();
  gxtkSample* sample = new gxtkSample();
  if (!LoadSample__UNSAFE__(sample, path)) return nullptr;
  return sample;
}

bool gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
  BBGame* game = BBGame::Game();
  if (!game) return false;
  int length = 0, chans = 0, format = 0, hertz = 0;
  unsigned char* data = game->LoadAudioData(path, &length, &chans, &format, &hertz);
  if (!data) return false;
  unsigned buffer = openal::NewBuffer(data, length * chans * format, chans, format, hertz);
  std::free(data);
  sample->SetBuffer(buffer);
  return true;
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  FlushDiscarded();
  if (channel == AUDIO_MUSIC_CHANNEL) EndMusicStream();
  unsigned source = ObtainSource(channel);
  if (!source) return -1;
  openal::Start(source, sample->buffer, flags != 0);
  gxtkChannel& chan = mixer->channels[channel];
  gc_assign(chan.sample, sample);
  chan.flags = flags;
  chan.state = AUDIO_PLAYING;
  return 0;
}

int gxtkAudio::StopChannel(int channel) {
  gxtkChannel& chan = mixer->channels[channel];
  if (chan.state == AUDIO_STOPPED) return 0;
  openal::Stop(chan.source);
  chan.state = AUDIO_STOPPED;
  return 0;
}

int gxtkAudio::PauseChannel(int channel) {
  gxtkChannel& chan = mixer->channels[channel];
  if (chan.state != AUDIO_PLAYING) return 0;
  if (Ended(channel)) {
    chan.state = AUDIO_STOPPED;
    return 0;
  }
  openal::Pause(chan.source);
  chan.state = AUDIO_PAUSED;
  return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
  gxtkChannel& chan = mixer->channels[channel];
  if (chan.state != AUDIO_PAUSED) return 0;
  openal::Play(chan.source);
  chan.state = AUDIO_PLAYING;
  return 0;
}

int gxtkAudio::ChannelState(int channel) {
  gxtkChannel& chan = mixer->channels[channel];
  if (chan.state == AUDIO_PLAYING && Ended(channel)) chan.state = AUDIO_STOPPED;
  return chan.state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
  openal::SetGain(ObtainSource(channel), volume);
  return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
  openal::SetPosition(ObtainSource(channel), std::sin(pan), 0.0f, -std::cos(pan));
  return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
  openal::SetPitch(ObtainSource(channel), rate);
  return 0;
}
