#include "host/random.h"

#include <cstdint>

int Seed = 1234;

int NextSeed(int seed) {
    // Unsigned arithmetic wraps modulo 2^32 by definition, where signed overflow would not.
    const uint32_t next = static_cast<uint32_t>(seed) * 1664525u + 1013904223u;
    return static_cast<int>(next);
}

float Rnd() {
    Seed = NextSeed(Seed);
    const uint32_t top24 = static_cast<uint32_t>(Seed) >> 8;
    return static_cast<float>(top24) * (1.0f / 16777216.0f);
}

float Rnd(float low, float high) {
    return low + (high - low) * Rnd();
}

float Rnd(float range) {
    return Rnd() * range;
}
