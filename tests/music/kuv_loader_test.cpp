#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/image.h"
#include "tests/music/kuv_test_support.h"
#include "tests/runtime/console_capture.h"

namespace {

using kuvtest::Harness;
using kuvtest::PutEvent;
using kuvtest::ScratchDataDir;
using kuvtest::StripEvents;

// A tune with data in several patterns: voice 0 up to pattern 3, voice 2 up to 9, voice 4 only
// in pattern 0, strip 6 (never played) up to 62.
StripEvents VariedTune() {
    StripEvents events;
    PutEvent(events, 0, 0, 0, 13, 30);
    PutEvent(events, 3, 0, 8, 15, 20);
    PutEvent(events, 0, 2, 4, 13, 25, 1, 9);
    PutEvent(events, 9, 2, 63, 31, 31);
    PutEvent(events, 0, 4, 0, 1, 1);
    PutEvent(events, 62, 6, 1, 5, 0);
    return events;
}

struct Arrangement {
    std::vector<int> picks, patterns, muted, nextMuted, fillIn;
    int patternsLeft;
    bool operator==(const Arrangement& o) const {
        return picks == o.picks && patterns == o.patterns && muted == o.muted &&
               nextMuted == o.nextMuted && fillIn == o.fillIn && patternsLeft == o.patternsLeft;
    }
};

Arrangement ArrangementOf(const KuvPlayer& p) {
    Arrangement a;
    for (int i = 1; i <= 5; ++i) a.picks.push_back(p.instPicks[i]);
    for (int v = 0; v < 5; ++v) {
        a.patterns.push_back(p.voicePattern[v]);
        a.muted.push_back(p.voiceMuted[v]);
        a.nextMuted.push_back(p.voiceNextMuted[v]);
        a.fillIn.push_back(p.voiceFillIn[v]);
    }
    a.patternsLeft = p.patternsLeft;
    return a;
}

class KuvLoader : public ::testing::Test {
protected:
    void SetUp() override {
        dir.WriteInstruments();
        h.UseStrip(dir, "Test/Tune_1", VariedTune());
    }
    ScratchDataDir dir;
    Harness h;
};

TEST_F(KuvLoader, InitStoresTheChannelBaseAndInstrumentCounts) {
    KuvPlayer* p = h.player;
    EXPECT_EQ(p->baseChannel, 32);
    EXPECT_EQ(p->instCounts[1], 4);
    EXPECT_EQ(p->instCounts[2], 1);
    EXPECT_EQ(p->instCounts[3], 1);
    EXPECT_EQ(p->instCounts[4], 4);
    EXPECT_EQ(p->tempo, 95);
    EXPECT_EQ(p->voiceCount, 5);
    EXPECT_FLOAT_EQ(p->masterVolume, 0.5f);
    EXPECT_EQ(p->tuneData.Length(), 262145);
}

TEST_F(KuvLoader, StartingATuneWritesItsLineAndArmsTheLoader) {
    h.SetClockMillis(5000);
    CaptureConsole();
    h.player->Kuv_StartTune(T("Test/Tune_1"), 4242, 100);
    const std::string out = TakeConsoleOutput();
    EXPECT_EQ(out, "Playing  tunes/Test/Tune_1.png - 4242\n");
    KuvPlayer* p = h.player;
    EXPECT_EQ(p->tuneLoadStep, 1);
    EXPECT_TRUE(p->tuneName == T("tunes/Test/Tune_1.png"));
    EXPECT_EQ(p->nextTick, 5100);
    EXPECT_EQ(p->playState, 2);
    EXPECT_EQ(p->tempo, 100);
    EXPECT_EQ(p->tuneSeed, 4242);
    EXPECT_TRUE(p->chords == T("qqjj"));
    EXPECT_TRUE(p->patternsLeft == 2 || p->patternsLeft == 4);
    for (int v = 0; v < 5; ++v) EXPECT_EQ(p->voiceChannel[v], 32 - v);
}

TEST_F(KuvLoader, TheSameSeedAlwaysGivesTheSameArrangement) {
    h.StartAndLoad("Test/Tune_1", 777);
    h.player->Kuv_StartTune(T("Test/Tune_1"), 777, 95);
    const Arrangement first = ArrangementOf(*h.player);
    Seed = 99;  // whatever the game drew in between
    Rnd();
    h.player->Kuv_StartTune(T("Test/Tune_1"), 777, 95);
    EXPECT_TRUE(first == ArrangementOf(*h.player));
}

TEST_F(KuvLoader, SeedsGiveDifferentArrangements) {
    h.StartAndLoad("Test/Tune_1", 1);
    std::vector<Arrangement> seen;
    for (int seed = 1; seed <= 8; ++seed) {
        h.player->Kuv_StartTune(T("Test/Tune_1"), seed * 7919, 95);
        seen.push_back(ArrangementOf(*h.player));
    }
    int distinct = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        bool repeated = false;
        for (size_t j = 0; j < i; ++j) repeated = repeated || seen[i] == seen[j];
        if (!repeated) ++distinct;
    }
    EXPECT_GE(distinct, 6);
}

