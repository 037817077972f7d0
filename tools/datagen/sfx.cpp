// Sound effects: short, dry and loud enough to cut through the music.
#include <algorithm>
#include <cmath>

#include "synth.hpp"

namespace datagen {

namespace {

Mono Silence(float seconds) { return Mono(static_cast<size_t>(seconds * SAMPLE_RATE), 0.0f); }

float TimeOf(size_t i) { return static_cast<float>(i) / SAMPLE_RATE; }

// Renders `seconds` of sound from a per-sample voice (called with the time
// in seconds, in order) and levels it to `peak`.
template <typename Voice>
Mono Render(float seconds, float peak, Voice voice) {
  Mono out = Silence(seconds);
  for (size_t i = 0; i < out.size(); ++i) out[i] = voice(TimeOf(i));
  Normalize(out, peak);
  return out;
}

// A bell-like tone: a sine with two inharmonic partials that die faster.
void AddBell(Mono& out, float start, float hz, float gain, float tau) {
  Oscillator base, second, third;
  const size_t first = static_cast<size_t>(start * SAMPLE_RATE);
  for (size_t i = first; i < out.size(); ++i) {
    const float t = TimeOf(i - first);
    base.step(hz);
    second.step(hz * 2.76f);
    third.step(hz * 5.4f);
    out[i] += gain * (base.sine() * Pluck(t, 0.002f, tau) + 0.35f * second.sine() * Pluck(t, 0.002f, tau * 0.4f) +
                      0.12f * third.sine() * Pluck(t, 0.001f, tau * 0.2f));
  }
}

// Crash: a noise burst whose brightness falls away, over a sinking thump.
// The game plays it at rates 0.7 to 1.3, so it stays short and broadband.
Mono Crash() {
  Noise noise(0x5eed04);
  Filter tone;
  Oscillator thump, grit;
  return Render(0.65f, 0.9f, [&](float t) {
    tone.run(noise.next(), 300 + 7000 * std::exp(-t / 0.09f), 0.3f);
    thump.step(40 + 110 * std::exp(-t / 0.05f));
    grit.step(55 + 30 * std::exp(-t / 0.1f));
    return tone.low() * Pluck(t, 0.002f, 0.14f) + 0.9f * thump.sine() * Pluck(t, 0.003f, 0.12f) +
           0.25f * grit.pulse(0.3f) * Pluck(t, 0.002f, 0.08f);
  });
}

// Move: a tiny rising square blip.
Mono MoveBlip() {
  Oscillator osc;
  Filter soft;
  return Render(0.08f, 0.5f, [&](float t) {
    osc.step(1250 + 5000 * t);
    soft.run(osc.pulse(0.5f), 5000, 0);
    return soft.low() * Pluck(t, 0.002f, 0.022f);
  });
}

// Choose: two bell notes a fifth apart.
Mono ChooseChime() {
  Mono out = Silence(0.5f);
  AddBell(out, 0.0f, MidiHz(84), 0.6f, 0.12f);
  AddBell(out, 0.06f, MidiHz(91), 0.7f, 0.16f);
  Normalize(out, 0.7f);
  return out;
}

// Round won: a bright pulse tone with a quick vibrato; the two tones are
// played in turn, a fourth apart.
Mono RoundTone(float note) {
  Oscillator osc, sub, wobble;
  Filter soft;
  return Render(0.42f, 0.7f, [&](float t) {
    wobble.step(7);
    const float hz = MidiHz(note) * (1 + 0.008f * wobble.sine());
    osc.step(hz);
    sub.step(hz * 0.5f);
    soft.run(osc.pulse(0.25f) + 0.5f * sub.sine(), 6000, 0.1f);
    return soft.low() * std::min(1.0f, t / 0.004f) * std::exp(-t / 0.16f);
  });
}

// Logo jingle: a rising arpeggio that settles on a shimmering chord.
Mono LogoJingle() {
  Mono out = Silence(1.7f);
  const float notes[] = {72, 76, 79, 84, 88};
  for (int k = 0; k < 5; ++k) AddBell(out, 0.09f * k, MidiHz(notes[k]), 0.45f, 0.25f);
  for (float note : {72.0f, 79.0f, 84.0f, 88.0f}) AddBell(out, 0.5f, MidiHz(note), 0.3f, 0.45f);
  Noise sparkle(0x1090);
  for (int k = 0; k < 10; ++k) {
    const float when = 0.5f + 0.09f * k;
    AddBell(out, when, MidiHz(96 + std::floor((sparkle.next() + 1) * 6)), 0.08f, 0.06f);
  }
  // Close smoothly well inside the file.
  for (size_t i = 0; i < out.size(); ++i) {
    const float left = TimeOf(out.size() - i);
    if (left < 0.3f) out[i] *= left / 0.3f;
  }
  Normalize(out, 0.8f);
  return out;
}

// Badge chime: two quick bells a fifth apart, then the octave ringing on.
Mono BadgeChime() {
  Mono out = Silence(0.8f);
  const float notes[] = {79, 86, 91};
  for (int k = 0; k < 3; ++k) AddBell(out, 0.07f * k, MidiHz(notes[k]), k == 2 ? 0.5f : 0.35f, k == 2 ? 0.3f : 0.1f);
  Normalize(out, 0.7f);
  return out;
}

// Engine rev (loaded with the others, kept for a round start).
Mono EngineRev() {
  Oscillator osc;
  Filter body;
  return Render(0.6f, 0.7f, [&](float t) {
    osc.step(70 + 120 * (1 - std::exp(-t / 0.2f)));
    body.run(osc.saw(), 400 + 1600 * t, 0.5f);
    return body.low() * std::min(1.0f, t / 0.01f) * std::exp(-t / 0.3f);
  });
}

// Countdown tick (loaded with the others, kept for a countdown).
Mono Tick() {
  Mono out = Silence(0.14f);
  AddBell(out, 0, MidiHz(81), 0.8f, 0.03f);
  Normalize(out, 0.6f);
  return out;
}

}  // namespace

void Normalize(Mono& samples, float peak) {
  float most = 0;
  for (float s : samples) most = std::max(most, std::fabs(s));
  if (most <= 0) return;
  for (float& s : samples) s *= peak / most;
}

std::vector<SoundArt> AllSounds() {
  return {
      {"001", EngineRev},
      {"002", [] { return RoundTone(77); }},
      {"003", [] { return RoundTone(72); }},
      {"004", Crash},
      {"095", Tick},
      {"096", LogoJingle},
      {"097", BadgeChime},
      {"098", ChooseChime},
      {"099", MoveBlip},
  };
}

}  // namespace datagen
