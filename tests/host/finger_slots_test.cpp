#include "platform/finger_slots.h"

#include <gtest/gtest.h>

namespace {

// Each step: a finger id goes down (+) or lifts (-); the slot it gets or frees.
struct Step {
    char what;
    long id;
    int slot;
};

TEST(FingerSlots, FingersTakeTheFirstFreeSlotAndKeepItUntilTheyLift) {
    const Step steps[] = {
        {'+', 7, 0},   {'+', 3, 1},
        {'+', 9, 2},   {'-', 7, 0},   // the first finger lifts: slot 0 is free, the others stay
        {'+', 3, 1},                  // a repeated press (its lift was lost) keeps its slot
        {'+', 40, 0},                 // the next finger down takes the freed slot 0
        {'-', 99, -1},                // a finger that never went down frees nothing
        {'-', 3, 1},   {'-', 3, -1},  // lifting twice frees once
        {'+', 7, 1},                  // ids come back after a lift
    };
    FingerSlots slots;
    for (const Step& s : steps) {
        const int got = s.what == '+' ? slots.Press(s.id) : slots.Release(s.id);
        EXPECT_EQ(got, s.slot) << s.what << s.id;
    }
    EXPECT_EQ(slots.Find(40), 0);
    EXPECT_EQ(slots.Find(9), 2);
    EXPECT_EQ(slots.Find(3), -1);
}

TEST(FingerSlots, AnEleventhFingerGetsNoSlot) {
    FingerSlots slots;
    for (long id = 0; id < FingerSlots::kSlots; ++id) EXPECT_EQ(slots.Press(100 + id), id);
    EXPECT_EQ(slots.Press(5), -1);
    EXPECT_EQ(slots.Find(5), -1);
    EXPECT_EQ(slots.Release(104), 4);
    EXPECT_EQ(slots.Press(5), 4);
}

}  // namespace
