// Mono sample buffers, their finishing touches and the WAV writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

constexpr int kSampleRate = 44100;

struct Wave {
    std::vector<double> samples;  // nominally -1..1

    static Wave ofSeconds(double seconds);
    size_t size() const { return samples.size(); }
    double seconds(size_t i) const { return static_cast<double>(i) / kSampleRate; }
};

// Peak target for every file: about -1.4 dBFS, safely under the -1 dBFS ceiling after rounding.
constexpr double kPeak = 0.85;

// One-shot finishing: remove any DC drift, ramp the first and last `fadeMs` milliseconds to
// silence (no clicks) and scale the loudest sample to `peak`.
void finishOneShot(Wave& w, double fadeMs = 3.0, double peak = kPeak);
// Turns a sound down (never up) until its RMS level is at most `maxRms` (full scale = 1), so
// dense sounds do not outshout sparse ones that share the same peak.
void limitLoudness(Wave& w, double maxRms);
// Loop finishing: scale only (a whole number of periods is already seamless and DC free).
void finishLoop(Wave& w, double peak = kPeak);

// 16-bit PCM mono RIFF/WAVE bytes.
std::vector<uint8_t> encodeWav(const Wave& w);

}  // namespace assets
