// The composer behind the tune strips. Every tune has a key, a tempo feel and a style; each
// voice gets pairs of patterns (a phrase and its answer) that fit over the same root, so any
// pattern of one voice sounds right with any pattern of another, alone or together, and under
// every chord letter (which transposes all melodic voices together).
#include <algorithm>
#include <string>
#include <vector>

#include "tools/rng.h"
#include "tools/tunes.h"

namespace assets {
namespace {

enum class BassStyle { Pump, Funk, Walk, Long, Gallop };
enum class AccStyle { Arp, Offbeat, Pad, Broken, Arp16 };

struct Groove {
    // one bar per string, a character per step: K kick, S snare, g ghost snare, h closed hat,
    // o open hat, c clap, t low tom, T high tom, X crash, '.' nothing
    std::string mainA, percA, mainB, percB, fillMain, fillPerc;
};

struct Style {
    std::string title;
    int root;  // semitones from A (the samples' note 13)
    std::vector<int> scale;
    int stepRows;   // rows per step
    int barSteps;   // steps per bar
    int beatSteps;  // steps per beat
    bool swing;
    Groove groove;
    BassStyle bass;
    AccStyle acc;
    double leadDensity;
    bool slides, vibrato;
    uint64_t seed;
};

const std::vector<int> kMinorPentatonic{0, 3, 5, 7, 10};
const std::vector<int> kDorian{0, 2, 3, 5, 7, 9, 10};
const std::vector<int> kPhrygian{0, 1, 3, 5, 7, 8, 10};
const std::vector<int> kMajorPentatonic{0, 2, 4, 7, 9};
const std::vector<int> kMixolydian{0, 2, 4, 5, 7, 9, 10};
const std::vector<int> kAeolian{0, 2, 3, 5, 7, 8, 10};
const std::vector<int> kHarmonicMinor{0, 2, 3, 5, 7, 8, 11};
const std::vector<int> kLydian{0, 2, 4, 6, 7, 9, 11};
const std::vector<int> kBlues{0, 3, 5, 6, 7, 10};

std::vector<Style> styles() {
    return {
        {"Drive",
         0,
         kMinorPentatonic,
         1,
         16,
         4,
         false,
         {"K...S...K.K.S...", "h.h.h.h.h.h.h.ho", "K...S..KK...S...", "hhh.hhh.hhh.hhho",
          "K...S...S.S.TTtt", "h.h.h.h.c.c.cccc"},
         BassStyle::Pump,
         AccStyle::Arp,
         0.6,
         false,
         false,
         10},
        {"Break",
         5,
         kDorian,
         2,
         16,
         4,
         true,
         {"K...S..g.gK.S..g", "h.h.h.h.h.hoh.h.", "K.K.S..g..K.S.g.", "h.h.h.o.h.h.h.o.",
          "K...S..gS.S.TSTt", "h.h.h.h.c.c.c.cc"},
         BassStyle::Funk,
         AccStyle::Pad,
         0.55,
         true,
         false,
         11},
        {"Pulse",
         -5,
         kPhrygian,
         1,
         16,
         4,
         false,
         {"K...K...K...K...", "..o.c.o...o.c.o.", "K...K...K...K.K.", "h.o.c.ohh.o.c.oh",
          "K...K...KKKKKKKK", "..o.c.o.cccccccc"},
         BassStyle::Pump,
         AccStyle::Offbeat,
         0.5,
         false,
         false,
         12},
        {"Shuffle",
         3,
         kMajorPentatonic,
         1,
         12,
         3,
         false,
         {"K..g..S..K.g", "h.hh.hh.hh.h", "K..K..S..K.g", "o.hh.ho.hh.h", "K..S..STTttt",
          "h.hh.hc.cc.c"},
         BassStyle::Walk,
         AccStyle::Broken,
         0.6,
         false,
         false,
         13},
        {"Funk",
         -2,
         kMixolydian,
         2,
         16,
         4,
         false,
         {"K..K..S.g.K.S..g", "hhhhhhhhhhhhohhh", "K.gK..S.g.KKS.g.", "h.hhh.hhh.hhh.ho",
          "K..K..S.SgSgTTtt", "hhhhhhhhc.c.c.cc"},
         BassStyle::Funk,
         AccStyle::Offbeat,
         0.5,
         true,
         false,
         14},
        {"Waltz",
         -3,
         kAeolian,
         1,
         12,
         4,
         false,
         {"K...S...S...", "h.h.h.h.h.ho", "K...S...S.K.", "h.h.o.h.o.h.", "K...S.S.TTtt",
          "h.h.h.h.c.cc"},
         BassStyle::Long,
         AccStyle::Arp,
         0.45,
         false,
         true,
         15},
        {"Chase",
         2,
         kHarmonicMinor,
         1,
         16,
         4,
         false,
         {"K.KKS.KKK.KKS.KK", "h.hhh.hhh.hhh.hh", "K.KKS.KKK.K.S.TT", "o.hho.hho.hho.hh",
          "K.KKS.SSTTTTtttt", "h.hhh.hhc.ccc.cc"},
         BassStyle::Gallop,
         AccStyle::Arp16,
         0.7,
         false,
         false,
         16},
        {"Drift",
         -4,
         kLydian,
         2,
         16,
         4,
         false,
         {"K.......S.....K.", "h...h.h.h...h.hh", "K.....K.S.......", "o...h...o...h.h.",
          "K.......S...TTtt", "h...h.h.c...cccc"},
         BassStyle::Long,
         AccStyle::Pad,
         0.3,
         true,
         true,
         17},
        {"Blues",
         4,
         kBlues,
         1,
         16,
         4,
         false,
         {"K...S.K.K.K.S...", "o.h.o.h.o.h.o.h.", "K...S.K...K.S.K.", "h.h.c.h.h.h.c.h.",
          "K...S.K.SSSSTTtt", "o.h.o.h.c.c.cccc"},
         BassStyle::Walk,
         AccStyle::Offbeat,
         0.55,
         true,
         false,
         18},
    };
}

// The shared grid of a tune: how steps, bars and patterns map to rows.
struct Grid {
    const Style& style;
    int bars() const { return std::min(4, kPatternRows / (style.barSteps * style.stepRows)); }
    int barRows() const { return style.barSteps * style.stepRows; }
    int patternRows() const { return bars() * barRows(); }
    int stepsPerPattern() const { return bars() * style.barSteps; }
    // Light swing: the second eighth of each beat lands one row late.
    int row(int step) const {
        int r = step * style.stepRows;
        if (style.swing && style.stepRows == 2 && style.beatSteps == 4 && step % 4 == 2) r += 1;
        return r;
    }
    bool onBeat(int step) const { return step % style.beatSteps == 0; }
    bool onBar(int step) const { return step % style.barSteps == 0; }
};

int clampNote(int note) {
    while (note < 1) note += 12;
    while (note > 31) note -= 12;  // a field holds five bits
    return note;
}

int thirdOf(const Style& s) {
    return std::find(s.scale.begin(), s.scale.end(), 3) != s.scale.end() ? 3 : 4;
}

int seventhOf(const Style& s) {
    for (int st : {10, 11, 9})
        if (std::find(s.scale.begin(), s.scale.end(), st) != s.scale.end()) return st;
    return 12;
}

// Semitone of a scale degree (degrees may be negative or span octaves).
int degreeSemitone(const Style& s, int degree) {
    const int n = static_cast<int>(s.scale.size());
    const int octave = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
    return octave * 12 + s.scale[degree - octave * n];
}

bool isChordDegree(const Style& s, int degree) {
    const int st = ((degreeSemitone(s, degree) % 12) + 12) % 12;
    return st == 0 || st == thirdOf(s) || st == 7;
}

// Puts a note at a row; `holdRows` > 5 keeps it sounding by refreshing its volume (a volume
// without a note restarts the envelope but not the sample) and `cutAfter` silences it then.
void placeNote(Tune& t, int voice, int pattern, int row, int note, int volume, int holdRows,
               bool cutAfter, int limitRows) {
    if (row >= limitRows) return;
    Event& e = t.at(voice, pattern, row);
    e.note = clampNote(note);
    e.volume = std::clamp(volume, 1, 30);
    for (int r = row + 4; r < row + holdRows - 2 && r < limitRows; r += 4)
        if (t.at(voice, pattern, r).note == 0) t.at(voice, pattern, r).volume = e.volume;
    if (cutAfter && row + holdRows < limitRows && t.at(voice, pattern, row + holdRows).note == 0)
        t.at(voice, pattern, row + holdRows).volume = kCutVolume;
}

// ---- drums -------------------------------------------------------------------------------

void drumHit(Tune& t, int voice, int pattern, int row, char c, bool accent) {
    int key = 0, volume = 0;
    switch (c) {
        case 'K':
            key = kKick, volume = 28;
            break;
        case 'S':
            key = kSnare, volume = 26;
            break;
        case 'g':
            key = kSnare, volume = 12;
            break;
        case 'h':
            key = kClosedHat, volume = accent ? 21 : 16;
            break;
        case 'o':
            key = kOpenHat, volume = 19;
            break;
        case 'c':
            key = kClap, volume = 23;
            break;
        case 't':
            key = kLowTom, volume = 25;
            break;
        case 'T':
            key = kHighTom, volume = 24;
            break;
        case 'X':
            key = kCrash, volume = 25;
            break;
        default:
            return;
    }
    Event& e = t.at(voice, pattern, row);
    e.note = key;
    e.volume = volume;
}

void writeDrumBar(Tune& t, const Grid& g, int voice, int pattern, int bar,
                  const std::string& bar_) {
    for (int s = 0; s < g.style.barSteps && s < static_cast<int>(bar_.size()); ++s)
        drumHit(t, voice, pattern, g.row(bar * g.style.barSteps + s), bar_[s], g.onBeat(s));
}

void composeDrums(Tune& t, const Grid& g) {
    const Groove& gr = g.style.groove;
    for (int pair = 0; pair < 2; ++pair) {
        const std::string& main = pair == 0 ? gr.mainA : gr.mainB;
        const std::string& perc = pair == 0 ? gr.percA : gr.percB;
        for (int variant = 0; variant < 2; ++variant) {
            const int p = pair * 2 + variant;
            for (int bar = 0; bar < g.bars(); ++bar) {
                const bool fill = variant == 1 && bar == g.bars() - 1;
                writeDrumBar(t, g, kDrumsA, p, bar, fill ? gr.fillMain : main);
                writeDrumBar(t, g, kDrumsB, p, bar, fill ? gr.fillPerc : perc);
            }
            // the phrase after a fill opens with a crash
            if (variant == 0 && pair == 0) drumHit(t, kDrumsB, p, 0, 'X', true);
        }
    }
}

// ---- bass --------------------------------------------------------------------------------

struct BassNote {
    int step, semitone, length;
};

std::vector<BassNote> bassBar(const Style& s, BassStyle style, int bar, bool answer, Rng& rng) {
    const int n = s.barSteps, beat = s.beatSteps;
    const int third = thirdOf(s), seventh = seventhOf(s);
    const bool last = answer && bar % 2 == 1;
    std::vector<BassNote> out;
    switch (style) {
        case BassStyle::Pump:
            for (int st = 0; st < n; st += 2) {
                int semi = (st % 4 == 2 && rng.chance(0.35)) ? 12 : 0;
                if (last && st >= n - 4) semi = st == n - 4 ? 7 : 5;
                out.push_back({st, semi, 1});
            }
            break;
        case BassStyle::Funk: {
            const int shape[][3] = {{0, 0, 3},        {3, 0, 2},   {6, 12, 1}, {8, 0, 2},
                                    {10, seventh, 1}, {11, 12, 1}, {14, 7, 2}};
            for (const auto& f : shape) {
                if (f[0] >= n) continue;
                if (last && f[0] >= 10) continue;
                out.push_back({f[0], f[1], f[2]});
            }
            if (last)
                out.push_back({10, 5, 2}), out.push_back({12, third, 2}), out.push_back({14, 2, 2});
            break;
        }
        case BassStyle::Walk: {
            const int walks[][4] = {{0, 7, 12, 7}, {0, third, 7, 12}, {0, 12, seventh, 7}};
            const auto& w = walks[(bar + (answer ? 1 : 0)) % 3];
            for (int b = 0; b * beat < n; ++b) {
                int semi = w[b % 4];
                if (last && b * beat >= n - beat) semi = -1;  // lead-in from below
                out.push_back({b * beat, semi, beat - 1});
            }
            break;
        }
        case BassStyle::Long:
            out.push_back({0, 0, n - 1});
            if (bar % 2 == 1) out.back().semitone = answer ? 7 : seventh - 12;
            if (n >= 12 && rng.chance(0.5)) {
                out.back().length = n / 2 + beat - 1;
                out.push_back({n / 2 + beat, 7, n / 2 - beat - 1});
            }
            break;
        case BassStyle::Gallop:
            for (int b = 0; b * beat < n; ++b) {
                const int semi = (last && b == n / beat - 1) ? 7 : (b % 2 ? 12 : 0);
                out.push_back({b * beat, semi, 1});
                out.push_back({b * beat + 2, 0, 0});
                out.push_back({b * beat + 3, semi == 12 ? 12 : 0, 0});
            }
            break;
    }
    return out;
}

void composeBass(Tune& t, const Grid& g, Rng& rng) {
    const Style& s = g.style;
    const int root = s.root <= 2 ? 13 + s.root : 1 + s.root;  // keep the bass low
    for (int p = 0; p < 4; ++p) {
        const bool answer = p % 2 == 1;
        for (int bar = 0; bar < g.bars(); ++bar) {
            for (const BassNote& b : bassBar(s, s.bass, bar, answer, rng)) {
                const int step = bar * s.barSteps + b.step;
                const int row = g.row(step);
                const int holdRows = g.row(step + b.length + 1) - row;
                const int volume = g.onBeat(b.step) ? 27 : 23;
                // the second pair plays up an octave in the busy styles for contrast
                const int lift = (p >= 2 && s.bass != BassStyle::Long) ? 12 : 0;
                placeNote(t, kBass, p, row, root + b.semitone + lift * (b.semitone == 0), volume,
                          holdRows, s.bass != BassStyle::Long, g.patternRows());
            }
        }
        if (s.slides && answer) {
            // a dive off the last note into the next phrase
            const int r = g.patternRows() - 2;
            t.at(kBass, p, r).command = kSlideDownFast;
            t.at(kBass, p, r).argument = 1;
        }
    }
}

// ---- accompaniment -----------------------------------------------------------------------

void composeAccompaniment(Tune& t, const Grid& g) {
    const Style& s = g.style;
    const int root = 13 + s.root;
    const int third = thirdOf(s), seventh = seventhOf(s);
    for (int p = 0; p < 4; ++p) {
        const bool high = p >= 2;  // the second pair uses a higher voicing
        const std::vector<int> chord =
            high ? std::vector<int>{third, 7, 12, 7} : std::vector<int>{0, 7, 12, third + 12};
        const int steps = g.stepsPerPattern();
        switch (s.acc) {
            case AccStyle::Arp:
            case AccStyle::Arp16: {
                const int every = s.acc == AccStyle::Arp16 ? 1 : 2;
                int k = 0;
                for (int st = 0; st < steps; st += every, ++k) {
                    int semi = chord[k % 4];
                    if (p % 2 == 1 && st / s.barSteps == g.bars() - 1) semi = chord[(k + 2) % 4];
                    placeNote(t, kAccompaniment, p, g.row(st), root + semi, g.onBeat(st) ? 19 : 15,
                              every * s.stepRows, false, g.patternRows());
                }
                break;
            }
            case AccStyle::Offbeat:
                for (int st = s.beatSteps / 2; st < steps; st += s.beatSteps) {
                    const int semi = chord[(st / s.beatSteps + p) % 4] + (high ? 0 : 12);
                    placeNote(t, kAccompaniment, p, g.row(st), root + semi - 12, 20, s.stepRows,
                              true, g.patternRows());
                }
                break;
            case AccStyle::Pad: {
                const int tones[] = {0, third, 7, high ? seventh : 5};
                for (int bar = 0; bar < g.bars(); ++bar) {
                    const int semi = tones[(bar + (p % 2) * 2) % 4] + (high ? 12 : 0);
                    placeNote(t, kAccompaniment, p, bar * g.barRows(), root + semi, 17, g.barRows(),
                              false, g.patternRows());
                }
                break;
            }
            case AccStyle::Broken: {
                const int shape[] = {0, 7, 12, 7, third, 7, 12, 7};
                for (int st = 0, k = 0; st < steps; st += 2, ++k) {
                    const int semi = shape[(k + (p % 2) * 4) % 8] + (high ? 12 : 0);
                    placeNote(t, kAccompaniment, p, g.row(st), root + semi, g.onBeat(st) ? 18 : 14,
                              2 * s.stepRows, false, g.patternRows());
                }
                break;
            }
        }
    }
}

// ---- lead --------------------------------------------------------------------------------

struct LeadNote {
    int step, degree;
};

// Onsets for one bar: beats and their subdivisions, sparser or busier by the style.
std::vector<int> rhythmBar(const Style& s, Rng& rng, bool mustStart) {
    std::vector<int> onsets;
    for (int b = 0; b * s.beatSteps < s.barSteps; ++b) {
        const int at = b * s.beatSteps;
        if ((b == 0 && mustStart) || rng.chance(s.leadDensity)) onsets.push_back(at);
        if (rng.chance(s.leadDensity * 0.7))
            onsets.push_back(at + s.beatSteps / 2 + (s.beatSteps == 3));
        if (s.leadDensity > 0.55 && s.beatSteps == 4 && rng.chance(0.25)) onsets.push_back(at + 3);
    }
    std::sort(onsets.begin(), onsets.end());
    onsets.erase(std::unique(onsets.begin(), onsets.end()), onsets.end());
    return onsets;
}

int nextDegree(const Style& s, int from, bool strong, Rng& rng) {
    int d = from + (rng.chance(0.5) ? 1 : -1) * (rng.chance(0.7) ? 1 : 2);
    if (strong) {  // strong beats settle on the nearest chord tone
        for (int k = 0; k < 4 && !isChordDegree(s, d); ++k) d += (from <= d ? 1 : -1);
    }
    const int n = static_cast<int>(s.scale.size());
    return std::clamp(d, -2, n + n / 2 + 1);
}

std::vector<LeadNote> phrase(const Style& s, int bars, bool answer, uint64_t seed) {
    Rng rng(seed);  // the same seed gives the same opening for a phrase and its answer
    std::vector<LeadNote> notes;
    const int n = static_cast<int>(s.scale.size());
    int degree = rng.chance(0.5) ? 0 : 2;
    std::vector<LeadNote> motif;
    for (int bar = 0; bar < bars; ++bar) {
        const bool cadence = bar == bars - 1;
        if (cadence) {
            // the call ends open (on the fifth or second), the answer comes home to the root
            const int target = answer ? (degree > n / 2 ? n : 0) : (n >= 7 ? 4 : 3);
            if (s.leadDensity > 0.4)
                notes.push_back({bar * s.barSteps, nextDegree(s, degree, true, rng)});
            notes.push_back(
                {bar * s.barSteps + s.beatSteps * (s.barSteps / s.beatSteps > 3 ? 2 : 1), target});
            break;
        }
        if (bar == 2 && !motif.empty()) {  // sequence: the motif again, a step higher
            for (const LeadNote& m : motif)
                notes.push_back({m.step + 2 * s.barSteps, m.degree + 1});
            degree = motif.back().degree + 1;
            continue;
        }
        for (int st : rhythmBar(s, rng, bar == 0)) {
            degree = nextDegree(s, degree, st % s.beatSteps == 0, rng);
            notes.push_back({bar * s.barSteps + st, degree});
            if (bar == 0) motif.push_back(notes.back());
        }
    }
    return notes;
}

void composeLead(Tune& t, const Grid& g) {
    const Style& s = g.style;
    const int root = 13 + s.root;
    for (int pair = 0; pair < 3; ++pair) {
        for (int answer = 0; answer < 2; ++answer) {
            const int p = pair * 2 + answer;
            const std::vector<LeadNote> notes =
                phrase(s, g.bars(), answer == 1, s.seed * 31 + pair);
            for (size_t i = 0; i < notes.size(); ++i) {
                const int row = g.row(notes[i].step);
                const int end = i + 1 < notes.size() ? g.row(notes[i + 1].step) : g.patternRows();
                const int hold = std::min(end - row, 4 * s.stepRows * s.beatSteps);
                const int volume =
                    g.onBar(notes[i].step) ? 28 : (g.onBeat(notes[i].step) ? 25 : 22);
                placeNote(t, kLead, p, row, root + degreeSemitone(s, notes[i].degree), volume, hold,
                          hold < end - row, g.patternRows());
                if (s.vibrato && hold >= 10) {
                    // a gentle vibrato: equal steps up and down, so the pitch comes back
                    const int pattern[] = {kSlideUp, kSlideUp, kSlideDown, kSlideDown};
                    for (int r = row + 2, k = 0; r + 1 < row + hold && r < g.patternRows();
                         ++r, ++k) {
                        if (k >= 4 * ((hold - 3) / 4)) break;
                        t.at(kLead, p, r).command = pattern[k % 4];
                        t.at(kLead, p, r).argument = 1;
                    }
                }
            }
            if (s.slides && answer == 0) {
                // the open ending of the call falls away as it fades
                for (int r = g.patternRows() - 4; r < g.patternRows() - 1; ++r) {
                    Event& e = t.at(kLead, p, r);
                    if (e.note == 0 && e.command == 0) e.command = kSlideDown, e.argument = 3;
                }
            }
        }
    }
}

// ---- structure ---------------------------------------------------------------------------

// Patterns come in pairs: the first switches to its answer when the section's pattern count
// is odd and the answer switches back when it is even, so pairs alternate call and answer.
void linkPairs(Tune& t, int voice, int patterns) {
    for (int p = 0; p + 1 < patterns; p += 2) {
        t.at(voice, p, 0).command = kSwitchPattern;
        t.at(voice, p, 0).argument = 1;
        t.at(voice, p + 1, 0).command = kSwitchPattern;
        t.at(voice, p + 1, 0).argument = 2;
    }
}

// Patterns shorter than 64 rows end early on every voice.
void markPatternEnds(Tune& t, const Grid& g, const int (&patterns)[5]) {
    if (g.patternRows() >= kPatternRows) return;
    for (int v = 0; v < 5; ++v)
        for (int p = 0; p < patterns[v]; ++p) {
            Event& e = t.at(v, p, g.patternRows() - 1);
            e.command = kEndPattern;
            e.argument = 0;
        }
}

}  // namespace

std::vector<TuneInfo> composeTunes() {
    std::vector<TuneInfo> out;
    int number = 10;
    for (const Style& s : styles()) {
        TuneInfo info{"tunes/Wendle/Tune_" + std::to_string(number++) + ".png", s.title, Tune()};
        const Grid g{s};
        Rng rng(s.seed);
        composeDrums(info.tune, g);
        composeBass(info.tune, g, rng);
        composeAccompaniment(info.tune, g);
        composeLead(info.tune, g);
        const int patterns[5] = {4, 4, 6, 4, 4};
        for (int v = 0; v < 5; ++v) linkPairs(info.tune, v, patterns[v]);
        markPatternEnds(info.tune, g, patterns);
        out.push_back(std::move(info));
    }
    return out;
}

}  // namespace assets
