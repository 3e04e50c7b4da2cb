#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/music/kuv_test_support.h"

namespace {

using kuvtest::Harness;
using kuvtest::PutEvent;
using kuvtest::ScratchDataDir;
using kuvtest::StripEvents;

constexpr int kDrumChannelA = 31;
constexpr int kDrumChannelB = 30;
constexpr int kLeadChannel = 29;
constexpr int kBassChannel = 27;

// A loaded tune with every voice audible, on pattern 0, at row 0, and no pending fill-ins.
class KuvSequencer : public ::testing::Test {
protected:
    void SetUp() override {
        dir.WriteInstruments();
        StripEvents events;
        PutEvent(events, 0, 0, 0, 13, 30);
        PutEvent(events, 0, 2, 0, 13, 30);
        PutEvent(events, 1, 2, 0, 15, 30);
        h.UseStrip(dir, "Test/Seq", events);
        h.SetClockMillis(1000);
        h.StartAndLoad("Test/Seq", 21);
        ClearTune();
        for (int v = 0; v < 5; ++v) {
            p()->voiceMuted[v] = 0;
            p()->voiceNextMuted[v] = 0;
            p()->voiceFillIn[v] = 0;
            p()->voicePattern[v] = 0;
        }
        p()->patternsLeft = 4;
    }

    KuvPlayer* p() { return h.player; }
    void ClearTune() {
        for (int& value : p()->tuneData) value = 0;
    }
    void Event(int pattern, int voice, int row, int note, int volume, int command = 0,
               int argument = 0) {
        const int at = kuv::TuneIndex(pattern, voice, row, 0);
        p()->tuneData[at] = note;
        p()->tuneData[at + 1] = volume;
        p()->tuneData[at + 2] = command;
        p()->tuneData[at + 3] = argument;
    }

