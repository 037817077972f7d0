// The game's sound effects and tunes and the files they are written to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace datagen {

constexpr int SAMPLE_RATE = 44100;
// Vorbis quality (-0.1 .. 1) of the game's tunes: low, since the synthetic
// tunes survive it well and the data folder must stay small.
constexpr float VORBIS_QUALITY = 0.1f;

// Mono samples, nominally -1..1.
using Mono = std::vector<float>;

struct Stereo {
  std::vector<float> left, right;
};

struct SoundArt {
  std::string name;  // file name under sfx/ without ".wav"
  std::function<Mono()> render;
};

struct TuneArt {
  std::string name;  // file name under sfx/ without ".ogg"
  int serial;        // Ogg stream serial number, fixed so files repeat exactly
  std::function<Stereo()> render;
};

std::vector<SoundArt> AllSounds();
std::vector<TuneArt> AllTunes();

// 16-bit PCM mono WAV at SAMPLE_RATE; false when the file cannot be written.
bool WriteWav(const std::string& path, const Mono& samples);
// Ogg Vorbis, stereo, SAMPLE_RATE, at the variable bit rate of `quality`;
// false on an encoder or file error.
bool WriteOgg(const std::string& path, const Stereo& music, int serial, float quality = VORBIS_QUALITY);

}  // namespace datagen
