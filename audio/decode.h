// Decoding of whole sound files into PCM, for the runtime game object's
// LoadAudioData (and the decoder tests).
#pragma once

#include <cstdio>

#include "runtime/core/core.h"

// Decoders of whole sound files. They read from an open file, which they do
// not close, and return a malloc'ed block of interleaved PCM (caller frees)
// with its length in sample frames, channel count, bytes per sample (1 =
// 8-bit unsigned, 2 = 16-bit signed little-endian) and rate in hertz; null
// on any failure.
unsigned char* LoadWAV(std::FILE* f, int* length, int* channels, int* format, int* hertz);
unsigned char* LoadOGG(std::FILE* f, int* length, int* channels, int* format, int* hertz);

// The platform game object's LoadAudioData: opens `path` through
// game->OpenFile, decodes ".wav" or ".ogg" (case ignored; anything else is
// null) and reports the decoded bytes to the collector.
unsigned char* gxtkDecodeAudioFile(BBGame* game, const String& path, int* length, int* channels, int* format,
                                   int* hertz);
