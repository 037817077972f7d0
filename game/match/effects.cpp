// Visual effects: the drifting star field behind the match screens, the
// sparks a crash throws, and the trail demonstration screen. Every random
// value comes from the shared generator, drawn in a fixed order, so a seed
// replays the same picture.
#include <cmath>

#include "game/match/match.h"

using namespace match;

namespace {

// Stars and particles: ten floats each, index 0 .. the live count.
constexpr int EFFECT_STRIDE = 10;
constexpr int EFFECT_LAST_MAX = 499;
enum StarField { ST_FRAME = 0, ST_X = 1, ST_Y = 2, ST_DEPTH = 3, ST_ROT = 5, ST_SPIN = 6 };
enum ParticleField {
  PT_KIND = 0,  // 0 free, 1 to 9 a sprite (2 also falls), 99 a number as text
  PT_X = 1,
  PT_Y = 2,
  PT_VX = 3,
  PT_VY = 4,
  PT_ROT = 5,  // degrees
  PT_SPIN = 6,
  PT_LIFE = 7,  // also the alpha, at most 1
  PT_INK = 8,
  PT_FRAME = 9,  // frame of the parts image, or the number kind 99 shows
};
constexpr int KIND_FALLING = 2;
constexpr int LAST_SPRITE_KIND = 9;
constexpr int KIND_NUMBER = 99;
constexpr float PARTICLE_DRAG = 0.95f;
constexpr float PARTICLE_GRAVITY = 0.2f;
constexpr float PARTICLE_FADE = 0.01f;

constexpr float FRAME_SPAN = 255.99f;  // a random frame 0 to 255

// Stars are scattered this far beyond every edge.
constexpr float STAR_SPILL = 8.0f;
constexpr float STAR_WRAP_MARGIN = 16.0f;

// In a shared online match the effects draw from a generator of their own.
float EffectsRandom() { return bb_online_EffectsRnd(); }

float StarDepth() { return 0.6f * EffectsRandom() + 0.2f; }
float RandomFrame() { return std::floor(FRAME_SPAN * EffectsRandom()); }
float ScatterX() { return EffectsRandom() * (bb_KRV_jscrw + 2.0f * STAR_SPILL) - STAR_SPILL; }
float ScatterY() { return EffectsRandom() * (bb_KRV_jscrh + 2.0f * STAR_SPILL) - STAR_SPILL; }

// A star that wrapped round left or right comes back at a new height, depth
// and look; one that wrapped top or bottom at a new x.
void RenewAcross(float* star, int axis) {
  star[axis] = axis == ST_Y ? ScatterY() : ScatterX();
  star[ST_DEPTH] = StarDepth();
  star[ST_FRAME] = RandomFrame();
}

// Wraps one coordinate over a span `span` once it is beyond `margin` outside
// 0..size; returns whether it wrapped.
bool Wrap(float& v, float size, float margin, float span) {
  if (v < -margin) {
    v += span;
    return true;
  }
  if (v > size + margin) {
    v -= span;
    return true;
  }
  return false;
}

// Trail demonstration: squiggles start this far from the edges, runs are
// kept this far inside, and each squiggle is this many runs.
constexpr float SQUIGGLE_START_INSET = 32.0f;
constexpr int SQUIGGLE_EDGE = 16;
constexpr int SQUIGGLE_RUNS = 31;

}  // namespace

int c_MyApp::p_ResetStars(int n) {
  if (n >= 1 && n <= EFFECT_LAST_MAX) {
    m_starCount = n;
  } else {
    n = m_starCount;
  }
  for (int i = 0; i <= n; ++i) {
    float* star = &m_stars[EFFECT_STRIDE * i];
    star[ST_FRAME] = RandomFrame();
    star[ST_X] = ScatterX();
    star[ST_Y] = ScatterY();
    star[ST_DEPTH] = StarDepth();
    star[ST_ROT] = 360.0f * EffectsRandom();
    star[ST_SPIN] = EffectsRandom() - 0.5f;
  }
  return 0;
}

