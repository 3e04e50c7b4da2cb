// Texts the screens show every update but that change only now and then (the HUD's score and
// energy, the menu's score columns, the round caption). Building a String allocates, so each
// text is kept from one update to the next together with the values it shows, and built again
// only when one of those values changes: steady play and the menu allocate nothing.
#pragma once

#include <algorithm>

#include "runtime/string.h"

namespace vexmo {

template <int Count>
class CachedTexts {
public:
    // The most values a text may be keyed on: a score column shows its row count and ten scores.
    static constexpr int kMaxKey = 12;

    // True when the texts must be built for these values (the first time, after Forget, or when
    // a value differs from those the texts were last built for); the values are then remembered,
    // so the caller builds the texts at once.
    // A key longer than kMaxKey is never remembered: such texts are built every time.
    bool Stale(const int* key, int length) {
        if (length < 0 || length > kMaxKey) {
            valid_ = false;
            return true;
        }
        if (valid_ && length == keyLength_ && std::equal(key, key + length, key_)) return false;
        std::copy(key, key + length, key_);
        keyLength_ = length;
        valid_ = true;
        return true;
    }
    // The next Stale call answers true: the texts are built afresh.
    void Forget() { valid_ = false; }

    String& operator[](int i) { return texts_[i]; }
    const String& operator[](int i) const { return texts_[i]; }

private:
    String texts_[Count];
    int key_[kMaxKey] = {};
    int keyLength_ = 0;
    bool valid_ = false;
};

}  // namespace vexmo