    ScratchDataDir dir;
    Harness h;
};

TEST_F(KuvSequencer, AStepAtTempo95Lasts84Milliseconds) {
    p()->tempo = 95;
    const int first = p()->nextTick;
    for (int step = 1; step <= 20; ++step) {
        h.PlayStepNow();
        ASSERT_EQ(p()->nextTick, first + 84 * step);
    }
    EXPECT_EQ(p()->stepPos, 20);
}

TEST_F(KuvSequencer, TheStepLengthFollowsTheTempo) {
    p()->tempo = 110;  // 72.7 ms, the fraction dropped
    const int first = p()->nextTick;
    h.PlayStepNow();
    EXPECT_EQ(p()->nextTick, first + 72);
}

TEST_F(KuvSequencer, TheStepLengthStaysExactLateInALongRun) {
    // Twenty hours of uptime: a single-precision sum would round the step to whole multiples.
    p()->nextTick = 72000000;
    h.PlayStepNow();
    EXPECT_EQ(p()->nextTick, 72000084);
}

TEST_F(KuvSequencer, NoStepBeforeTheClockHasPassedTheStepTime) {
    h.SetClockMillis(p()->nextTick);
    p()->Kuv_MusicPlay();
    EXPECT_EQ(p()->stepPos, 0);
    h.AdvanceMillis(1);
    p()->Kuv_MusicPlay();
    EXPECT_EQ(p()->stepPos, 1);
}

TEST_F(KuvSequencer, OnlyOneStepPerCallWhenSeveralAreOverdue) {
    h.SetClockMillis(p()->nextTick + 1000);
    p()->Kuv_MusicPlay();
    EXPECT_EQ(p()->stepPos, 1);
}

TEST_F(KuvSequencer, AClockThatJumpedBackStillSteps) {
    h.SetClockMillis(500);
    p()->nextTick = 500 + 123457;
    p()->Kuv_MusicPlay();
    EXPECT_EQ(p()->stepPos, 1);
    p()->nextTick = 500 + 123456;
    p()->Kuv_MusicPlay();
    EXPECT_EQ(p()->stepPos, 1);
}

TEST_F(KuvSequencer, APausedGamePushesTheNextStepOnEveryUpdate) {
    h.SetClockMillis(p()->nextTick - 10);
    for (int update = 0; update < 600; ++update) {  // ten seconds paused at 60 updates a second
        h.AdvanceMillis(16);
        p()->Kuv_Alive_U(1, 1);
        ASSERT_EQ(p()->nextTick, h.Now() + 150);
    }
    EXPECT_EQ(p()->stepPos, 0);
    // Resumed: the steps come at the tune's pace, not as a burst of the missed ones.
    int steps = 0;
    for (int update = 0; update < 60; ++update) {
        h.AdvanceMillis(16);
        const int before = p()->stepPos;
        p()->Kuv_Alive_U(0, 1);
        steps += p()->stepPos != before;
    }
    EXPECT_GE(steps, 9);
    EXPECT_LE(steps, 11);  // about (960 - 150) / 84 steps, not one per update
}

TEST_F(KuvSequencer, PausingStopsTheSoundingVoices) {
    Event(0, 2, 0, 13, 30);
    h.PlayStepNow();
    ASSERT_EQ(h.Channel(kLeadChannel).state, 1);
    p()->Kuv_Alive_U(1, 1);
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
    EXPECT_EQ(p()->voiceActive[2], 0);
    EXPECT_EQ(p()->playState, 2);
}

TEST_F(KuvSequencer, MusicSwitchedOffStopsTheVoicesAndHoldsTheSequencer) {
    Event(0, 2, 0, 13, 30);
    h.PlayStepNow();
    h.SetClockMillis(p()->nextTick + 1);
    p()->Kuv_Alive_U(0, 0);
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
    EXPECT_EQ(p()->stepPos, 1);
}

TEST_F(KuvSequencer, NothingStepsWhileATuneLoads) {
    p()->tuneLoadStep = 30;
    h.SetClockMillis(p()->nextTick + 1);
    p()->Kuv_Alive_U(0, 1);
    EXPECT_EQ(p()->stepPos, 0);
}

TEST_F(KuvSequencer, StopWithFlagOneEndsTheTune) {
    Event(0, 0, 0, 13, 30);
    Event(0, 2, 0, 13, 30);
    h.PlayStepNow();
    ASSERT_EQ(h.Channel(kLeadChannel).state, 1);
    p()->Kuv_Stop(1);
    EXPECT_EQ(p()->playState, 0);
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
    EXPECT_EQ(h.Channel(kDrumChannelA).state, 0);
    h.SetClockMillis(p()->nextTick + 1);
    p()->Kuv_Alive_U(0, 1);
    EXPECT_EQ(p()->stepPos, 1);
}

TEST_F(KuvSequencer, AMelodicNoteLoopsAtItsPitchTimesTheChord) {
    Event(0, 2, 0, 15, 30);
    p()->chords = T("jqq");
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kLeadChannel).state, 1);
    EXPECT_EQ(h.SourceState(kLeadChannel), AL_PLAYING);
    EXPECT_TRUE(h.Looping(kLeadChannel));
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 1.122f * 0.891f);
    EXPECT_FLOAT_EQ(p()->voiceRate[2], 1.122f * 0.891f);
    EXPECT_FLOAT_EQ(p()->chordRate, 0.891f);
    EXPECT_FLOAT_EQ(h.Gain(kLeadChannel), 0.5f * 29.0f / 29.0f);
    EXPECT_EQ(p()->voiceActive[2], 1);
}

TEST_F(KuvSequencer, VoicesPlayOnTheChannelsBelowTheBase) {
    for (int v = 0; v < 5; ++v) Event(0, v, 0, 13, 30);
    h.PlayStepNow();
    for (int v = 0; v < 5; ++v) {
        EXPECT_EQ(p()->voiceChannel[v], 31 - v);
        EXPECT_EQ(h.Channel(31 - v).state, 1) << "voice " << v;
    }
    EXPECT_EQ(h.Channel(32).state, 0);
}

TEST_F(KuvSequencer, DrumsPlayOnceAndArePannedApart) {
    Event(0, 0, 0, 18, 30);
    Event(0, 1, 0, 25, 30);
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kDrumChannelA).state, 1);
    EXPECT_FALSE(h.Looping(kDrumChannelA));
    EXPECT_FLOAT_EQ(h.PanX(kDrumChannelA), -0.35f);
    EXPECT_FLOAT_EQ(h.PanX(kDrumChannelB), 0.35f);
    EXPECT_EQ(h.Channel(kDrumChannelA).sample.get(), p()->drumsA[4]->sample.get());
    EXPECT_EQ(h.Channel(kDrumChannelB).sample.get(), p()->drumsB[8]->sample.get());
}

