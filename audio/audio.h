// Sound effects and music over OpenAL, and the decoding of sound files.
//
// One gxtkAudio device owns 33 channels: 0-31 for effects chosen by the
// caller and AUDIO_MUSIC_CHANNEL for music. A sample is one OpenAL buffer
// holding a whole decoded file; music is streamed on the music channel,
// decoded a piece at a time as it plays. Channel states are re-read from OpenAL, which plays in its own
// threads, so a finished one-shot sound reads stopped without any call in
// between. When no audio device can be opened every call still returns
// (sounds simply do not play).
//
// The game reaches the device through the bb_audio_ functions and c_Sound;
// all calls happen on the main thread.
#pragma once

#include <memory>

#include "runtime/core/core.h"

// Channels 0..AUDIO_EFFECT_CHANNELS-1 play effects; the next one plays music.
constexpr int AUDIO_EFFECT_CHANNELS = 32;
constexpr int AUDIO_MUSIC_CHANNEL = AUDIO_EFFECT_CHANNELS;
constexpr int AUDIO_CHANNELS = AUDIO_EFFECT_CHANNELS + 1;

// Channel states as ChannelState reports them.
enum {
  AUDIO_STOPPED = 0,
  AUDIO_PLAYING = 1,
  AUDIO_PAUSED = 2,
};

// One decoded sound, shared by every play of it (audio/sample.h). The game
// holds it only through c_Sound.
class gxtkSample;
// The device's OpenAL handles and channel records (audio/mixer.h).
struct gxtkMixer;

// The audio device. Channel arguments run 0..AUDIO_MUSIC_CHANNEL and are not
// range-checked. Construction opens the default OpenAL device and prints
// "OpenAl error: ..." when that fails; the game then carries on silently.
class gxtkAudio : public Object {
 public:
  gxtkAudio();
  ~gxtkAudio() override;

  // The one device; null before it is created.
  static gxtkAudio* audio;

  // Keeps the samples of channels that are still sounding alive.
  void mark() override;

  // Game suspended: pauses every playing channel's source without changing
  // its recorded state. Resume plays them again. Channels the game paused
  // itself are left alone by both.
  virtual int Suspend();
  virtual int Resume();
  // A new sample for the file at `path` (already a virtual or disk path),
  // or null when it cannot be loaded.
  virtual gxtkSample* LoadSample(String path);
  // Loads into an existing sample; false when the file cannot be decoded.
  virtual bool LoadSample__UNSAFE__(gxtkSample* sample, String path);
  // Starts `sample` on `channel`, cutting what played there; flags != 0
  // loops. 0, or -1 when no OpenAL source can be had.
  virtual int PlaySample(gxtkSample* sample, int channel, int flags);
  virtual int StopChannel(int channel);
  virtual int PauseChannel(int channel);
  virtual int ResumeChannel(int channel);
  // AUDIO_STOPPED, AUDIO_PLAYING or AUDIO_PAUSED.
  virtual int ChannelState(int channel);
  // Source gain, unchanged (1 = as recorded).
  virtual int SetVolume(int channel, float volume);
  // `pan` is an angle in radians around the listener: 0 straight ahead,
  // pi/2 fully right.
  virtual int SetPan(int channel, float pan);
  // Pitch, unchanged (1 = normal speed).
  virtual int SetRate(int channel, float rate);
  // Stops the music, then plays the file on the music channel: an Ogg
  // Vorbis tune is decoded as it plays, anything else is loaded whole first.
  // 0, or -1 when the file cannot be read (the music stays stopped).
  virtual int PlayMusic(String path, int flags);
  // Stops the music channel; the tune PlayMusic started there gives up its
  // buffer (a stopped channel cannot be resumed).
  virtual int StopMusic();
  virtual int PauseMusic();
  virtual int ResumeMusic();
  virtual int MusicState();
  virtual int SetMusicVolume(float volume);
  // Once per game update: tops up the streamed tune.
  int Update();

 // The OpenAL handles and the channel records; owned, never null.
  gxtkMixer& Mixer() { return *mixer; }

 private:
  // The channel's source, generated on first need or taken from a stopped
  // effect channel when OpenAL has no more; 0 when none can be had.
  unsigned ObtainSource(int channel);
  // Deletes the queued buffers of discarded samples that no source plays.
  void FlushDiscarded();
  // Whether the channel's source has stopped by itself. The streamed tune
  // is topped up first, so one that only ran dry plays on.
  bool Ended(int channel);
  // PlayMusic of an Ogg tune: opens it and starts it streaming.
  int StreamMusic(const String& path, int flags);
  // Refills the streamed tune's played buffers and restarts a source that
  // ran dry; nothing when no tune streams or the music channel is stopped.
  void PumpMusic();
  // Stops the streamed tune and gives up its decoder and buffers.
  void EndMusicStream();

  std::unique_ptr<gxtkMixer> mixer;
};

// The game-facing handle of a loaded sound.
class c_Sound : public Object {
 public:
  gxtkSample* m_sample = nullptr;

  c_Sound* m_new(gxtkSample* sample);
  c_Sound* m_new2();
  void mark() override;
};

// The device the bb_audio_ functions use; set by bb_audio_SetAudioDevice.
extern gxtkAudio* bb_audio_device;

int bb_audio_SetAudioDevice(gxtkAudio* device);
// Null when the file (an asset path such as "sfx/001.wav") cannot be loaded.
c_Sound* bb_audio_LoadSound(String path);
// Plays nothing when the sound or its sample is null.
int bb_audio_PlaySound(c_Sound* sound, int channel, int flags);
int bb_audio_StopChannel(int channel);
int bb_audio_SetChannelVolume(int channel, float volume);
int bb_audio_SetChannelPan(int channel, float pan);
int bb_audio_SetChannelRate(int channel, float rate);
// 0, or -1 when the file cannot be loaded.
int bb_audio_PlayMusic(String path, int flags);
int bb_audio_StopMusic();
int bb_audio_PauseMusic();
int bb_audio_ResumeMusic();
