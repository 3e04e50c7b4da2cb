// Deterministic pseudo-random numbers for the asset generator: the data folder must come out
// byte-identical on every run and every machine, so nothing here reads the clock or the system.
#pragma once

#include <cstdint>

namespace assets {

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}

    uint32_t next() {
        // splitmix64: tiny, well mixed and portable
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
    }
    // uniform in [0, 1)
    double unit() { return next() / 4294967296.0; }
    // uniform in [lo, hi)
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // uniform integer in [lo, hi] inclusive
    int pick(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1));
    }
    bool chance(double p) { return unit() < p; }
    // symmetric noise in [-1, 1)
    double signedUnit() { return unit() * 2.0 - 1.0; }

private:
    uint64_t state_;
};

}  // namespace assets
