#include "tools/wave.h"

#include <algorithm>
#include <cmath>

namespace assets {

Wave Wave::ofSeconds(double seconds) {
    Wave w;
    w.samples.assign(static_cast<size_t>(std::lround(seconds * kSampleRate)), 0.0);
    return w;
}

namespace {

void scaleToPeak(Wave& w, double peak) {
    double loudest = 0;
    for (double s : w.samples) loudest = std::max(loudest, std::fabs(s));
    if (loudest <= 0) return;
    const double k = peak / loudest;
    for (double& s : w.samples) s *= k;
}

// A gentle one-pole high-pass at about 10 Hz: takes out offset and slow drift only.
void removeDc(Wave& w) {
    const double r = 1.0 - 2.0 * M_PI * 10.0 / kSampleRate;
    double prevIn = 0, prevOut = 0;
    for (double& s : w.samples) {
        const double out = s - prevIn + r * prevOut;
        prevIn = s;
        prevOut = out;
        s = out;
    }
    // whatever mean is left (short sounds) goes too; the fades below keep the ends at zero
    double mean = 0;
    for (double s : w.samples) mean += s;
    mean /= std::max<size_t>(1, w.size());
    for (double& s : w.samples) s -= mean;
}

void fadeEnds(Wave& w, double fadeMs) {
    const size_t n = std::min(w.size() / 2, static_cast<size_t>(fadeMs * kSampleRate / 1000.0));
    for (size_t i = 0; i < n; ++i) {
        const double g = 0.5 - 0.5 * std::cos(M_PI * i / n);
        w.samples[i] *= g;
        w.samples[w.size() - 1 - i] *= g;
    }
    if (!w.samples.empty()) w.samples.front() = w.samples.back() = 0;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

}  // namespace

void finishOneShot(Wave& w, double fadeMs, double peak) {
    removeDc(w);
    fadeEnds(w, fadeMs);
    scaleToPeak(w, peak);
}

void finishLoop(Wave& w, double peak) {
    scaleToPeak(w, peak);
}

void limitLoudness(Wave& w, double maxRms) {
    if (w.samples.empty()) return;
    double energy = 0;
    for (double s : w.samples) energy += s * s;
    const double rms = std::sqrt(energy / w.size());
    if (rms <= maxRms) return;
    for (double& s : w.samples) s *= maxRms / rms;
}

std::vector<uint8_t> encodeWav(const Wave& w) {
    const uint32_t dataBytes = static_cast<uint32_t>(w.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // integer PCM
    put16(out, 1);  // mono
    put32(out, kSampleRate);
    put32(out, kSampleRate * 2);
    put16(out, 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (double s : w.samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put16(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFF);
    }
    return out;
}

}  // namespace assets
