#include "host/replay_tape.h"

#include <cmath>
#include <cstring>

namespace {
// Far beyond anything a clock or a cursor reads; keeps the conversions defined.
constexpr double kLargest = 1e15;
}  // namespace

bool IsTapeStep(TapeTag tag) {
    return static_cast<uint8_t>(tag) >= static_cast<uint8_t>(TapeTag::kUpdate);
}

TapeWriter::TapeWriter(size_t reserve) {
    bytes_.reserve(reserve);
}

void TapeWriter::Clear() {
    bytes_.clear();
    lastMillis = 0;
    lastCursorX = 0;
    lastCursorY = 0;
}

void TapeWriter::Unsigned(uint64_t value) {
    while (value >= 0x80) {
        Byte(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    Byte(static_cast<uint8_t>(value));
}

void TapeWriter::Signed(int64_t value) {
    // Zigzag: small magnitudes of either sign stay short.
    const uint64_t bits = static_cast<uint64_t>(value);
    const uint64_t sign = (bits >> 63) != 0 ? ~uint64_t{0} : 0;
    Unsigned((bits << 1) ^ sign);
}

void TapeWriter::FloatBits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    Unsigned(bits);
}

void TapeWriter::DoubleBits(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    Unsigned(bits);
}

void TapeReader::Fail(const std::string& why) {
    if (failed_) return;
    failed_ = true;
    why_ = why;
}

uint8_t TapeReader::Byte() {
    if (failed_) return 0;
    if (AtEnd()) {
        Fail("the replay is cut short");
        return 0;
    }
    return (*bytes_)[pos_++];
}

TapeTag TapeReader::Peek() const {
    if (failed_ || AtEnd()) return TapeTag::kEnd;
    return static_cast<TapeTag>((*bytes_)[pos_]);
}

TapeTag TapeReader::TakeTag() {
    return static_cast<TapeTag>(Byte());
}

bool TapeReader::Expect(TapeTag expected) {
    if (failed_) return false;
    if (Peek() != expected) {
        Fail("the replay does not match this build: it went another way at byte " +
             std::to_string(pos_));
        return false;
    }
    ++pos_;
    return true;
}

uint64_t TapeReader::Unsigned() {
    uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const uint8_t b = Byte();
        value |= static_cast<uint64_t>(b & 0x7f) << shift;
        if ((b & 0x80) == 0) return value;
    }
    Fail("the replay holds a number too long to be one");
    return 0;
}

int64_t TapeReader::Signed() {
    const uint64_t z = Unsigned();
    return static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1);
}

float TapeReader::FloatBits() {
    const uint64_t raw = Unsigned();
    if (raw > 0xffffffffu) Fail("the replay holds a value out of range");
    const uint32_t bits = static_cast<uint32_t>(raw);
    float value = 0;
    std::memcpy(&value, &bits, 4);
    return value;
}

double TapeReader::DoubleBits() {
    const uint64_t bits = Unsigned();
    double value = 0;
    std::memcpy(&value, &bits, 8);
    return value;
}

int64_t TapeMillis(double seconds) {
    const double ms = seconds * 1000.0;
    if (!(ms > -kLargest && ms < kLargest)) return 0;
    return static_cast<int64_t>(std::floor(ms));
}

double TapeSeconds(int64_t millis) {
    return (static_cast<double>(millis) + 0.5) / 1000.0;
}

int64_t TapeCursor(double units) {
    const double s = units * 16.0;
    if (!(s > -kLargest && s < kLargest)) return 0;
    return static_cast<int64_t>(std::llround(s));
}

double TapeCursorUnits(int64_t sixteenths) {
    return static_cast<double>(sixteenths) / 16.0;
}

TapeSummary WalkTape(const std::vector<uint8_t>& bytes) {
    // More joystick values than any pad has is damage (the platform reads at most 32).
    constexpr uint64_t kMostJoyValues = 64;
    constexpr uint64_t kMostWorkAreas = 16;
    constexpr int kPadButtons = 15;
    constexpr int kPadAxes = 6;
    TapeSummary summary;
    TapeReader r(&bytes);
    bool ended = false;
    while (!r.AtEnd() && !r.Failed()) {
        if (ended) {
            r.Fail("the replay goes on past its end");
            break;
        }
        const TapeTag tag = r.TakeTag();
        switch (tag) {
            case TapeTag::kTime:
                r.Signed();
                break;
            case TapeTag::kCursor:
                r.Signed();
                r.Signed();
                break;
            case TapeTag::kJoyAxes:
            case TapeTag::kJoyButtons: {
                const uint64_t count = r.Unsigned();
                if (count > kMostJoyValues) r.Fail("the replay holds an impossible joystick");
                for (uint64_t i = 0; i < count && !r.Failed(); ++i) r.Unsigned();
                break;
            }
            case TapeTag::kGamepad:
                if (r.Unsigned() != 0) {
                    for (int i = 0; i < kPadButtons + kPadAxes; ++i) r.Unsigned();
                }
                break;
            case TapeTag::kWindowPos:
                if (r.Unsigned() != 0) {
                    r.Signed();
                    r.Signed();
                }
                break;
            case TapeTag::kWorkAreas: {
                const uint64_t count = r.Unsigned();
                if (count > kMostWorkAreas) r.Fail("the replay holds an impossible desktop");
                for (uint64_t i = 0; i < 4 * count && !r.Failed(); ++i) r.Signed();
                break;
            }
            case TapeTag::kKeyDown:
            case TapeTag::kFullscreen:
            case TapeTag::kSetFullscreen:
            case TapeTag::kChar:
                r.Unsigned();
                break;
            case TapeTag::kUpdate:
                ++summary.updates;
                ++summary.hooks;
                break;
            case TapeTag::kRender:
            case TapeTag::kSuspend:
            case TapeTag::kResume:
                ++summary.hooks;
                break;
            case TapeTag::kKey:
                r.Signed();
                r.Unsigned();
                break;
            case TapeTag::kButton:
                r.Unsigned();
                r.Unsigned();
                break;
            case TapeTag::kScroll:
                r.Unsigned();
                break;
            case TapeTag::kTouch:
                for (int i = 0; i < 4; ++i) r.Unsigned();
                break;
            case TapeTag::kSize:
                for (int i = 0; i < 4; ++i) r.Unsigned();
                break;
            case TapeTag::kEnd:
                ended = true;
                break;
            default:
                r.Fail("the replay holds a step this build does not know");
                break;
        }
    }
    if (!r.Failed() && !ended) r.Fail("the replay is cut short");
    summary.ok = !r.Failed();
    summary.why = r.Why();
    return summary;
}
