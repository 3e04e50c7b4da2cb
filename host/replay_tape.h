// The body of a replay: a byte stream of what the window delivered between hooks (keys,
// characters, buttons, the wheel, a new size) and, for each hook the frame loop ran, the hook's
// kind followed by every reading of the outside world it made, in the order it made them.
// Played back in that order, the same program makes the same readings and ends in the same
// state; a reading of another kind than the tape holds means the program is not the one that
// recorded it.
//
// Numbers are varints; clock readings and cursor positions are deltas from the previous one of
// their kind, so an update of steady play costs a few bytes before compression.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TapeTag : uint8_t {
    // Readings inside a hook or an event.
    kTime = 1,       // whole milliseconds, as a delta
    kCursor,         // sixteenths of a window unit, as deltas
    kJoyAxes,        // count, then each value's bits
    kJoyButtons,     // count, then each state
    kGamepad,        // 0, or 1 then the buttons and axes
    kKeyDown,        // 0 or 1
    kFullscreen,     // 0 or 1
    kSetFullscreen,  // 0 or 1
    kWindowPos,      // 0, or 1 then x, y
    kWorkAreas,      // count, then each area's x, y, width, height
    // Hooks the frame loop ran.
    kUpdate = 16,
    kRender,
    kSuspend,
    kResume,
    // What the window delivered between hooks.
    kKey = 24,  // key token, action
    kChar,      // code point
    kButton,    // button, action
    kScroll,    // the notches' bits
    kSize,      // window width, height, drawable width, height
    kTouch,     // finger, action, then the position's bits
    kEnd = 31,
};

// A tag that starts a hook or an event, as opposed to a reading inside one.
bool IsTapeStep(TapeTag tag);

class TapeWriter {
public:
    // A recorder reserves room for a long game, so steady play never grows the buffer.
    explicit TapeWriter(size_t reserve = 0);
    void Clear();
    void Tag(TapeTag tag) { Byte(static_cast<uint8_t>(tag)); }
    void Unsigned(uint64_t value);
    void Signed(int64_t value);
    void FloatBits(float value);
    void DoubleBits(double value);
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

    // Deltas carried between readings.
    int64_t lastMillis = 0;
    int64_t lastCursorX = 0;
    int64_t lastCursorY = 0;

private:
    void Byte(uint8_t b) { bytes_.push_back(b); }
    std::vector<uint8_t> bytes_;
};

// Reads a tape; any shortfall or nonsense sets Failed() and every later read returns zeros, so
// a damaged tape ends the playback at the next step instead of running wild.
class TapeReader {
public:
    TapeReader() = default;
    explicit TapeReader(const std::vector<uint8_t>* bytes) : bytes_(bytes) {}

    bool AtEnd() const { return !bytes_ || pos_ >= bytes_->size(); }
    bool Failed() const { return failed_; }
    const std::string& Why() const { return why_; }
    void Fail(const std::string& why);
    // The next tag without taking it; kEnd at the end of the bytes.
    TapeTag Peek() const;
    // Takes the next tag if it is `expected`; otherwise fails with a desync.
    bool Expect(TapeTag expected);
    TapeTag TakeTag();
    uint64_t Unsigned();
    int64_t Signed();
    float FloatBits();
    double DoubleBits();

    int64_t lastMillis = 0;
    int64_t lastCursorX = 0;
    int64_t lastCursorY = 0;

private:
    uint8_t Byte();
    const std::vector<uint8_t>* bytes_ = nullptr;
    size_t pos_ = 0;
    bool failed_ = false;
    std::string why_;
};

// What a whole tape holds, read through without playing it: a cheap check before a long run.
struct TapeSummary {
    bool ok = false;
    std::string why;
    long updates = 0;
    long hooks = 0;  // updates, renders, suspends and resumes
};
TapeSummary WalkTape(const std::vector<uint8_t>& bytes);

// The clock as a replay keeps it: whole milliseconds, handed back as the middle of that
// millisecond so that every reader truncating it to milliseconds gets the same number.
int64_t TapeMillis(double seconds);
double TapeSeconds(int64_t millis);
// The cursor in sixteenths of a window unit.
int64_t TapeCursor(double units);
double TapeCursorUnits(int64_t sixteenths);