TEST_F(KuvSequencer, DrumKeysOutsideTheKitPlayNothing) {
    Event(0, 0, 0, 14, 30);
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kDrumChannelA).state, 0);
    EXPECT_EQ(p()->voiceActive[0], 0);
    EXPECT_FLOAT_EQ(p()->voiceEnvelope[0], 1.4f);  // the volume still applies
}

TEST_F(KuvSequencer, AMissingSampleSkipsItsNotes) {
    p()->drumsA[1] = nullptr;
    p()->melodic[4] = nullptr;
    Event(0, 0, 0, 13, 30);
    Event(0, 4, 0, 13, 30);
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kDrumChannelA).state, 0);
    EXPECT_EQ(h.Channel(kBassChannel).state, 0);
    EXPECT_EQ(p()->voiceActive[0], 0);
    EXPECT_EQ(p()->voiceActive[4], 0);
    // The rest of the voice's bookkeeping goes on, so a later sample would play in time.
    EXPECT_FLOAT_EQ(p()->voiceRate[4], 1.0f);
}

TEST_F(KuvSequencer, AMissingInstrumentFileLeavesItsSlotEmpty) {
    std::filesystem::remove(dir.Data("inst/lead1.wav"));
    h.UseStrip(dir, "Test/Other", StripEvents{});
    p()->Kuv_StartTune(T("Test/Other"), 3, 95);
    h.LoadWholeTune();
    EXPECT_TRUE(p()->melodic[2] == nullptr);
    EXPECT_TRUE(p()->melodic[4] != nullptr);
}

TEST_F(KuvSequencer, VolumeThirtyOneSilencesAtOnce) {
    Event(0, 2, 0, 13, 30);
    Event(0, 2, 1, 0, 31);
    h.PlayStepNow();
    ASSERT_FLOAT_EQ(h.Gain(kLeadChannel), 0.5f);
    h.PlayStepNow();
    EXPECT_FLOAT_EQ(h.Gain(kLeadChannel), 0.0f);
    EXPECT_FLOAT_EQ(p()->voiceVolume[2], 0.0f);
}

TEST_F(KuvSequencer, VolumesScaleFromOneToThirty) {
    p()->Kuv_PlayNote(2, 13, 15, 0, 0);
    EXPECT_FLOAT_EQ(h.Gain(kLeadChannel), 0.5f * 14.0f / 29.0f);
    p()->Kuv_PlayNote(2, 13, 1, 0, 0);
    EXPECT_FLOAT_EQ(h.Gain(kLeadChannel), 0.0f);
}

TEST_F(KuvSequencer, TheDrumEnvelopeHoldsForThirtySteps) {
    p()->Kuv_PlayNote(0, 13, 20, 0, 0);  // sets the level
    const float level = h.Gain(kDrumChannelA);
    ASSERT_GT(level, 0.0f);
    int held = 0;
    p()->Kuv_PlayNote(0, 13, 0, 0, 0);  // a hit without a volume
    while (h.Gain(kDrumChannelA) == level && held < 100) {
        ++held;
        p()->Kuv_PlayNote(0, 0, 0, 0, 0);
    }
    EXPECT_EQ(held, 30);
    EXPECT_LT(h.Gain(kDrumChannelA), level);
}

TEST_F(KuvSequencer, TheFadeCompoundsFromStepToStep) {
    p()->Kuv_PlayNote(2, 13, 30, 0, 0);
    std::vector<float> gains;
    for (int step = 0; step < 12; ++step) {
        p()->Kuv_PlayNote(2, 0, 0, 0, 0);
        gains.push_back(h.Gain(kLeadChannel));
    }
    // Held while the envelope is about one or more (four steps after the note), then each step
    // multiplies the last volume by the envelope, which falls by 0.1 a step.
    EXPECT_NEAR(gains[0], 0.5f, 1e-6);
    EXPECT_NEAR(gains[3], 0.5f, 1e-6);
    for (size_t i = 5; i < gains.size(); ++i) {
        EXPECT_NEAR(gains[i] / gains[i - 1], 1.4f - 0.1f * i, 1e-4) << "step " << i;
    }
    EXPECT_LT(gains.back(), 0.5f * 0.05f);
}

