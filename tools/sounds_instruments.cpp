// Instrument samples for the music player: four drum kits of eight one-shots, and looped
// melodic tones (lead, accompaniment, four basses) pitched so note 13 sits mid-range.
#include <functional>
#include <string>

#include "tools/sounds.h"
#include "tools/synth.h"

namespace assets {
namespace {

Wave render(double seconds, const std::function<double(double)>& voice) {
    Wave w = Wave::ofSeconds(seconds);
    for (size_t i = 0; i < w.size(); ++i) w.samples[i] = voice(w.seconds(i));
    return w;
}

// Each kit has its own character; the pieces share their roles.
enum class Kit { Studio = 1, Analog = 2, Chip = 3, Grit = 4 };

// Sample-and-hold at a lower rate plus a few bits: the chip kit's 8-bit sound.
class LoFi {
public:
    LoFi(int holdSamples, int bits) : hold_(holdSamples), bits_(bits) {}
    double operator()(double v) {
        if (count_++ % hold_ == 0) held_ = crush(v, bits_);
        return held_;
    }

private:
    int hold_, bits_, count_ = 0;
    double held_ = 0;
};

// Six detuned square waves: the classic metallic cymbal source.
class Metal {
public:
    double operator()(double scale) {
        static const double ratios[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
        double v = 0;
        for (int i = 0; i < 6; ++i) v += osc_[i].square(ratios[i] * scale);
        return v / 6.0;
    }

private:
    Oscillator osc_[6];
};

double drive(double v, double amount) {
    return std::tanh(v * amount) / std::tanh(amount);
}

Wave kick(Kit kit) {
    Oscillator o;
    Rng rng(11);
    LoFi lofi(4, 5);
    switch (kit) {
        case Kit::Studio:
            return render(0.45, [=](double t) mutable {
                return o.sine(glide(t, 170, 48, 0.03)) * decay(t, 0.14) +
                       rng.signedUnit() * decay(t, 0.003) * 0.3;
            });
        case Kit::Analog:
            return render(0.8, [=](double t) mutable {
                return drive(o.sine(glide(t, 130, 52, 0.04)) * decay(t, 0.32), 1.6);
            });
        case Kit::Chip:
            return render(0.3, [=](double t) mutable {
                return lofi(o.triangle(glide(t, 240, 40, 0.04)) * decay(t, 0.09));
            });
        default:
            return render(0.5, [=](double t) mutable {
                return drive(
                    (o.sine(glide(t, 200, 45, 0.025)) + 0.3 * rng.signedUnit() * decay(t, 0.02)) *
                        decay(t, 0.16),
                    4.0);
            });
    }
}

Wave snare(Kit kit) {
    Oscillator a, b;
    Rng rng(12);
    StateVariable f;
    LoFi lofi(3, 4);
    Metal metal;
    switch (kit) {
        case Kit::Studio:
            return render(0.35, [=](double t) mutable {
                f.run(rng.signedUnit(), 5000, 0.8);
                return a.sine(glide(t, 260, 185, 0.02)) * decay(t, 0.05) * 0.7 +
                       (f.low() - 0.3 * f.band()) * decay(t, 0.11);
            });
        case Kit::Analog:
            return render(0.3, [=](double t) mutable {
                f.run(rng.signedUnit(), 6500, 0.7);
                return (a.sine(180) * 0.6 + b.sine(330) * 0.4) * decay(t, 0.04) +
                       f.high() * decay(t, 0.09) * 0.8;
            });
        case Kit::Chip:
            return render(0.22, [=](double t) mutable {
                return lofi(rng.signedUnit() * decay(t, 0.07) +
                            a.square(glide(t, 400, 150, 0.02)) * decay(t, 0.02) * 0.5);
            });
        default:
            return render(0.4, [=](double t) mutable {
                f.run(rng.signedUnit(), 3000, 2.0);
                return drive(f.band() * decay(t, 0.14) * 2.0 + metal(1.7) * decay(t, 0.08), 2.5);
            });
    }
}

Wave hat(Kit kit, bool open) {
    Rng rng(open ? 14 : 13);
    StateVariable f;
    LoFi lofi(2, 4);
    Metal metal;
    Oscillator ringA, ringB;
    const double tau = open ? 0.22 : 0.035;
    const double length = open ? 0.6 : 0.12;
    switch (kit) {
        case Kit::Studio:
            return render(length, [=](double t) mutable {
                f.run(rng.signedUnit(), 6800, 1.0);
                return f.high() * decay(t, tau);
            });
        case Kit::Analog:
            return render(length, [=](double t) mutable {
                f.run(metal(1.0) + 0.2 * rng.signedUnit(), 6800, 1.2);
                return f.high() * decay(t, tau);
            });
        case Kit::Chip:
            return render(length, [=](double t) mutable {
                f.run(rng.signedUnit(), 6000, 1.0);
                return lofi(f.high() * decay(t, tau * 0.8));
            });
        default:
            return render(length, [=](double t) mutable {
                const double ring = ringA.sine(3150) * ringB.sine(5410);
                f.run(ring + 0.5 * rng.signedUnit(), 6200, 1.0);
                return f.high() * decay(t, tau * 1.2);
            });
    }
}

Wave tom(Kit kit, bool high) {
    Oscillator o, mod;
    LoFi lofi(4, 5);
    Rng rng(high ? 16 : 15);
    const double f0 = high ? 220 : 130, f1 = high ? 165 : 92;
    switch (kit) {
        case Kit::Studio:
            return render(0.45, [=](double t) mutable {
                return o.sine(glide(t, f0 * 1.2, f1, 0.06)) * decay(t, 0.16) +
                       rng.signedUnit() * decay(t, 0.004) * 0.25;
            });
        case Kit::Analog:
            return render(0.6, [=](double t) mutable {
                return o.sine(glide(t, f0 * 1.5, f1, 0.1)) * decay(t, 0.25);
            });
        case Kit::Chip:
            return render(0.3, [=](double t) mutable {
                return lofi(o.square(glide(t, f0 * 1.6, f1 * 0.8, 0.08), 0.5) * decay(t, 0.1));
            });
        default:
            return render(0.5, [=](double t) mutable {
                const double hz = glide(t, f0 * 1.3, f1, 0.07);
                return drive(
                    o.sine(hz + 3 * hz * mod.sine(hz * 1.41) * decay(t, 0.05)) * decay(t, 0.15),
                    2.0);
            });
    }
}

Wave clap(Kit kit) {
    Rng rng(17);
    StateVariable f;
    LoFi lofi(3, 4);
    const double spread = kit == Kit::Grit ? 0.014 : 0.01;
    const double tail = kit == Kit::Grit ? 0.2 : (kit == Kit::Analog ? 0.12 : 0.09);
    const double centre = kit == Kit::Studio ? 1400 : (kit == Kit::Analog ? 1100 : 1700);
    return render(0.4, [=](double t) mutable {
        // three quick slaps, then the room
        double env = 0;
        for (int k = 0; k < 3; ++k)
            if (t >= k * spread) env = std::max(env, decay(t - k * spread, 0.006, 0.0005));
        if (t >= 3 * spread) env = std::max(env, 0.7 * decay(t - 3 * spread, tail, 0.001));
        f.run(rng.signedUnit(), centre, 1.8);
        const double v = f.band() * env * 2.0;
        return kit == Kit::Chip ? lofi(v) : v;
    });
}

Wave crash(Kit kit) {
    Rng rng(18);
    StateVariable f;
    Metal metal;
    LoFi lofi(2, 5);
    Oscillator ringA, ringB;
    return render(1.4, [=](double t) mutable {
        double src = rng.signedUnit();
        if (kit == Kit::Analog) src = 0.6 * metal(1.3) + 0.5 * src;
        if (kit == Kit::Grit) src = 0.6 * ringA.sine(2730) * ringB.sine(4130) + 0.6 * src;
        f.run(src, 5200, 0.9);
        const double v = (f.high() + 0.4 * f.band()) * decay(t, 0.45, 0.002);
        return kit == Kit::Chip ? lofi(v) : v;
    });
}

Wave drumPiece(Kit kit, int piece) {
    switch (piece) {
        case 1:
            return kick(kit);
        case 2:
            return snare(kit);
        case 3:
            return hat(kit, false);
        case 4:
            return hat(kit, true);
        case 5:
            return tom(kit, false);
        case 6:
            return tom(kit, true);
        case 7:
            return clap(kit);
        default:
            return crash(kit);
    }
}

// A steady tone of exactly one second, so every integer-frequency partial completes whole
// periods and the loop point is seamless. Partials are sines starting at phase 0, so the
// first sample is 0 and there is no DC.
struct Partial {
    double hz, amplitude;
};

Wave steadyTone(const std::vector<Partial>& partials) {
    Wave w = Wave::ofSeconds(1.0);
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = w.seconds(i);
        double v = 0;
        for (const Partial& p : partials) v += p.amplitude * std::sin(kTau * p.hz * t);
        w.samples[i] = v;
    }
    return w;
}

std::vector<Partial> harmonics(double fundamental, int count,
                               const std::function<double(int)>& amplitude) {
    std::vector<Partial> out;
    for (int n = 1; n <= count; ++n) out.push_back({fundamental * n, amplitude(n)});
    return out;
}

std::vector<Partial> withChorus(std::vector<Partial> base, double detuneHz, double level) {
    const size_t n = base.size();
    for (size_t i = 0; i < n; ++i) {
        // detuned copies keep integer frequencies, so they too loop in one second
        base.push_back({base[i].hz + detuneHz * (i + 1), base[i].amplitude * level});
    }
    return base;
}

// A frequency-modulated tone whose carrier and modulator share the period of `hz`: it starts
// at 0 and, like the partial sums, has no DC component.
Wave fmTone(double hz, double index) {
    Wave w = Wave::ofSeconds(1.0);
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = w.seconds(i);
        w.samples[i] = std::sin(kTau * hz * t + index * std::sin(kTau * hz * t));
    }
    return w;
}

}  // namespace

