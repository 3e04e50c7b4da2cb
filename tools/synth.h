// Small building blocks for synthesising effects and instruments.
#pragma once

#include <cmath>

#include "tools/rng.h"
#include "tools/wave.h"

namespace assets {

constexpr double kTau = 2.0 * M_PI;

// Phase-accumulating oscillator: frequency may change every sample (sweeps) without clicks.
class Oscillator {
public:
    // Advances by one sample at `hz` and returns the new phase in cycles (0..1).
    double step(double hz) {
        phase_ += hz / kSampleRate;
        phase_ -= std::floor(phase_);
        return phase_;
    }
    double sine(double hz) { return std::sin(kTau * step(hz)); }
    double square(double hz, double duty = 0.5) { return step(hz) < duty ? 1.0 : -1.0; }
    double saw(double hz) { return 2.0 * step(hz) - 1.0; }
    double triangle(double hz) {
        const double p = step(hz);
        return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    }

private:
    double phase_ = 0;
};

// Chamberlin state-variable filter; outputs low, band and high pass at once.
class StateVariable {
public:
    void run(double in, double cutoffHz, double q) {
        const double f = 2.0 * std::sin(M_PI * std::min(cutoffHz, kSampleRate / 6.5) / kSampleRate);
        const double damp = 1.0 / std::max(q, 0.5);
        low_ += f * band_;
        high_ = in - low_ - damp * band_;
        band_ += f * high_;
    }
    double low() const { return low_; }
    double band() const { return band_; }
    double high() const { return high_; }

private:
    double low_ = 0, band_ = 0, high_ = 0;
};

class OnePole {
public:
    double lowpass(double in, double cutoffHz) {
        const double a = 1.0 - std::exp(-kTau * cutoffHz / kSampleRate);
        state_ += a * (in - state_);
        return state_;
    }
    double highpass(double in, double cutoffHz) { return in - lowpass(in, cutoffHz); }

private:
    double state_ = 0;
};

// Exponential decay with time constant `tau` seconds, after a short linear attack.
inline double decay(double t, double tau, double attack = 0.001) {
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

// Exponential glide from f0 to f1 with time constant `tau`.
inline double glide(double t, double f0, double f1, double tau) {
    return f1 + (f0 - f1) * std::exp(-t / tau);
}

// Reduces a value to 2^bits levels (the lo-fi kits).
inline double crush(double v, int bits) {
    const double levels = std::pow(2.0, bits - 1);
    return std::round(v * levels) / levels;
}

}  // namespace assets