TEST_F(KuvSequencer, ANewNoteRestartsTheVoice) {
    Event(0, 2, 0, 13, 30);
    Event(0, 2, 1, 20, 0);
    h.PlayStepNow();
    const float level = h.Gain(kLeadChannel);
    h.PlayStepNow();
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 1.498f);
    EXPECT_EQ(h.Channel(kLeadChannel).state, 1);
    EXPECT_FLOAT_EQ(p()->voiceEnvelope[2], 1.5f);
    EXPECT_FLOAT_EQ(h.Gain(kLeadChannel), level);
}

TEST_F(KuvSequencer, SlidesMoveTheRateWithinTheirLimits) {
    p()->Kuv_PlayNote(2, 13, 30, 0, 0);
    p()->Kuv_PlayNote(2, 0, 0, 1, 18);
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 1.1f);
    p()->Kuv_PlayNote(2, 0, 0, 2, 36);
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 0.9f);
    p()->Kuv_PlayNote(2, 0, 0, 3, 30);
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 2.9f);
    p()->Kuv_PlayNote(2, 0, 0, 3, 30);
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 4.0f);
    for (int i = 0; i < 5; ++i) p()->Kuv_PlayNote(2, 0, 0, 4, 31);
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 0.25f);
    EXPECT_FLOAT_EQ(p()->voiceRate[2], 0.25f);
}

TEST_F(KuvSequencer, OtherCommandsLeaveTheRateAlone) {
    p()->Kuv_PlayNote(2, 13, 30, 0, 0);
    p()->Kuv_PlayNote(2, 0, 0, 5, 30);
    p()->Kuv_PlayNote(2, 0, 0, 27, 1);
    EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), 1.0f);
}

TEST_F(KuvSequencer, AMutedVoiceStaysSilent) {
    p()->voiceMuted[2] = 1;
    Event(0, 2, 0, 13, 30);
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
}

TEST_F(KuvSequencer, AFillInPlaysOverTheLastEightRowsBeforeTheVoiceReturns) {
    p()->voiceMuted[2] = 1;
    p()->voiceFillIn[2] = 1;
    p()->voiceNextMuted[2] = 0;
    p()->patternsLeft = 1;
    Event(0, 2, 55, 13, 30);
    Event(0, 2, 56, 15, 30);
    p()->stepPos = 55;
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kLeadChannel).state, 1);
}

TEST_F(KuvSequencer, NoFillInBeforeTheLastPatternOrForAVoiceStayingMuted) {
    p()->voiceMuted[2] = 1;
    p()->voiceFillIn[2] = 1;
    p()->patternsLeft = 2;
    Event(0, 2, 60, 13, 30);
    p()->stepPos = 60;
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
    p()->patternsLeft = 1;
    p()->voiceNextMuted[2] = 1;
    p()->stepPos = 60;
    h.PlayStepNow();
    EXPECT_EQ(h.Channel(kLeadChannel).state, 0);
}

struct SwitchCase {
    int patternsLeft;
    int argument;
    int expectedPattern;
};

TEST_F(KuvSequencer, CommandTwentySevenSwitchesByThePatternsLeft) {
    // From pattern 1: argument 1 moves up at 3 and 1 left, argument 2 down at 4 and 2 left.
    const SwitchCase cases[] = {{4, 1, 1}, {3, 1, 2}, {2, 1, 1}, {1, 1, 2},
                                {4, 2, 0}, {3, 2, 1}, {2, 2, 0}, {1, 2, 1}};
    for (const SwitchCase& c : cases) {
        ClearTune();
        Event(1, 2, 5, 13, 30, 27, c.argument);
        Event(2, 2, 5, 20, 30);
        Event(0, 2, 5, 8, 30);
        p()->voicePattern[2] = 1;
        p()->patternsLeft = c.patternsLeft;
        p()->stepPos = 5;
        p()->chords = T("q");
        h.PlayStepNow();
        EXPECT_EQ(p()->voicePattern[2], c.expectedPattern)
            << c.patternsLeft << " left, argument " << c.argument;
        // The row is read again from the new pattern.
        const float expectedRate = c.expectedPattern == 2   ? 1.498f
                                   : c.expectedPattern == 0 ? 0.749f
                                                            : 1.0f;
        EXPECT_FLOAT_EQ(h.Pitch(kLeadChannel), expectedRate);
    }
}

