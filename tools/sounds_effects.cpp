// Sound effects: eight hit splats and pops, the ship being struck, alerts and menu sounds.
#include <cstdio>
#include <functional>

#include "tools/sounds.h"
#include "tools/synth.h"

namespace assets {
namespace {

// Fills a buffer of `seconds` by calling `voice(t)` for every sample.
Wave render(double seconds, const std::function<double(double)>& voice) {
    Wave w = Wave::ofSeconds(seconds);
    for (size_t i = 0; i < w.size(); ++i) w.samples[i] = voice(w.seconds(i));
    return w;
}

Wave pop() {
    Oscillator o;
    return render(0.12, [o](double t) mutable {
        return o.sine(glide(t, 1100, 280, 0.02) * (1 + 0.0 * t)) * decay(t, 0.03, 0.002);
    });
}

Wave splat() {
    Rng rng(1);
    StateVariable f;
    Oscillator thump;
    return render(0.26, [=](double t) mutable {
        f.run(rng.signedUnit(), glide(t, 4000, 250, 0.05), 1.2);
        return f.low() * decay(t, 0.07, 0.002) * 1.4 +
               thump.sine(glide(t, 140, 55, 0.05)) * decay(t, 0.06, 0.002) * 0.7;
    });
}

Wave squelch() {
    Rng rng(2);
    StateVariable f;
    return render(0.22, [=](double t) mutable {
        const double centre = glide(t, 1800, 350, 0.08) * (1 + 0.25 * std::sin(kTau * 28 * t));
        f.run(rng.signedUnit(), centre, 7);
        return f.band() * decay(t, 0.08, 0.004);
    });
}

Wave plop() {
    Oscillator o, h;
    return render(0.16, [=](double t) mutable {
        const double hz = glide(t, 620, 110, 0.035);
        return (o.sine(hz) + 0.25 * h.sine(hz * 2.01)) * decay(t, 0.05, 0.002);
    });
}

Wave crunch() {
    Rng rng(3);
    OnePole hp;
    return render(0.18, [=](double t) mutable {
        // three grains of gritty noise, each a little later and quieter
        double grain = 0;
        for (int k = 0; k < 3; ++k) {
            const double start = k * 0.035;
            if (t >= start) grain += decay(t - start, 0.02, 0.001) * (1.0 - 0.25 * k);
        }
        const double held = crush(rng.signedUnit(), 3);
        return hp.highpass(held, 600) * grain;
    });
}

Wave zapPop() {
    Oscillator o;
    OnePole lp;
    return render(0.15, [=](double t) mutable {
        return lp.lowpass(o.square(glide(t, 1500, 160, 0.03), 0.3), 3500) * decay(t, 0.05, 0.002);
    });
}

Wave bubbles() {
    Oscillator a, b;
    return render(0.22, [=](double t) mutable {
        double v = a.sine(380 + 2600 * t) * decay(t, 0.035, 0.002);
        if (t > 0.07) v += 0.8 * b.sine(520 + 3400 * (t - 0.07)) * decay(t - 0.07, 0.03, 0.002);
        return v;
    });
}

Wave wetSplash() {
    Rng rng(4);
    StateVariable f;
    Oscillator ring;
    return render(0.3, [=](double t) mutable {
        f.run(rng.signedUnit(), glide(t, 2600, 900, 0.1), 2.5);
        return f.band() * decay(t, 0.09, 0.003) * 1.5 +
               ring.sine(720) * decay(t, 0.025, 0.002) * 0.4;
    });
}

Wave shipStruck() {
    Rng rng(5);
    StateVariable f;
    Oscillator thump, fall;
    return render(0.55, [=](double t) mutable {
        f.run(rng.signedUnit(), glide(t, 5000, 400, 0.12), 1.0);
        const double noise = f.low() * decay(t, 0.12, 0.002);
        const double body = thump.sine(glide(t, 110, 38, 0.08)) * decay(t, 0.18, 0.002);
        const double alarm = fall.square(glide(t, 700, 140, 0.2), 0.4) * decay(t, 0.2, 0.01);
        return noise * 0.9 + body * 0.9 + alarm * 0.25;
    });
}

Wave blip() {
    Oscillator o;
    return render(0.08, [o](double t) mutable { return o.sine(1320) * decay(t, 0.025, 0.002); });
}

Wave warning() {
    Oscillator o;
    OnePole lp;
    return render(0.5, [=](double t) mutable {
        const int beep = static_cast<int>(t / 0.16);
        const double local = t - beep * 0.16;
        if (beep > 2 || local > 0.11) return lp.lowpass(0.0, 2500);
        const double gate = std::min(1.0, local / 0.004) * std::min(1.0, (0.11 - local) / 0.01);
        return lp.lowpass(o.square(beep % 2 ? 660 : 880, 0.5), 2500) * gate;
    });
}

// A short sequence of notes, each with its own decaying tone.
Wave melody(const std::vector<double>& notesHz, double noteSeconds, double tail, double tau) {
    const double total = notesHz.size() * noteSeconds + tail;
    std::vector<Oscillator> oscs(notesHz.size() * 2);
    return render(total, [=](double t) mutable {
        double v = 0;
        for (size_t k = 0; k < notesHz.size(); ++k) {
            const double start = k * noteSeconds;
            if (t < start) {
                oscs[2 * k].step(0), oscs[2 * k + 1].step(0);
                continue;
            }
            const double local = t - start;
            const double vib = 1 + 0.006 * std::sin(kTau * 5.5 * local);
            v += (oscs[2 * k].triangle(notesHz[k] * vib) +
                  0.3 * oscs[2 * k + 1].sine(notesHz[k] * 2)) *
                 decay(local, tau, 0.004);
        }
        return v;
    });
}

Wave gameOver() {
    return melody({523.25, 392.0, 329.63, 261.63}, 0.22, 0.6, 0.25);
}
Wave roundStart() {
    return melody({523.25, 659.25, 783.99, 1046.5}, 0.09, 0.3, 0.12);
}

Wave whoosh() {
    Rng rng(6);
    StateVariable f;
    return render(0.42, [=](double t) mutable {
        f.run(rng.signedUnit(), 300 + 4000 * t, 3);
        const double env = std::sin(M_PI * t / 0.42);
        return f.band() * env * env;
    });
}

Wave menuClick() {
    Oscillator o;
    Rng rng(7);
    OnePole hp;
    return render(0.045, [=](double t) mutable {
        return (o.sine(2100) * 0.8 + hp.highpass(rng.signedUnit(), 3000) * 0.3) *
               decay(t, 0.008, 0.0015);
    });
}

Wave confirm() {
    Oscillator a, b, c;
    return render(0.32, [=](double t) mutable {
        double v = (a.sine(659.25) + 0.3 * c.sine(1318.5)) * decay(t, 0.06, 0.003);
        if (t > 0.08)
            v += b.sine(987.77) * decay(t - 0.08, 0.09, 0.003);
        else
            b.step(0);
        return v;
    });
}

std::string effectPath(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "sfx/%03d.wav", n);
    return name;
}

}  // namespace

std::vector<NamedWave> effectSounds() {
    const std::pair<int, Wave (*)()> table[] = {
        {1, pop},         {2, splat},   {3, squelch},    {4, plop},
        {5, crunch},      {6, zapPop},  {7, bubbles},    {8, wetSplash},
        {9, shipStruck},  {10, blip},   {11, warning},   {12, gameOver},
        {13, roundStart}, {95, whoosh}, {98, menuClick}, {99, confirm},
    };
    std::vector<NamedWave> out;
    for (const auto& [number, make] : table) {
        Wave w = make();
        finishOneShot(w, number == 98 ? 1.0 : 3.0);
        limitLoudness(w, 0.25);  // about -12 dBFS: the alarm and the pops sit level
        out.push_back({effectPath(number), std::move(w)});
    }
    return out;
}

}  // namespace assets
