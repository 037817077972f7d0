// Decoding of sound files into PCM: whole files for the runtime game
// object's LoadAudioData (and the decoder tests), Ogg streams piece by piece
// for music.
#pragma once

#include <cstdio>
#include <memory>

#include "runtime/core/core.h"

// Decoders of whole sound files. They read from an open file, which they do
// not close, and return a malloc'ed block of interleaved PCM (caller frees)
// with its length in sample frames, channel count, bytes per sample (1 =
// 8-bit unsigned, 2 = 16-bit signed little-endian) and rate in hertz; null
// on any failure.
unsigned char* LoadWAV(std::FILE* f, int* length, int* channels, int* format, int* hertz);
unsigned char* LoadOGG(std::FILE* f, int* length, int* channels, int* format, int* hertz);

struct stb_vorbis;

// An Ogg Vorbis stream decoded a piece at a time, for music that is played
// while it is decoded instead of being held whole.
class gxtkOggStream {
 public:
  // Opens the stream at the read position of `f`, which must stay open for
  // the stream's life and is not closed by it; null when the file is no
  // Ogg Vorbis stream (or one whose headers could not be decoded safely).
  static std::unique_ptr<gxtkOggStream> Open(std::FILE* f);
  ~gxtkOggStream();

  int Channels() const { return channels; }
  int Hertz() const { return hertz; }

  // Decodes up to `frames` sample frames of interleaved 16-bit PCM into
  // `out` (room for frames * Channels() samples). With `loop` the stream
  // starts over from its beginning when it ends. Returns the frames written:
  // fewer than asked only at the end of an unlooped stream, 0 once it has
  // ended (or when a looped stream holds no samples at all).
  int Read(short* out, int frames, bool loop);

 private:
  gxtkOggStream() = default;

  stb_vorbis* decoder = nullptr;
  // The block the decoder allocates in; owned.
  char* arena = nullptr;
  int channels = 0;
  int hertz = 0;
};

// The platform game object's LoadAudioData: opens `path` through
// game->OpenFile, decodes ".wav" or ".ogg" (case ignored; anything else is
// null) and reports the decoded bytes to the collector.
unsigned char* gxtkDecodeAudioFile(BBGame* game, const String& path, int* length, int* channels, int* format,
                                   int* hertz);
