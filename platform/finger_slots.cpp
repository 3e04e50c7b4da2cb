#include "platform/finger_slots.h"

int FingerSlots::Press(long id) {
    const int held = Find(id);
    if (held >= 0) return held;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (used_[slot]) continue;
        used_[slot] = true;
        ids_[slot] = id;
        return slot;
    }
    return -1;
}

int FingerSlots::Find(long id) const {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (used_[slot] && ids_[slot] == id) return slot;
    }
    return -1;
}

int FingerSlots::Release(long id) {
    const int slot = Find(id);
    if (slot >= 0) used_[slot] = false;
    return slot;
}
