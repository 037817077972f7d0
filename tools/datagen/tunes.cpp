// The four round tunes: driving step-sequenced loops. Every note is mixed
// into a ring the length of the loop, so tails that run past the end come
// back in at the start and the file repeats without a seam.
#include <algorithm>
#include <cmath>

#include "synth.hpp"

namespace datagen {

namespace {

constexpr int STEPS_PER_BAR = 16;
constexpr int MINOR_SCALE[7] = {0, 2, 3, 5, 7, 8, 10};

// One tune's character. Patterns are one bar of sixteenth steps; 'x'
// marks a hit. Bass letters: 'r' root, 'o' root an octave up, 'f' fifth.
struct Style {
  const char* name;
  int serial;
  int stepSamples;  // samples per sixteenth note
  int bars;         // a multiple of 4: the tune runs through four sections
  int root;         // MIDI note of the key's tonic (bass octave)
  int chords[4];    // scale degrees of the progression, one chord per bar
  const char* bass;
  const char* kick;
  const char* snare;
  const char* hat;
  float arpWidth;   // pulse width of the arpeggio voice
  float leadBright; // lead filter cutoff in Hz
  uint32_t seed;
};

const Style STYLES[4] = {
    {"tune_1", 1101, 5168, 24, 45, {0, 5, 2, 6}, "r.ror.rfr.ror.of", "x...x...x...x...", "....x.......x...",
     "..x...x...x...x.", 0.25f, 3200, 11},
    {"tune_2", 1202, 4725, 24, 40, {0, 5, 6, 4}, "rrorrrofrrorrrfo", "x..x..x...x..x..", "....x.......x..x",
     "x.x.x.x.x.x.x.x.", 0.5f, 2600, 22},
    {"tune_3", 1303, 5600, 20, 38, {0, 5, 3, 4}, "r..r..o.r..r.fo.", "x.....x...x.....", "....x.......x...",
     "..xx..x...xx..x.", 0.125f, 2200, 33},
    {"tune_4", 1404, 4410, 32, 36, {0, 5, 2, 6}, "roroforoforoforo", "x...x...x...x...", "....x..x....x...",
     "xxx.xxx.xxx.xxx.", 0.33f, 4200, 44},
};

// A stereo ring buffer the length of the loop.
class Loop {
 public:
  explicit Loop(size_t length) { out_.left.assign(length, 0); out_.right.assign(length, 0); }
  size_t length() const { return out_.left.size(); }
  // Adds a sample at position pos (wrapping), pan -1 left .. 1 right.
  void add(size_t pos, float value, float pan) {
    pos %= length();
    out_.left[pos] += value * std::sqrt(0.5f * (1 - pan));
    out_.right[pos] += value * std::sqrt(0.5f * (1 + pan));
  }
  Stereo& samples() { return out_; }

