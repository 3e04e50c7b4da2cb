// Which slot (0..9) each finger on a touch screen holds: a finger takes the first free slot when
// it goes down and keeps it until it lifts, so slot 0 stays with the first finger while others
// come and go. Fingers are named by the window system's ids, which are reused after a lift.
#pragma once

class FingerSlots {
public:
    static constexpr int kSlots = 10;

    // The slot for a finger going down: its own if it is down already (its lift was lost),
    // else the first free one; -1 when all are taken.
    int Press(long id);
    // The slot a finger holds, or -1 when it is not down.
    int Find(long id) const;
    // Frees the finger's slot and returns it, or -1 when it was not down.
    int Release(long id);

private:
    long ids_[kSlots] = {};
    bool used_[kSlots] = {};
};
