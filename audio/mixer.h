// The audio device's OpenAL handles and channel records. Local to the audio
// folder (and its tests).
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

#include "audio/decode.h"
#include "audio/sample.h"

// A streamed tune is decoded into this many buffers queued on the music
// source in turn, each of this many sample frames: at 44.1 kHz a buffer
// holds 0.19 s and the queue bridges 1.5 s without an update (a load or a
// display change), where the whole tune would take 5-8 MB.
constexpr int MUSIC_BUFFERS = 8;
constexpr int MUSIC_BUFFER_FRAMES = 8192;

// The Ogg tune on the music channel, decoded while it plays.
struct gxtkMusicStream {
  ~gxtkMusicStream();

  std::FILE* file = nullptr;  // owned; the decoder reads it as it goes
  std::unique_ptr<gxtkOggStream> ogg;
  unsigned buffers[MUSIC_BUFFERS] = {};  // OpenAL buffers; owned
  std::vector<short> pcm;                // one buffer's samples on their way
  bool loop = false;                     // starts over at its end
};

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
  // The sample PlayMusic made for a tune it does not stream (a WAVE file)
  // now on the music channel; null when none; a collector reference.
  // Nothing else can hold it, so its buffer is let go as soon as the music
  // stops: left to the collector, a stopped tune's buffer would wait for
  // enough managed allocation to reach it, a whole tune per round.
  gxtkSample* music = nullptr;
  // The Ogg tune now streaming on the music channel; null when none.
  std::unique_ptr<gxtkMusicStream> stream;
};