TEST_F(KuvSequencer, CommandTwentySevenNeverLeavesTheTune) {
    Event(63, 2, 0, 13, 30, 27, 1);
    p()->voicePattern[2] = 63;
    p()->patternsLeft = 3;
    h.PlayStepNow();
    EXPECT_EQ(p()->voicePattern[2], 63);
    Event(0, 3, 1, 13, 30, 27, 2);
    p()->patternsLeft = 4;
    h.PlayStepNow();
    EXPECT_EQ(p()->voicePattern[3], 0);
}

TEST_F(KuvSequencer, CommandEightEndsThePatternForAllVoices) {
    Event(0, 0, 10, 13, 30, 8, 0);
    Event(0, 4, 10, 13, 30);
    Event(0, 4, 63, 25, 30);  // must not be played in place of row 10
    p()->stepPos = 10;
    p()->patternsLeft = 4;
    p()->chords = T("qqjj");
    h.PlayStepNow();
    EXPECT_EQ(p()->stepPos, 0);
    EXPECT_EQ(p()->patternsLeft, 3);
    EXPECT_TRUE(p()->chords == T("qjj"));
    EXPECT_FLOAT_EQ(h.Pitch(kBassChannel), 1.0f);
}

TEST_F(KuvSequencer, EachPatternPlaysTheNextChordLetter) {
    p()->chords = T("qqjj");
    p()->patternsLeft = 4;
    std::vector<std::string> seen;
    for (int pattern = 0; pattern < 3; ++pattern) {
        for (int row = 0; row < 64; ++row) h.PlayStepNow();
        seen.push_back(p()->chords.ToCString<char>());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"qjj", "jj", "j"}));
}

TEST_F(KuvSequencer, AFinishedProgressionDrawsAPlayableOne) {
    for (int seed = 0; seed < 60; ++seed) {
        p()->tuneSeed = seed * 977;
        p()->chords = T("j");
        p()->patternsLeft = 4;
        p()->stepPos = 63;
        h.PlayStepNow();
        const std::string next = p()->chords.ToCString<char>();
        ASSERT_EQ(next.size(), 4u);
        ASSERT_NE(next, "qqzz");
        ASSERT_EQ(next[0], 'q');
    }
}

TEST_F(KuvSequencer, ASectionEndRearrangesTheVoicesFromTheSeed) {
    for (int v = 0; v < 5; ++v) p()->lastPattern[v] = 6;
    p()->patternsLeft = 1;
    p()->stepPos = 63;
    p()->section = 2;
    p()->voiceNextMuted[3] = 1;
    h.PlayStepNow();
    EXPECT_EQ(p()->section, 3);
    EXPECT_TRUE(p()->patternsLeft == 2 || p()->patternsLeft == 4);
    EXPECT_EQ(p()->voiceMuted[3], 1);  // it was announced last section
    EXPECT_FALSE(p()->voiceMuted[0] == 1 && p()->voiceMuted[1] == 1);
    // Voice 2's new draws: reseed with 9 * section + seed + 14, skip eleven.
    Seed = 9 * 3 + p()->tuneSeed + 7 * 2;
    for (int i = 0; i < 11; ++i) p()->Rand(1, 5);
    EXPECT_EQ(p()->voicePattern[2], p()->Rand(0, 6));
    EXPECT_EQ(p()->voiceNextMuted[2], p()->Rand(0, 1));
    EXPECT_EQ(p()->voiceFillIn[2], p()->Rand(0, 1));
}

TEST_F(KuvSequencer, TheSameSeedPlaysTheSamePiece) {
    // Two full runs of many sections from the same start record the same arrangement.
    auto run = [this](int seed) {
        for (int v = 0; v < 5; ++v) p()->lastPattern[v] = 1 + v;
        p()->Kuv_StartTune(T("Test/Seq"), seed, 95);
        std::vector<int> trace;
        for (int step = 0; step < 64 * 24; ++step) {
            h.PlayStepNow();
            if (p()->stepPos != 0) continue;
            trace.push_back(p()->patternsLeft);
            trace.push_back(p()->chords[0]);
            for (int v = 0; v < 5; ++v) {
                trace.push_back(p()->voicePattern[v]);
                trace.push_back(p()->voiceMuted[v]);
                trace.push_back(p()->voiceFillIn[v]);
            }
        }
        return trace;
    };
    const std::vector<int> first = run(4711);
    Seed = 1;
    EXPECT_EQ(run(4711), first);
    EXPECT_NE(run(4712), first);
}

}  // namespace
