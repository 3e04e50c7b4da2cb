// The range a slice takes from a sequence of a given length, shared by strings and arrays:
// a negative bound counts from the end, a start before the beginning becomes 0, and bounds past
// the end become the length. The range is empty when to <= from.
#pragma once

struct SliceRange {
    int from;
    int to;
    bool Empty() const { return to <= from; }
};

inline SliceRange ClampSlice(int from, int to, int length) {
    if (from < 0) {
        from += length;
        if (from < 0) from = 0;
    } else if (from > length) {
        from = length;
    }
    if (to < 0) {
        to += length;
    } else if (to > length) {
        to = length;
    }
    return {from, to};
}
