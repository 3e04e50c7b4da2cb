// Tune strips: the note data the music player reads, and the composer that writes it.
#pragma once

#include <string>
#include <vector>

#include "tools/files.h"

namespace assets {

constexpr int kStripPatterns = 64;  // frames of a strip; the player reads 0..62
constexpr int kStripVoices = 8;     // columns of eight fields; voices 0..4 are played
constexpr int kPatternRows = 64;

// Voices as the player assigns them.
enum Voice { kDrumsA = 0, kDrumsB = 1, kLead = 2, kAccompaniment = 3, kBass = 4 };

// Drum keys that select samples 1..8 of a kit.
enum DrumKey {
    kKick = 13,
    kSnare = 15,
    kClosedHat = 17,
    kOpenHat = 18,
    kLowTom = 20,
    kHighTom = 22,
    kClap = 24,
    kCrash = 25
};

// Commands of the event's third field.
enum Command {
    kSlideUp = 1,
    kSlideDown = 2,
    kSlideUpFast = 3,
    kSlideDownFast = 4,
    kEndPattern = 8,
    kSwitchPattern = 27
};
constexpr int kCutVolume = 31;

struct Event {
    int note = 0, volume = 0, command = 0, argument = 0;
};

class Tune {
public:
    Tune();
    Event& at(int voice, int pattern, int row);
    const Event& at(int voice, int pattern, int row) const;

private:
    std::vector<Event> events_;
};

struct TuneInfo {
    std::string name;  // file name under data/, e.g. "tunes/Wendle/Tune_10.png"
    std::string title;
    Tune tune;
};

// Tune_10 .. Tune_18, each with its own key, tempo feel and style.
std::vector<TuneInfo> composeTunes();

// The strip image: 8x8 frames of 64x64, frame f = pattern f, pixel (8·voice + field, row);
// each field's value sits in the blue byte as value·8 + 4, red and green colour the voices.
Bitmap encodeStrip(const Tune& tune);

}  // namespace assets