TEST_F(KuvLoader, PicksStayWithinTheInstrumentCounts) {
    for (int seed = 0; seed < 200; ++seed) {
        h.player->Kuv_StartTune(T("Test/Tune_1"), seed * 104729, 95);
        const KuvPlayer* p = h.player;
        ASSERT_GE(p->instPicks[1], 1);
        ASSERT_LE(p->instPicks[1], 4);
        ASSERT_GE(p->instPicks[2], 1);
        ASSERT_LE(p->instPicks[2], 4);
        ASSERT_EQ(p->instPicks[3], 1);
        ASSERT_EQ(p->instPicks[4], 1);
        ASSERT_GE(p->instPicks[5], 1);
        ASSERT_LE(p->instPicks[5], 4);
        ASSERT_FALSE(p->voiceMuted[0] == 1 && p->voiceMuted[1] == 1) << "seed " << seed;
    }
}

TEST_F(KuvLoader, SeedsMatchTheGeneratorRecipe) {
    // The first drum kit: reseed with the tune seed, skip eleven draws, draw 1..4.
    const int seed = 31337;
    Seed = seed;
    for (int i = 0; i < 11; ++i) h.player->Rand(1, 5);
    const int firstKit = h.player->Rand(1, 4);
    // Voice 3's fill-in flag: reseed with seed + 21, skip eleven, pattern, next-muted, fill-in.
    Seed = seed + 7 * 3;
    for (int i = 0; i < 11; ++i) h.player->Rand(1, 5);
    h.player->Rand(0, 0);
    h.player->Rand(0, 1);
    const int fillIn = h.player->Rand(0, 1);

    h.player->Kuv_StartTune(T("Test/Tune_1"), seed, 95);
    EXPECT_EQ(h.player->instPicks[1], firstKit);
    EXPECT_EQ(h.player->voiceFillIn[3], fillIn);
}

TEST_F(KuvLoader, RandIncludesBothEnds) {
    Seed = 5;
    int low = 0, high = 0;
    for (int i = 0; i < 2000; ++i) {
        const int r = h.player->Rand(10, 18);
        ASSERT_GE(r, 10);
        ASSERT_LE(r, 18);
        low += r == 10;
        high += r == 18;
    }
    EXPECT_GT(low, 100);
    EXPECT_GT(high, 100);
}

TEST_F(KuvLoader, SeventyStepsLoadTheTuneThreePerRender) {
    h.player->Kuv_StartTune(T("Test/Tune_1"), 5, 95);
    int renders = 0;
    while (h.player->tuneLoadStep > 0) {
        const int before = h.player->tuneLoadStep;
        h.Render([&] { h.player->Kuv_Alive_R(); });
        ++renders;
        const int after = h.player->tuneLoadStep;
        EXPECT_TRUE(after == 0 || after == before + 3) << before << " -> " << after;
        ASSERT_LT(renders, 100);
    }
    EXPECT_EQ(renders, 24);  // 70 steps, three at a time
    EXPECT_EQ(h.readBacks, 63);
}

TEST_F(KuvLoader, EveryRenderEndsWithABlackClear) {
    h.recorder.Clear();
    h.Render([&] { h.player->Kuv_Alive_R(); });  // nothing to load
    const std::vector<GlCall> colours = h.recorder.Named("glClearColor");
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back().args, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(h.readBacks, 0);
}