 private:
  Stereo out_;
};

float TimeOf(size_t i) { return static_cast<float>(i) / SAMPLE_RATE; }

// ------------------------------------------------------------ drums

void Kick(Loop& loop, size_t at) {
  Oscillator osc;
  for (size_t i = 0; i < static_cast<size_t>(0.32f * SAMPLE_RATE); ++i) {
    const float t = TimeOf(i);
    osc.step(44 + 120 * std::exp(-t / 0.025f));
    loop.add(at + i, 0.95f * osc.sine() * Pluck(t, 0.001f, 0.11f), 0);
  }
}

void Snare(Loop& loop, size_t at, uint32_t seed, float gain) {
  Noise noise(seed);
  Filter band;
  Oscillator body;
  for (size_t i = 0; i < static_cast<size_t>(0.22f * SAMPLE_RATE); ++i) {
    const float t = TimeOf(i);
    band.run(noise.next(), 3500, 0.2f);
    body.step(185);
    loop.add(at + i, gain * (0.8f * band.band() * Pluck(t, 0.001f, 0.06f) + 0.35f * body.sine() * Pluck(t, 0.001f, 0.04f)),
             0.05f);
  }
}

void Hat(Loop& loop, size_t at, uint32_t seed, float gain) {
  Noise noise(seed);
  Filter air;
  for (size_t i = 0; i < static_cast<size_t>(0.06f * SAMPLE_RATE); ++i) {
    air.run(noise.next(), 7000, 0.1f);
    loop.add(at + i, gain * air.high() * Pluck(TimeOf(i), 0.0005f, 0.018f), 0.3f);
  }
}

// ------------------------------------------------------------ pitched voices

enum class Voice { Bass, Pad, Arp, Lead };

struct Note {
  size_t at, length;  // samples
  float midi;
  float gain, pan;
};

void Play(Loop& loop, Voice voice, const Note& n, const Style& style) {
  Oscillator a, b, vibrato;
  Filter filter;
  const float hz = MidiHz(n.midi);
  const size_t release = static_cast<size_t>(0.05f * SAMPLE_RATE);
  for (size_t i = 0; i < n.length + release; ++i) {
    const float t = TimeOf(i);
    const float gate = i < n.length ? 1.0f : 1.0f - float(i - n.length) / release;
    float v = 0;
    switch (voice) {
      case Voice::Bass:
        a.step(hz);
        b.step(hz * 1.005f);
        filter.run(a.saw() + 0.6f * b.pulse(0.5f), 180 + 1400 * std::exp(-t / 0.06f), 0.45f);
        v = filter.low() * std::min(1.0f, t / 0.003f);
        break;
      case Voice::Pad:
        a.step(hz * 0.997f);
        b.step(hz * 1.003f);
        filter.run(a.saw() + b.saw(), 900, 0.1f);
        v = filter.low() * std::min(1.0f, t / 0.25f);
        break;
      case Voice::Arp:
        a.step(hz);
        filter.run(a.pulse(style.arpWidth), 2500 + 3000 * std::exp(-t / 0.04f), 0.2f);
        v = filter.low() * Pluck(t, 0.002f, 0.09f);
        break;
      case Voice::Lead:
        vibrato.step(5.5f);
        a.step(hz * (1 + 0.006f * std::min(1.0f, t / 0.3f) * vibrato.sine()));
        b.step(hz * 2.0f * 1.002f);
        filter.run(a.saw() + 0.4f * b.pulse(0.5f), style.leadBright, 0.25f);
        v = filter.low() * std::min(1.0f, t / 0.01f) * (0.75f + 0.25f * std::exp(-t / 0.2f));
        break;
    }
    loop.add(n.at + i, n.gain * gate * v, n.pan);
  }
}

// ------------------------------------------------------------ composition

class Composer {
 public:
  explicit Composer(const Style& s)
      : style_(s), loop_(static_cast<size_t>(s.stepSamples) * STEPS_PER_BAR * s.bars), rng_(s.seed) {}

  Stereo compose() {
    for (int bar = 0; bar < style_.bars; ++bar) playBar(bar);
    addEcho();
    master();
    return loop_.samples();
  }

 private:
  // Degree d of the key's minor scale as a MIDI note, octave 0 = bass.
  int pitch(int degree) const {
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    return style_.root + 12 * octave + MINOR_SCALE[degree - 7 * octave];
  }
  size_t stepAt(int bar, int step) const {
    return static_cast<size_t>(style_.stepSamples) * (bar * STEPS_PER_BAR + step);
  }
  // Section 0..3 of the loop; the layers build up through them.
  int section(int bar) const { return bar * 4 / style_.bars; }
  bool lastBarOfSection(int bar) const { return section(bar + 1) != section(bar) || bar + 1 == style_.bars; }

