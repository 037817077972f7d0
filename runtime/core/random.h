// The runtime's random numbers: one 32-bit linear congruential seed that
// every draw advances, so a seed and the order of draws fix every outcome.
#pragma once

// The shared seed; bbInit sets it to 1234.
extern int bb_random_Seed;

// Advances the seed and returns r in [0, 1) with 24 bits: the seed's top 24
// bits over 2^24.
float bb_random_Rnd();
// r * (high - low) + low.
float bb_random_Rnd2(float low, float high);
// r * range.
float bb_random_Rnd3(float range);