std::vector<NamedWave> drumSamples() {
    std::vector<NamedWave> out;
    for (int kit = 1; kit <= 4; ++kit)
        for (int piece = 1; piece <= 8; ++piece) {
            Wave w = drumPiece(static_cast<Kit>(kit), piece);
            finishOneShot(w, 1.0);
            limitLoudness(w, 0.3);  // the driven kits must not bury the clean ones
            out.push_back({"inst/d" + std::to_string(kit) + "-" + std::to_string(piece) + ".wav",
                           std::move(w)});
        }
    return out;
}

// Note 13 plays at the recorded rate: lead A4 (440 Hz), accompaniment A3, basses A2.
std::vector<NamedWave> melodicSamples() {
    std::vector<NamedWave> out;
    // Levels by RMS, so the voices balance whatever their waveform: the bass a little ahead,
    // the accompaniment behind the lead.
    auto add = [&](const std::string& name, Wave w, double rms) {
        finishLoop(w, kPeak);
        limitLoudness(w, rms);
        out.push_back({"inst/" + name + ".wav", std::move(w)});
    };
    // lead: a bright pulse-like tone with a slow chorus shimmer
    add("lead1",
        steadyTone(withChorus(harmonics(440, 14, [](int n) { return (n % 2 ? 1.0 : 0.55) / n; }), 1,
                              0.35)),
        0.3);
    // accompaniment: a soft organ of a few drawbars
    add("accompany1",
        steadyTone(withChorus(harmonics(220, 8,
                                        [](int n) {
                                            static const double bars[] = {1.0, 0.5, 0.3, 0.22,
                                                                          0.0, 0.1, 0.0, 0.05};
                                            return bars[n - 1];
                                        }),
                              1, 0.4)),
        0.24);
    // four basses, all A2 so any of them fits every tune
    add("bass1", steadyTone(harmonics(110, 4, [](int n) { return n == 1 ? 1.0 : 0.35 / n; })),
        0.42);
    add("bass2", steadyTone(harmonics(110, 16, [](int n) { return 1.0 / std::pow(n, 1.4); })),
        0.36);
    add("bass3", steadyTone(harmonics(110, 15, [](int n) { return n % 2 ? 1.0 / n : 0.0; })), 0.32);
    add("bass4", fmTone(110, 1.6), 0.36);
    return out;
}

}  // namespace assets