TEST_F(KuvLoader, StepFiveLoadsDrumSampleFourAndDecodesPatternZero) {
    KuvPlayer* p = h.player;
    p->Kuv_StartTune(T("Test/Tune_1"), 5, 95);
    h.Render([&] {
        for (int step = 1; step <= 4; ++step) p->Kuv_LoadChunk();
    });
    EXPECT_TRUE(p->drumsA[3] != nullptr);
    EXPECT_TRUE(p->drumsA[4] == nullptr);
    EXPECT_EQ(h.readBacks, 0);
    CaptureConsole();
    h.Render([&] { p->Kuv_LoadChunk(); });
    const std::string printed = TakeConsoleOutput();
    EXPECT_TRUE(p->drumsA[4] != nullptr);
    EXPECT_EQ(h.readBacks, 1);
    EXPECT_EQ(h.lastFrameRead, 0);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(0, 0, 0, 0)], 13);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(0, 0, 0, 1)], 30);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(0, 2, 4, 2)], 1);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(0, 2, 4, 3)], 9);
    // One line per decoded field: row, strip and loading step.
    EXPECT_NE(printed.find("0:0:5\n"), std::string::npos);
    EXPECT_NE(printed.find("4:2:5\n"), std::string::npos);
    EXPECT_EQ(p->tuneLoadStep, 6);
}

TEST_F(KuvLoader, SamplesComeFromThePickedInstruments) {
    KuvPlayer* p = h.player;
    p->Kuv_StartTune(T("Test/Tune_1"), 5, 95);
    h.LoadWholeTune();
    for (int s = 1; s <= 8; ++s) {
        EXPECT_TRUE(p->drumsA[s] != nullptr) << s;
        EXPECT_TRUE(p->drumsB[s] != nullptr) << s;
    }
    EXPECT_TRUE(p->drumsA[0] == nullptr);
    EXPECT_TRUE(p->melodic[2] != nullptr);
    EXPECT_TRUE(p->melodic[3] != nullptr);
    EXPECT_TRUE(p->melodic[4] != nullptr);
}

TEST_F(KuvLoader, StepsTenElevenAndTwentyLoadNothing) {
    KuvPlayer* p = h.player;
    p->Kuv_StartTune(T("Test/Tune_1"), 5, 95);
    for (int step = 1; step <= 70; ++step) {
        const int before = p->tuneLoadStep;
        ASSERT_EQ(before, step);
        // Only count the samples touched: the sample loads are the only things that allocate
        // Sound objects, so compare every slot before and after.
        std::vector<Sound*> slots;
        for (int s = 0; s < 9; ++s) slots.push_back(p->drumsA[s]), slots.push_back(p->drumsB[s]);
        for (int s = 0; s < 8; ++s) slots.push_back(p->melodic[s]);
        h.Render([&] { p->Kuv_LoadChunk(); });
        std::vector<Sound*> after;
        for (int s = 0; s < 9; ++s) after.push_back(p->drumsA[s]), after.push_back(p->drumsB[s]);
        for (int s = 0; s < 8; ++s) after.push_back(p->melodic[s]);
        const bool loadsSample =
            (step >= 2 && step <= 9) || (step >= 12 && step <= 19) || (step >= 21 && step <= 23);
        EXPECT_EQ(slots != after, loadsSample) << "step " << step;
    }
    EXPECT_EQ(p->tuneLoadStep, 0);
}

TEST_F(KuvLoader, LoadingPushesPlaybackBackEveryStep) {
    KuvPlayer* p = h.player;
    h.SetClockMillis(1000);
    p->Kuv_StartTune(T("Test/Tune_1"), 5, 95);
    h.SetClockMillis(2000);
    h.LoadWholeTune();
    EXPECT_EQ(p->nextTick, 2100);
}

