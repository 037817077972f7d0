#include "random.h"

#include <cstdint>

int bb_random_Seed = 1234;

namespace {

constexpr std::uint32_t MULTIPLIER = 1664525u;
constexpr std::uint32_t INCREMENT = 1013904223u;
constexpr float TWO_TO_24 = 16777216.0f;

}  // namespace

float bb_random_Rnd() {
  const std::uint32_t seed = std::uint32_t(bb_random_Seed) * MULTIPLIER + INCREMENT;
  bb_random_Seed = int(seed);
  return float(seed >> 8) / TWO_TO_24;
}

float bb_random_Rnd2(float low, float high) { return bb_random_Rnd() * (high - low) + low; }

float bb_random_Rnd3(float range) { return bb_random_Rnd() * range; }