  void playBar(int bar) {
    const int chord = style_.chords[bar % 4];
    const int part = section(bar);
    const size_t step = style_.stepSamples;
    for (int s = 0; s < STEPS_PER_BAR; ++s) {
      const size_t at = stepAt(bar, s);
      const uint32_t seed = static_cast<uint32_t>(bar * 31 + s);
      if (style_.kick[s] == 'x') Kick(loop_, at);
      if (part >= 1 && style_.snare[s] == 'x') Snare(loop_, at, seed, 0.6f);
      if (lastBarOfSection(bar) && s >= 12) Snare(loop_, at, seed + 7, 0.25f + 0.08f * (s - 12));
      if (style_.hat[s] == 'x') Hat(loop_, at, seed + 3, 0.35f);
      const char b = style_.bass[s];
      if (b != '.') {
        const int degree = chord + (b == 'f' ? 4 : 0) + (b == 'o' ? 7 : 0);
        Play(loop_, Voice::Bass, {at, step * 3 / 2, float(pitch(degree)), 0.55f, 0}, style_);
      }
      if ((part == 1 || part == 3) && s % 2 == 0) {
        const int tones[4] = {0, 2, 4, 7};
        const int degree = chord + 14 + tones[(s / 2 + bar) % 4];
        Play(loop_, Voice::Arp, {at, step, float(pitch(degree)), 0.22f, (s % 4 == 0) ? -0.45f : 0.45f}, style_);
      }
    }
    for (int tone : {0, 2, 4}) {
      Play(loop_, Voice::Pad, {stepAt(bar, 0), step * STEPS_PER_BAR, float(pitch(chord + 14 + tone)), 0.07f,
                               tone == 2 ? 0 : (tone == 0 ? -0.6f : 0.6f)}, style_);
    }
    if (part >= 2) playMelody(bar, chord);
  }

  // Two-bar phrases: the first bar of each pair is made fresh, the second
  // answers it with the same rhythm moved to the new chord.
  void playMelody(int bar, int chord) {
    if (bar % 2 == 0) makePhrase();
    for (const auto& [s, length, offset] : phrase_) {
      const int degree = chord + 14 + offset;
      Play(lead_, Voice::Lead,
           {stepAt(bar, s), static_cast<size_t>(style_.stepSamples) * length - 200, float(pitch(degree)), 0.2f, 0.15f},
           style_);
    }
  }

  void makePhrase() {
    phrase_.clear();
    int s = 0, offset = 2 * static_cast<int>(rng_.next() * 1.5f + 1.5f);
    while (s < STEPS_PER_BAR) {
      const int length = 1 + static_cast<int>((rng_.next() + 1) * 1.5f);  // 1 to 3 steps
      const int held = std::min(length * (rng_.next() > 0.3f ? 1 : 2), STEPS_PER_BAR - s);
      phrase_.push_back({s, held, offset});
      offset = std::clamp(offset + static_cast<int>(std::round(rng_.next() * 2.4f)), 0, 9);
      s += held + (rng_.next() > 0.6f ? 1 : 0);
    }
  }

  // A dotted-eighth echo of the lead, bounced to the other side.
  void addEcho() {
    const Stereo& lead = lead_.samples();
    Stereo& out = loop_.samples();
    const size_t n = loop_.length();
    const size_t delay = static_cast<size_t>(style_.stepSamples) * 3;
    for (size_t i = 0; i < n; ++i) {
      const size_t d1 = (i + n - delay) % n, d2 = (i + n - 2 * delay) % n;
      out.left[i] += lead.left[i] + 0.18f * lead.left[d2];
      out.right[i] += lead.right[i] + 0.35f * lead.left[d1];
    }
  }

  // Level the mix and round off the few highest peaks.
  void master() {
    Stereo& out = loop_.samples();
    float peak = 0;
    for (size_t i = 0; i < out.left.size(); ++i) peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
    const float drive = 1.4f / peak, norm = 0.8f / std::tanh(1.4f);
    for (size_t i = 0; i < out.left.size(); ++i) {
      out.left[i] = norm * std::tanh(out.left[i] * drive);
      out.right[i] = norm * std::tanh(out.right[i] * drive);
    }
  }

  struct PhraseNote {
    int step, length, offset;
  };

  const Style& style_;
  Loop loop_;
  Loop lead_{loop_.length()};
  Noise rng_;
  std::vector<PhraseNote> phrase_;
};

}  // namespace

std::vector<TuneArt> AllTunes() {
  std::vector<TuneArt> tunes;
  for (const Style& s : STYLES) tunes.push_back({s.name, s.serial, [&s] { return Composer(s).compose(); }});
  return tunes;
}

}  // namespace datagen
