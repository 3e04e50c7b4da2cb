#include "music/kuv_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

TEST(KuvTables, NoteThirteenPlaysAtRecordedSpeed) {
    EXPECT_FLOAT_EQ(kuv::NoteRate(13), 1.0f);
}

TEST(KuvTables, OctavesHalveAndDoubleTheRate) {
    EXPECT_FLOAT_EQ(kuv::NoteRate(1), 0.5f);
    EXPECT_FLOAT_EQ(kuv::NoteRate(25), 2.0f);
}

TEST(KuvTables, RatesStayWithinAHalfPercentOfEqualTemperament) {
    for (int note = 1; note <= 32; ++note) {
        const double tempered = std::pow(2.0, (note - 13) / 12.0);
        EXPECT_NEAR(kuv::NoteRate(note) / tempered, 1.0, 0.005) << "note " << note;
    }
}

TEST(KuvTables, RatesRiseStrictlyWithTheNote) {
    for (int note = 2; note <= 32; ++note) EXPECT_GT(kuv::NoteRate(note), kuv::NoteRate(note - 1));
}

TEST(KuvTables, NotesOutsideTheTableHaveNoRate) {
    EXPECT_EQ(kuv::NoteRate(0), 0.0f);
    EXPECT_EQ(kuv::NoteRate(33), 0.0f);
    EXPECT_EQ(kuv::NoteRate(-1), 0.0f);
}

TEST(KuvTables, ChordLettersNameTheirIntervals) {
    EXPECT_EQ(kuv::NoteOfLetter('q'), 13);  // root
    EXPECT_EQ(kuv::NoteOfLetter('j'), 11);  // a tone down
    EXPECT_EQ(kuv::NoteOfLetter('b'), 8);   // a fourth down
    EXPECT_EQ(kuv::NoteOfLetter('z'), 1);   // an octave down
    EXPECT_EQ(kuv::NoteOfLetter(']'), 32);
}

TEST(KuvTables, EveryNoteHasExactlyOneLetter) {
    const char* letters = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";
    ASSERT_EQ(std::strlen(letters), 32u);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(kuv::NoteOfLetter(letters[i]), i + 1);
}

TEST(KuvTables, OtherCharactersNameNoNote) {
    EXPECT_EQ(kuv::NoteOfLetter(0), 0);
    EXPECT_EQ(kuv::NoteOfLetter(' '), 0);
    EXPECT_EQ(kuv::NoteOfLetter('Q'), 0);
    EXPECT_EQ(kuv::NoteOfLetter('a'), 0);
    EXPECT_EQ(kuv::NoteOfLetter(0x2192), 0);
    EXPECT_EQ(kuv::NoteOfLetter(-5), 0);
}

TEST(KuvTables, ProgressionsByNumber) {
    EXPECT_STREQ(kuv::ChordLetters(0), "qqqq");
    EXPECT_STREQ(kuv::ChordLetters(1), "qqjj");
    EXPECT_STREQ(kuv::ChordLetters(2), "qqbb");
    EXPECT_STREQ(kuv::ChordLetters(3), "qbqb");
    EXPECT_STREQ(kuv::ChordLetters(4), "qqqj");
    EXPECT_STREQ(kuv::ChordLetters(5), "qqzz");
}

TEST(KuvTables, UnknownProgressionFallsBackToTheDefault) {
    EXPECT_STREQ(kuv::ChordLetters(6), "qqjj");
    EXPECT_STREQ(kuv::ChordLetters(-1), "qqjj");
}

}  // namespace
