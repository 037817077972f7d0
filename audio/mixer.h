// The audio device's OpenAL handles and channel records. Local to the audio
// folder (and its tests).
#pragma once

#include "audio/sample.h"

// One channel of the device (plain record, not managed).
struct gxtkChannel {
  unsigned source = 0;           // OpenAL source name; 0 until first needed
  gxtkSample* sample = nullptr;  // sample last started here
  int flags = 0;                 // flags of the last PlaySample; bit 0 = loop
  int state = AUDIO_STOPPED;     // AUDIO_STOPPED, AUDIO_PLAYING or AUDIO_PAUSED
};

struct gxtkMixer {
  // Opaque OpenAL handles (ALCdevice*, ALCcontext*); null when set-up failed.
  void* alDevice = nullptr;
  void* alContext = nullptr;
  gxtkChannel channels[AUDIO_CHANNELS];
  // The sample PlayMusic made for the tune now on the music channel; null
  // when none; a collector reference. Nothing else can hold it, so its
  // buffer is let go as soon as the music stops: left to the collector, a
  // stopped tune's buffer would wait for enough managed allocation to reach
  // it, a whole tune per round.
  gxtkSample* music = nullptr;
};