TEST_F(KuvLoader, LastPatternIsTheHighestPatternWithData) {
    h.StartAndLoad("Test/Tune_1", 5);
    const KuvPlayer* p = h.player;
    EXPECT_EQ(p->lastPattern[0], 3);
    EXPECT_EQ(p->lastPattern[1], 0);
    EXPECT_EQ(p->lastPattern[2], 9);
    EXPECT_EQ(p->lastPattern[4], 0);
    EXPECT_EQ(p->lastPattern[6], 62);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(9, 2, 63, 0)], 31);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(9, 2, 63, 1)], 31);
    EXPECT_EQ(p->tuneData[kuv::TuneIndex(62, 6, 1, 0)], 5);
}

TEST_F(KuvLoader, AVoiceWithDataOnlyInPatternZeroAlwaysPlaysPatternZero) {
    h.StartAndLoad("Test/Tune_1", 5);
    for (int seed = 0; seed < 50; ++seed) {
        h.player->Kuv_StartTune(T("Test/Tune_1"), seed * 131, 95);
        ASSERT_EQ(h.player->voicePattern[4], 0);
        ASSERT_LE(h.player->voicePattern[0], 3);
        ASSERT_LE(h.player->voicePattern[2], 9);
    }
}

TEST_F(KuvLoader, ARepeatedTuneLoadsNothingButRedrawsTheArrangement) {
    h.StartAndLoad("Test/Tune_1", 11);
    Sound* const kick = h.player->drumsA[1];
    const int reads = h.readBacks;

    h.player->Kuv_StartTune(T("Test/Tune_1"), 12, 95);
    EXPECT_EQ(h.player->tuneLoadStep, 0);
    EXPECT_EQ(h.player->lastPattern[2], 9);
    const Arrangement redrawn = ArrangementOf(*h.player);
    h.LoadWholeTune();
    EXPECT_EQ(h.readBacks, reads);
    EXPECT_EQ(h.player->drumsA[1].get(), kick);

    // The same draws as a fresh player makes for that seed once it knows the strip.
    KuvPlayer* fresh = gc_new<KuvPlayer>();
    fresh->Kuv_Init(32, 4, 1, 1, 4);
    fresh->tuneName = T("tunes/Test/Tune_1.png");
    for (int strip = 0; strip < 8; ++strip)
        fresh->lastPattern[strip] = h.player->lastPattern[strip];
    fresh->Kuv_StartTune(T("Test/Tune_1"), 12, 95);
    EXPECT_TRUE(redrawn == ArrangementOf(*fresh));
}

TEST_F(KuvLoader, ANewTuneStartsEveryVoiceAtPatternZero) {
    h.StartAndLoad("Test/Tune_1", 11);
    h.UseStrip(dir, "Test/Tune_2", VariedTune());
    for (int seed = 0; seed < 20; ++seed) {
        h.player->Kuv_StartTune(T(("Test/Tune_" + std::to_string(2 + seed % 2)).c_str()), seed, 95);
        for (int v = 0; v < 5; ++v) ASSERT_EQ(h.player->voicePattern[v], 0);
        ASSERT_EQ(h.player->tuneLoadStep, 1);
    }
}

TEST_F(KuvLoader, AMissingTunePlaysSilenceEvenAfterAnotherTune) {
    h.StartAndLoad("Test/Tune_1", 11);
    h.player->Kuv_StartTune(T("Test/Missing"), 3, 95);
    h.LoadWholeTune();
    EXPECT_TRUE(h.player->tuneImage == nullptr);
    int nonZero = 0;
    for (int value : h.player->tuneData) nonZero += value != 0;
    EXPECT_EQ(nonZero, 0);
    // A whole section of steps with every voice audible starts no channel.
    for (int v = 0; v < 5; ++v) h.player->voiceMuted[v] = 0;
    for (int step = 0; step < 64 * 4; ++step) h.PlayStepNow();
    for (int channel = 27; channel <= 32; ++channel) EXPECT_EQ(h.Channel(channel).state, 0);
    EXPECT_GT(h.player->section, 0);
}

TEST_F(KuvLoader, AStripTooSmallForItsPatternsIsNotATune) {
    StripEvents events;
    PutEvent(events, 0, 0, 0, 13, 30);
    kuvtest::StripPicture::Make(events, 8, 32).Save(dir.Data("tunes/Test/Short.png"));
    h.player->Kuv_StartTune(T("Test/Short"), 3, 95);
    h.LoadWholeTune();
    EXPECT_TRUE(h.player->tuneImage == nullptr);
    EXPECT_EQ(h.readBacks, 0);
}

