// Building blocks of the synthesizer: oscillators, envelopes, a filter
// and a repeatable noise source. Times are in seconds, frequencies in Hz.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sound.hpp"

namespace datagen {

constexpr float PI2 = 6.28318530718f;

inline float MidiHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

// Linear attack, then exponential decay with time constant tau.
inline float Pluck(float t, float attack, float tau) {
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / tau);
}

// Repeatable white noise in -1..1.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  float next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
  }

 private:
  uint32_t state_;
};

// Band-limited saw and pulse by polynomial smoothing of the jumps.
class Oscillator {
 public:
  // Advances by one sample at frequency hz; returns the new phase 0..1.
  float step(float hz) {
    dt_ = hz / SAMPLE_RATE;
    phase_ += dt_;
    if (phase_ >= 1) phase_ -= 1;
    return phase_;
  }
  float sine() const { return std::sin(PI2 * phase_); }
  float saw() const { return 2 * phase_ - 1 - blep(phase_); }
  float pulse(float width) const {
    float p2 = phase_ + 1 - width;
    if (p2 >= 1) p2 -= 1;
    return (phase_ < width ? 1.0f : -1.0f) + blep(phase_) - blep(p2);
  }

 private:
  float blep(float p) const {
    if (p < dt_) {
      const float x = p / dt_;
      return x + x - x * x - 1;
    }
    if (p > 1 - dt_) {
      const float x = (p - 1) / dt_;
      return x * x + x + x + 1;
    }
    return 0;
  }
  float phase_ = 0, dt_ = 0;
};

// State-variable filter (topology-preserving form), low- and band-pass.
class Filter {
 public:
  // Filters one sample; cutoff in Hz, resonance 0 (none) .. ~0.9.
  void run(float in, float cutoff, float resonance) {
    const float g = std::tan(3.14159265f * std::min(cutoff, SAMPLE_RATE * 0.45f) / SAMPLE_RATE);
    const float k = 2 - 2 * resonance;
    const float a1 = 1 / (1 + g * (g + k));
    const float v3 = in - ic2_;
    const float v1 = a1 * ic1_ + g * a1 * v3;
    const float v2 = ic2_ + g * v1;
    ic1_ = 2 * v1 - ic1_;
    ic2_ = 2 * v2 - ic2_;
    low_ = v2;
    band_ = v1;
    high_ = in - k * v1 - v2;
  }
  float low() const { return low_; }
  float band() const { return band_; }
  float high() const { return high_; }

 private:
  float ic1_ = 0, ic2_ = 0, low_ = 0, band_ = 0, high_ = 0;
};

// Scales the samples so the loudest one has magnitude `peak`.
void Normalize(Mono& samples, float peak);

}  // namespace datagen
