#include <stdexcept>
#include <string>

#include "tools/tunes.h"

namespace assets {

Tune::Tune() : events_(static_cast<size_t>(kStripVoices) * kStripPatterns * kPatternRows) {}

Event& Tune::at(int voice, int pattern, int row) {
    if (voice < 0 || voice >= kStripVoices || pattern < 0 || pattern >= kStripPatterns || row < 0 ||
        row >= kPatternRows)
        throw std::out_of_range("tune event outside the strip");
    return events_[(static_cast<size_t>(voice) * kStripPatterns + pattern) * kPatternRows + row];
}

const Event& Tune::at(int voice, int pattern, int row) const {
    return const_cast<Tune*>(this)->at(voice, pattern, row);
}

namespace {

// Per voice a hue, so the strip doubles as a readable picture of the tune.
void voiceColour(int voice, int field, bool set, uint8_t& r, uint8_t& g) {
    static const uint8_t hues[kStripVoices][2] = {{200, 60}, {230, 140}, {60, 220}, {40, 150},
                                                  {150, 90}, {40, 40},   {40, 40},  {40, 40}};
    const int dim = set ? 1 : 4;
    const int fieldShade = field == 0 ? 0 : 30;
    r = static_cast<uint8_t>(hues[voice][0] / dim / (1 + fieldShade / 30));
    g = static_cast<uint8_t>(hues[voice][1] / dim);
}

int fieldValue(const Event& e, int field) {
    switch (field) {
        case 0:
            return e.note;
        case 1:
            return e.volume;
        case 2:
            return e.command;
        case 3:
            return e.argument;
        default:
            return 0;
    }
}

}  // namespace

Bitmap encodeStrip(const Tune& tune) {
    constexpr int kFramesPerRow = 8;
    Bitmap out;
    out.width = kFramesPerRow * 64;
    out.height = (kStripPatterns / kFramesPerRow) * 64;
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
    for (int f = 0; f < kStripPatterns; ++f)
        for (int voice = 0; voice < kStripVoices; ++voice)
            for (int row = 0; row < kPatternRows; ++row)
                for (int field = 0; field < 8; ++field) {
                    const int value = fieldValue(tune.at(voice, f, row), field);
                    if (value < 0 || value > 31)
                        throw std::out_of_range(
                            "field value out of range: voice " + std::to_string(voice) +
                            " pattern " + std::to_string(f) + " row " + std::to_string(row) +
                            " field " + std::to_string(field) + " = " + std::to_string(value));
                    const int x = (f % kFramesPerRow) * 64 + voice * 8 + field;
                    const int y = (f / kFramesPerRow) * 64 + row;
                    uint8_t* p = &out.rgba[(static_cast<size_t>(y) * out.width + x) * 4];
                    voiceColour(voice, field, value != 0, p[0], p[1]);
                    // a zero field keeps blue under 8 so it decodes to 0
                    p[2] = static_cast<uint8_t>(value ? value * 8 + 4 : 2);
                    p[3] = 255;
                }
    return out;
}

}  // namespace assets