TEST_F(KuvLoader, AGridStripIsCutRowByRow) {
    StripEvents events;
    PutEvent(events, 0, 0, 0, 13, 30);
    PutEvent(events, 9, 1, 2, 15, 20);
    PutEvent(events, 62, 3, 63, 20, 10);
    h.UseStrip(dir, "Test/Grid", events, 8);
    h.StartAndLoad("Test/Grid", 3);
    EXPECT_EQ(h.player->tuneData[kuv::TuneIndex(9, 1, 2, 0)], 15);
    EXPECT_EQ(h.player->tuneData[kuv::TuneIndex(62, 3, 63, 1)], 10);
    EXPECT_EQ(h.player->lastPattern[3], 62);
}

TEST_F(KuvLoader, TheSoftwareRasterDecodesTheStripAsItsFile) {
    // The whole drawing path, headless: backdrop, strip frame and read-back all rasterised.
    h.recorder.frameBuffer = nullptr;
    h.recorder.EnableSoftwareRaster(640, 480);
    h.StartAndLoad("Test/Tune_1", 5);
    const StripEvents events = VariedTune();
    int mismatches = 0;
    for (int pattern = 0; pattern < kuv::kReadPatternCount; ++pattern) {
        for (int strip = 0; strip < 8; ++strip) {
            for (int row = 0; row < 64; ++row) {
                for (int field = 0; field < 8; ++field) {
                    const auto found = events.find({pattern, strip, row, field});
                    const int expected = found == events.end() ? 0 : found->second;
                    const int got = h.player->tuneData[kuv::TuneIndex(pattern, strip, row, field)];
                    if (got != expected) {
                        ++mismatches;
                        ADD_FAILURE() << pattern << "/" << strip << "/" << row << "/" << field
                                      << ": " << got << " instead of " << expected;
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(h.player->lastPattern[6], 62);
}

// The decoded tune is all the player needs: the strip's texture goes as soon as the last pattern
// is read, not whenever the collector frees the image (one texture more for every tune played).
TEST_F(KuvLoader, TheStripsTextureGoesOnceEveryPatternIsRead) {
    static gc_ref<gxtkSurface> strip;
    gc_add_root(strip);
    for (int tune = 0; tune < 3; ++tune) {
        const std::string name = "Test/Tune_" + std::to_string(tune + 1);
        h.UseStrip(dir, name, VariedTune());
        h.player->Kuv_StartTune(T(name.c_str()), 11 + tune, 95);
        strip = nullptr;
        while (h.player->tuneLoadStep > 0) {
            h.Render([this] {
                h.player->Kuv_LoadChunk();
                if (!strip && h.player->tuneImage) strip = h.player->tuneImage->surface;
            });
        }
        ASSERT_TRUE(strip != nullptr) << "tune " << tune;
        EXPECT_EQ(strip->texture, 0u) << "tune " << tune;
        EXPECT_TRUE(h.player->tuneImage == nullptr) << "tune " << tune;
    }
    EXPECT_EQ(h.player->tuneData[kuv::TuneIndex(0, 0, 0, 0)], 13);
    EXPECT_EQ(h.player->tuneData[kuv::TuneIndex(9, 2, 63, 0)], 31);
    strip = nullptr;
    gc_remove_root(&strip);
}

TEST_F(KuvLoader, ThePlayerSurvivesAFullCollection) {
    static gc_ref<KuvPlayer> root;
    gc_add_root(root);
    root = h.player;
    h.StartAndLoad("Test/Tune_1", 11);
    for (int pass = 0; pass < 3; ++pass) {
        gc_force_sweep = true;
        gc_mark();
        gc_collect();
    }
    EXPECT_EQ(h.player->tuneData[kuv::TuneIndex(0, 0, 0, 0)], 13);
    EXPECT_EQ(h.player->lastPattern.Length(), 8);
    ASSERT_TRUE(h.player->drumsA[1] != nullptr);
    EXPECT_TRUE(h.player->drumsA[1]->sample != nullptr);
    root = nullptr;
    gc_remove_root(&root);
}

}  // namespace
