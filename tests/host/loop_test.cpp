#include <cmath>

#include "graphics/renderer.h"
#include "host/app_host.h"
#include "loop_fixture.h"

namespace {

// Updates logged between the n-th and the (n+1)-th render (n counts from 1).
int UpdatesAfterRender(const HookLog& log, int n) {
    int renders = 0;
    int updates = 0;
    for (const HookRecord& r : log.records) {
        if (r.hook == 'R') {
            if (renders == n) return updates;
            ++renders;
        } else if (r.hook == 'U' && renders == n) {
            ++updates;
        }
    }
    return updates;
}

TEST_F(LoopTest, SteadyRateSleepsUntilDueThenUpdatesOnceAndRendersOnce) {
    platform.QueueClose(0.255);
    probe->Run();

    // Create, the first frame before any update, then one update and one render per period.
    EXPECT_EQ(log.Sequence().substr(0, 6), "CRURUR");
    const std::vector<double> updates = log.TimesOf('U');
    ASSERT_EQ(updates.size(), 15u);
    for (size_t i = 0; i < updates.size(); ++i) {
        EXPECT_NEAR(updates[i], (i + 1) * kPeriod, 1e-9) << "update " << i;
    }
    EXPECT_EQ(log.Count('R'), 16);
    EXPECT_EQ(platform.SwapCount(), 16);
    EXPECT_GE(platform.SleepCount(), 15);
}

TEST_F(LoopTest, FortyMillisecondsOfBacklogRunThreeUpdatesThenOneRender) {
    probe->onRender = [this](int renders) {
        // The fifth frame is slow: the next pass finds the next update 40 ms overdue.
        if (renders == 5) platform.SetTime(probe->nextUpdate + 0.040);
        if (renders == 8) platform.CloseNow();
    };
    probe->Run();

    EXPECT_EQ(UpdatesAfterRender(log, 4), 1);
    EXPECT_EQ(UpdatesAfterRender(log, 5), 3);
    EXPECT_EQ(UpdatesAfterRender(log, 6), 1);
}

TEST_F(LoopTest, OneSecondStallRunsSevenUpdatesResynchronisesThenOneAtOnce) {
    double clockAtStall = 0.0;
    double nextAfterBatch = -1.0;
    int sleepsBeforeRecovery = -1;
    probe->onRender = [&](int renders) {
        if (renders == 3) {
            platform.AdvanceTime(1.0);
            clockAtStall = platform.Time();
        }
        if (renders == 4) {
            nextAfterBatch = probe->nextUpdate;
            sleepsBeforeRecovery = platform.SleepCount();
        }
        if (renders == 5) {
            // The update right after the resynchronised batch ran without sleeping first.
            EXPECT_EQ(platform.SleepCount(), sleepsBeforeRecovery);
            EXPECT_NEAR(probe->nextUpdate, clockAtStall + kPeriod, 1e-12);
        }
        if (renders == 7) platform.CloseNow();
    };
    probe->Run();

    EXPECT_EQ(UpdatesAfterRender(log, 3), 7);
    EXPECT_EQ(nextAfterBatch, clockAtStall);  // the remaining backlog was dropped
    EXPECT_EQ(UpdatesAfterRender(log, 4), 1);
    EXPECT_EQ(UpdatesAfterRender(log, 5), 1);
    // The stalled batch and the update after it all ran at the one stalled instant.
    const std::vector<double> updates = log.TimesOf('U');
    ASSERT_GE(updates.size(), 11u);
    EXPECT_EQ(updates[2], clockAtStall);
    EXPECT_EQ(updates[8], clockAtStall);
    EXPECT_EQ(updates[9], clockAtStall);
    EXPECT_NEAR(updates[10], clockAtStall + kPeriod, 1e-12);
}

TEST_F(LoopTest, IconifySuspendsOnceAndOnlyRestorePlusFocusResumes) {
    platform.QueueIconify(true, 0.1);
    platform.QueueIconify(false, 0.5);  // restored, but the focus is elsewhere
    platform.QueueFocus(true, 0.8);
    platform.QueueClose(1.0);
    probe->Run();

    EXPECT_EQ(log.Count('S'), 1);
    EXPECT_EQ(log.Count('Z'), 1);
    const double suspendedAt = log.TimesOf('S')[0];
    const double resumedAt = log.TimesOf('Z')[0];
    EXPECT_NEAR(suspendedAt, 0.1, kPeriod);
    EXPECT_DOUBLE_EQ(resumedAt, 0.8);
    for (const HookRecord& r : log.records) {
        if (r.hook == 'U' || r.hook == 'R') {
            EXPECT_FALSE(r.time > suspendedAt && r.time < resumedAt)
                << r.hook << " ran while suspended at " << r.time;
        }
    }
    // No backlog from the suspension: the first update comes one period after the resume.
    double firstUpdateAfterResume = -1.0;
    for (double t : log.TimesOf('U')) {
        if (t >= resumedAt) {
            firstUpdateAfterResume = t;
            break;
        }
    }
    EXPECT_NEAR(firstUpdateAfterResume, resumedAt + kPeriod, 1e-12);
    EXPECT_EQ(probe->updateRate, 60);
    EXPECT_FALSE(probe->suspended);
}

TEST_F(LoopTest, SuspendRemembersTheRateTheHookLeaves) {
    probe->onSuspend = [this] { probe->SetUpdateRate(30); };
    platform.QueueIconify(true, 0.1);
    platform.QueueIconify(false, 0.3);
    platform.QueueFocus(true, 0.3);
    platform.QueueClose(0.6);
    probe->Run();

    EXPECT_EQ(probe->updateRate, 30);
    const double resumedAt = log.TimesOf('Z')[0];
    double previous = -1.0;
    for (double t : log.TimesOf('U')) {
        if (t < resumedAt) continue;
        if (previous < 0.0) {
            EXPECT_NEAR(t, resumedAt + 1.0 / 30.0, 1e-12);
        } else {
            EXPECT_NEAR(t - previous, 1.0 / 30.0, 1e-9);
        }
        previous = t;
    }
    EXPECT_GT(previous, 0.0);
}

TEST_F(LoopTest, LosingFocusWithoutIconifyKeepsRunning) {
    platform.QueueFocus(false, 0.1);
    platform.QueueClose(0.5);
    probe->Run();

    EXPECT_EQ(log.Count('S'), 0);
    const std::vector<double> updates = log.TimesOf('U');
    ASSERT_FALSE(updates.empty());
    EXPECT_GT(updates.back(), 0.45);
}

TEST_F(LoopTest, RateZeroRendersAfterEachBatchOfEventsAndNeverUpdates) {
    probe->rateOnCreate = 0;
    platform.QueueKey(65, Platform::kPress, 1.0);
    platform.QueueKey(65, Platform::kRelease, 1.0);
    platform.QueueMouseButton(0, Platform::kPress, 2.0);
    platform.QueueRefresh(3.0);
    probe->Run();  // with no events left the headless window closes

    EXPECT_EQ(log.Count('U'), 0);
    // The first frame, the frame of the first pass, then one frame per batch of events.
    EXPECT_EQ(log.TimesOf('R'), (std::vector<double>{0.0, 0.0, 1.0, 2.0, 3.0}));
    EXPECT_EQ(platform.SleepCount(), 0);
}

TEST_F(LoopTest, ClosingTheWindowEndsRunAtTheNextPass) {
    platform.QueueClose(0.505);
    probe->Run();

    EXPECT_FALSE(platform.IsOpen());
    EXPECT_EQ(log.Count('U'), 30);
    EXPECT_LT(log.records.back().time, 0.505 + kPeriod);
}

TEST_F(LoopTest, AWindowWithNoAreaSkipsUpdatesAndRenders) {
    platform.QueueWindowSize(0, 0, 0.105);
    platform.QueueWindowSize(640, 480, 0.305);
    platform.QueueClose(0.405);
    probe->Run();

    for (const HookRecord& r : log.records) {
        if (r.hook == 'U' || r.hook == 'R') {
            EXPECT_FALSE(r.time > 0.105 && r.time < 0.305) << r.hook << " at " << r.time;
        }
    }
    // The update clock kept its pace meanwhile: six updates before and six after the gap.
    EXPECT_EQ(log.Count('U'), 12);
}

TEST_F(LoopTest, CreateReadsTheWindowSizeIntoTheRenderer) {
    platform.SetWindowSizeNow(800, 600);
    probe->InvokeOnCreate();
    EXPECT_EQ(log.Sequence(), "C");
    EXPECT_EQ(probe->graphics->width, 800);
    EXPECT_EQ(probe->graphics->height, 600);
}

TEST_F(LoopTest, CreateWithNoWindowAreaAborts) {
    platform.SetWindowSizeNow(0, 480);
    EXPECT_DEATH(probe->InvokeOnCreate(), "");
}

TEST_F(LoopTest, SetUpdateRateRestartsTheClockAndZeroLeavesItAlone) {
    platform.SetTime(10.0);
    probe->SetUpdateRate(50);
    EXPECT_DOUBLE_EQ(probe->updatePeriod, 0.02);
    EXPECT_DOUBLE_EQ(probe->nextUpdate, 10.02);
    platform.SetTime(11.0);
    probe->SetUpdateRate(0);
    EXPECT_EQ(probe->updateRate, 0);
    EXPECT_DOUBLE_EQ(probe->updatePeriod, 0.02);
    EXPECT_DOUBLE_EQ(probe->nextUpdate, 10.02);
}

TEST_F(LoopTest, HooksAreSkippedWhileSuspendedOrWithoutARate) {
    probe->SetUpdateRate(0);
    probe->InvokeOnUpdate();
    EXPECT_EQ(log.Count('U'), 0);
    probe->SetUpdateRate(60);
    probe->InvokeOnUpdate();
    EXPECT_EQ(log.Count('U'), 1);

    probe->InvokeOnSuspend();
    probe->InvokeOnSuspend();
    EXPECT_EQ(log.Count('S'), 1);
    probe->InvokeOnUpdate();
    probe->InvokeOnRender();
    EXPECT_EQ(log.Sequence(), "US");
    probe->InvokeOnResume();
    probe->InvokeOnResume();
    EXPECT_EQ(log.Sequence(), "USZ");
    probe->InvokeOnRender();
    EXPECT_EQ(log.Sequence(), "USZR");
}

// Hours into a session a float clock can no longer tell one update from the next; the loop
// keeps the clock in double precision, so pacing stays exact.
TEST_F(LoopTest, PacingStaysExactAfterHoursOfRunning) {
    const double start = 5.0 * 3600.0 + 0.123456;
    platform.SetTime(start);
    platform.QueueClose(start + 0.2);
    probe->Run();

    const std::vector<double> updates = log.TimesOf('U');
    ASSERT_EQ(updates.size(), 12u);
    for (size_t i = 1; i < updates.size(); ++i) {
        EXPECT_NEAR(updates[i] - updates[i - 1], kPeriod, 1e-9);
    }
    EXPECT_EQ(UpdatesAfterRender(log, 5), 1);
}

TEST_F(LoopTest, MilliSecsTruncatesTheClock) {
    EXPECT_EQ(probe->MilliSecs(), 0);
    platform.SetTime(0.0019);
    EXPECT_EQ(probe->MilliSecs(), 1);
    platform.SetTime(12.3456);
    EXPECT_EQ(probe->MilliSecs(), 12345);
}

TEST_F(LoopTest, RunnerIsSetToRunTheNewHostObject) {
    EXPECT_EQ(runner, &RunApp);
    EXPECT_EQ(host::app.get(), probe);
    platform.QueueClose(0.055);
    EXPECT_EQ(runner(), 0);
    EXPECT_EQ(log.Count('U'), 3);
}

}  // namespace