int c_MyApp::p_DoStars(float dx, float dy) {
  p_ResetDraw();
  const float ov = bb_KRV_overscan;
  const float margin = ov + STAR_WRAP_MARGIN;
  const float spanX = bb_KRV_jscrw + 2.0f * ov + 2.0f * STAR_WRAP_MARGIN;
  const float spanY = bb_KRV_jscrh + 2.0f * ov + 2.0f * STAR_WRAP_MARGIN;
  for (int i = 0; i <= m_starCount; ++i) {
    float* star = &m_stars[EFFECT_STRIDE * i];
    star[ST_X] += dx * star[ST_DEPTH];
    star[ST_Y] += dy * star[ST_DEPTH];
    if (Wrap(star[ST_X], bb_KRV_jscrw, margin, spanX)) RenewAcross(star, ST_Y);
    if (Wrap(star[ST_Y], bb_KRV_jscrh, margin, spanY)) RenewAcross(star, ST_X);
    star[ST_ROT] += star[ST_SPIN];
    p_Alpha(star[ST_DEPTH]);  // nearer stars move faster and shine brighter
    p_DrawImg(SLOT_PARTS, star[ST_X], star[ST_Y], star[ST_FRAME]);
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_ResetParticles(int n) {
  if (n >= 1 && n <= EFFECT_LAST_MAX) {
    m_particleLast = n;
  } else {
    n = m_particleLast;
  }
  for (int i = 0; i <= n; ++i) m_particles[EFFECT_STRIDE * i + PT_KIND] = 0.0f;
  return 0;
}

int c_MyApp::p_FreeParticle() {
  for (int i = m_particleLast; i >= 0; --i) {
    if (m_particles[EFFECT_STRIDE * i + PT_KIND] == 0.0f) return i;
  }
  return -1;
}

int c_MyApp::p_ThrowParticle(float x, float y, int kind, int ink, float angle, float speed) {
  if (angle == UNSET) angle = 360.0f * EffectsRandom();
  if (speed == UNSET) speed = 5.0f * EffectsRandom() + 3.0f;
  const int slot = p_FreeParticle();
  if (slot == -1) return 0;
  float* pt = &m_particles[EFFECT_STRIDE * slot];
  pt[PT_KIND] = float(kind);
  pt[PT_X] = x;
  pt[PT_Y] = y;
  pt[PT_VX] = speed * std::sin(angle * DEG_TO_RAD);  // angle 0 points up
  pt[PT_VY] = -speed * std::cos(angle * DEG_TO_RAD);
  pt[PT_ROT] = 360.0f * EffectsRandom();
  pt[PT_SPIN] = 16.0f * EffectsRandom() - 8.0f;
  pt[PT_LIFE] = 0.6f * EffectsRandom() + 0.7f;
  pt[PT_INK] = float(ink);
  pt[PT_FRAME] = RandomFrame();
  return 0;
}

int c_MyApp::p_DoParticles() {
  p_ResetDraw();
  for (int i = 0; i <= m_particleLast; ++i) {
    float* pt = &m_particles[EFFECT_STRIDE * i];
    const int kind = int(pt[PT_KIND]);
    if (kind <= 0) continue;
    pt[PT_X] += pt[PT_VX];
    pt[PT_Y] += pt[PT_VY];
    pt[PT_ROT] += pt[PT_SPIN];
    p_SetRot(kind == KIND_NUMBER ? 0.0f : pt[PT_ROT]);
    if (kind == KIND_FALLING) {
      pt[PT_VX] *= PARTICLE_DRAG;
      pt[PT_VY] += PARTICLE_GRAVITY;
    }
    p_Alpha(std::fmin(pt[PT_LIFE], 1.0f));
    p_Ink(int(pt[PT_INK]), 1.0f);
    p_SetSize(1.0f, 1.0f);
    if (kind <= LAST_SPRITE_KIND) p_DrawImg(SLOT_PARTS, pt[PT_X], pt[PT_Y], pt[PT_FRAME]);
    if (kind == KIND_NUMBER) p_Text(pt[PT_X], pt[PT_Y], String(int(pt[PT_FRAME])), 0.0f, 0.0f);
    pt[PT_LIFE] -= PARTICLE_FADE;
    if (pt[PT_LIFE] < 0.0f) pt[PT_KIND] = 0.0f;
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_SquigglyDoohickey() {
  p_CLS2D(0.0f, 0.0f, 80.0f, 1.0f);
  for (int i = 0; i <= MAX_RIDERS + 1; ++i) m_trailBrightness[i] = 1.0f;
  const float w = bb_KRV_jscrw, h = bb_KRV_jscrh;
  int x = int(std::floor(EffectsRandom() * (w - 2.0f * SQUIGGLE_START_INSET + 0.99f) + SQUIGGLE_START_INSET));
  int y = int(std::floor(EffectsRandom() * (h - 2.0f * SQUIGGLE_START_INSET + 0.99f) + SQUIGGLE_START_INSET));
  int dir = int(std::floor(3.99f * EffectsRandom() + 1.0f));
  const int ink = int(std::floor(7.99f * EffectsRandom() + 1.0f));
  // The first record's direction field holds the ink, so the first run
  // always opens a record of its own.
  int seg = p_NewLine(ink, x, y, ink);
  for (int run = 0; run < SQUIGGLE_RUNS; ++run) {
    const int d = int(std::floor(32.99f * EffectsRandom() + 16.0f));
    x = std::max(SQUIGGLE_EDGE, std::min(x + DIR_X[dir] * d, int(w - SQUIGGLE_EDGE)));
    y = std::max(SQUIGGLE_EDGE, std::min(y + DIR_Y[dir] * d, int(h - SQUIGGLE_EDGE)));
    seg = p_LineTo(seg, x, y, ink, dir, 0);
    dir = int(std::floor(3.99f * EffectsRandom() + 1.0f));
  }
  DrawTrails(this);
  return 0;
}
