// Sound effects: short, dry and loud enough to cut through the music.
#include <algorithm>
#include <cmath>

#include "synth.hpp"

namespace datagen {

namespace {

Mono silence(float seconds) { return Mono(static_cast<size_t>(seconds * kSampleRate), 0.0f); }

float timeOf(size_t i) { return static_cast<float>(i) / kSampleRate; }

// Renders `seconds` of sound from a per-sample voice (called with the time
// in seconds, in order) and levels it to `peak`.
template <typename Voice>
Mono render(float seconds, float peak, Voice voice) {
  Mono out = silence(seconds);
  for (size_t i = 0; i < out.size(); ++i) out[i] = voice(timeOf(i));
  normalize(out, peak);
  return out;
}

// A bell-like tone: a sine with two inharmonic partials that die faster.
void addBell(Mono& out, float start, float hz, float gain, float tau) {
  Oscillator base, second, third;
  const size_t first = static_cast<size_t>(start * kSampleRate);
  for (size_t i = first; i < out.size(); ++i) {
    const float t = timeOf(i - first);
    base.step(hz);
    second.step(hz * 2.76f);
    third.step(hz * 5.4f);
    out[i] += gain * (base.sine() * pluck(t, 0.002f, tau) + 0.35f * second.sine() * pluck(t, 0.002f, tau * 0.4f) +
                      0.12f * third.sine() * pluck(t, 0.001f, tau * 0.2f));
  }
}

// Crash: a noise burst whose brightness falls away, over a sinking thump.
// The game plays it at rates 0.7 to 1.3, so it stays short and broadband.
Mono crash() {
  Noise noise(0x5eed04);
  Filter tone;
  Oscillator thump, grit;
  return render(0.65f, 0.9f, [&](float t) {
    tone.run(noise.next(), 300 + 7000 * std::exp(-t / 0.09f), 0.3f);
    thump.step(40 + 110 * std::exp(-t / 0.05f));
    grit.step(55 + 30 * std::exp(-t / 0.1f));
    return tone.low() * pluck(t, 0.002f, 0.14f) + 0.9f * thump.sine() * pluck(t, 0.003f, 0.12f) +
           0.25f * grit.pulse(0.3f) * pluck(t, 0.002f, 0.08f);
  });
}

// Move: a tiny rising square blip.
Mono moveBlip() {
  Oscillator osc;
  Filter soft;
  return render(0.08f, 0.5f, [&](float t) {
    osc.step(1250 + 5000 * t);
    soft.run(osc.pulse(0.5f), 5000, 0);
    return soft.low() * pluck(t, 0.002f, 0.022f);
  });
}

// Choose: two bell notes a fifth apart.
Mono chooseChime() {
  Mono out = silence(0.5f);
  addBell(out, 0.0f, midiHz(84), 0.6f, 0.12f);
  addBell(out, 0.06f, midiHz(91), 0.7f, 0.16f);
  normalize(out, 0.7f);
  return out;
}

// Round won: a bright pulse tone with a quick vibrato; the two tones are
// played in turn, a fourth apart.
Mono roundTone(float note) {
  Oscillator osc, sub, wobble;
  Filter soft;
  return render(0.42f, 0.7f, [&](float t) {
    wobble.step(7);
    const float hz = midiHz(note) * (1 + 0.008f * wobble.sine());
    osc.step(hz);
    sub.step(hz * 0.5f);
    soft.run(osc.pulse(0.25f) + 0.5f * sub.sine(), 6000, 0.1f);
    return soft.low() * std::min(1.0f, t / 0.004f) * std::exp(-t / 0.16f);
  });
}

// Logo jingle: a rising arpeggio that settles on a shimmering chord.
Mono logoJingle() {
  Mono out = silence(1.7f);
  const float notes[] = {72, 76, 79, 84, 88};
  for (int k = 0; k < 5; ++k) addBell(out, 0.09f * k, midiHz(notes[k]), 0.45f, 0.25f);
  for (float note : {72.0f, 79.0f, 84.0f, 88.0f}) addBell(out, 0.5f, midiHz(note), 0.3f, 0.45f);
  Noise sparkle(0x1090);
  for (int k = 0; k < 10; ++k) {
    const float when = 0.5f + 0.09f * k;
    addBell(out, when, midiHz(96 + std::floor((sparkle.next() + 1) * 6)), 0.08f, 0.06f);
  }
  // Close smoothly well inside the file.
  for (size_t i = 0; i < out.size(); ++i) {
    const float left = timeOf(out.size() - i);
    if (left < 0.3f) out[i] *= left / 0.3f;
  }
  normalize(out, 0.8f);
  return out;
}

// Badge chime: two quick bells a fifth apart, then the octave ringing on.
Mono badgeChime() {
  Mono out = silence(0.8f);
  const float notes[] = {79, 86, 91};
  for (int k = 0; k < 3; ++k) addBell(out, 0.07f * k, midiHz(notes[k]), k == 2 ? 0.5f : 0.35f, k == 2 ? 0.3f : 0.1f);
  normalize(out, 0.7f);
  return out;
}

// Engine rev (loaded with the others, kept for a round start).
Mono engineRev() {
  Oscillator osc;
  Filter body;
  return render(0.6f, 0.7f, [&](float t) {
    osc.step(70 + 120 * (1 - std::exp(-t / 0.2f)));
    body.run(osc.saw(), 400 + 1600 * t, 0.5f);
    return body.low() * std::min(1.0f, t / 0.01f) * std::exp(-t / 0.3f);
  });
}

// Countdown tick (loaded with the others, kept for a countdown).
Mono tick() {
  Mono out = silence(0.14f);
  addBell(out, 0, midiHz(81), 0.8f, 0.03f);
  normalize(out, 0.6f);
  return out;
}

}  // namespace

void normalize(Mono& samples, float peak) {
  float most = 0;
  for (float s : samples) most = std::max(most, std::fabs(s));
  if (most <= 0) return;
  for (float& s : samples) s *= peak / most;
}

std::vector<SoundArt> allSounds() {
  return {
      {"001", engineRev},
      {"002", [] { return roundTone(77); }},
      {"003", [] { return roundTone(72); }},
      {"004", crash},
      {"095", tick},
      {"096", logoJingle},
      {"097", badgeChime},
      {"098", chooseChime},
      {"099", moveBlip},
  };
}

}  // namespace datagen
