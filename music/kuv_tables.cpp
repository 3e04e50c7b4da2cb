#include "music/kuv_tables.h"

#include <cstring>

namespace kuv {
namespace {

// Rounded equal-tempered semitones, two octaves and a bit around note 13. The rounding is part
// of the sound of the game, so the rates are listed rather than computed.
constexpr float kNoteRates[32] = {
    0.5f,   0.5295f, 0.561f, 0.5945f, 0.63f,  0.6675f, 0.707f, 0.749f, 0.7935f, 0.841f, 0.891f,
    0.944f, 1.0f,    1.059f, 1.122f,  1.189f, 1.26f,   1.335f, 1.414f, 1.498f,  1.587f, 1.682f,
    1.782f, 1.888f,  2.0f,   2.118f,  2.244f, 2.378f,  2.52f,  2.67f,  2.828f,  2.996f,
};

// Two keyboard rows read as a piano: the lower row is the low octave, the upper row the high one.
constexpr char kNoteLetters[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

constexpr const char* kProgressions[] = {"qqqq", "qqjj", "qqbb", "qbqb", "qqqj", "qqzz"};
constexpr int kProgressionCount = sizeof(kProgressions) / sizeof(kProgressions[0]);
constexpr int kDefaultProgression = 1;

}  // namespace

float NoteRate(int note) {
    if (note < 1 || note > 32) return 0.0f;
    return kNoteRates[note - 1];
}

int NoteOfLetter(int letter) {
    if (letter <= 0 || letter > 127) return 0;
    const char* found = std::strchr(kNoteLetters, letter);
    if (found == nullptr) return 0;
    return static_cast<int>(found - kNoteLetters) + 1;
}

const char* ChordLetters(int n) {
    if (n < 0 || n >= kProgressionCount) return kProgressions[kDefaultProgression];
    return kProgressions[n];
}

}  // namespace kuv
