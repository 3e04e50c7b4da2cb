// The frame loop driven the way a browser drives it: the page calls one pass per animation
// frame, whenever the frame comes, and nothing sleeps in between (a pass that finds no update
// due simply returns). These tests call the passes at irregular display rates on the scripted
// clock and check what a player gets: 60 updates a second, and a sane recovery from a tab that
// got no frames for seconds.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "loop_fixture.h"

namespace {

// The scripted platform with a browser's scheduling: Run hands the pass over instead of looping,
// and Sleep returns at once without moving the clock (only the display does).
class FrameDrivenPlatform final : public Platform {
public:
    explicit FrameDrivenPlatform(HeadlessPlatform& inner) : inner_(inner) {}

    void (*pass)() = nullptr;
    int sleepsAsked = 0;

    bool Init() override { return inner_.Init(); }
    bool OpenWindow(int w, int h, const std::string& title) override {
        return inner_.OpenWindow(w, h, title);
    }
    void SetWindowPos(int x, int y) override {}
    void GetDesktopSize(int* w, int* h) override { inner_.GetDesktopSize(w, h); }
    void GetWindowSize(int* w, int* h) override { inner_.GetWindowSize(w, h); }
    bool IsOpen() override { return inner_.IsOpen(); }
    bool IsIconified() override { return inner_.IsIconified(); }
    bool IsFocused() override { return inner_.IsFocused(); }
    void SwapBuffers() override { inner_.SwapBuffers(); }
    void Terminate() override { inner_.Terminate(); }
    double Time() override { return inner_.Time(); }
    void Sleep(double) override { ++sleepsAsked; }
    void SetListener(PlatformEvents* l) override { inner_.SetListener(l); }
    void PollEvents() override { inner_.PollEvents(); }
    void WaitEvents() override { inner_.PollEvents(); }
    void GetCursorPos(double* x, double* y) override { inner_.GetCursorPos(x, y); }
    int GetJoystickAxes(float* a, int max) override { return inner_.GetJoystickAxes(a, max); }
    int GetJoystickButtons(unsigned char* b, int max) override {
        return inner_.GetJoystickButtons(b, max);
    }
    bool SchedulePasses(void (*p)()) override {
        pass = p;
        return true;
    }

private:
    HeadlessPlatform& inner_;
};

class BrowserLoopTest : public LoopTest {
protected:
    void SetUp() override {
        LoopTest::SetUp();
        SetCurrentPlatform(&frames);
        probe->Run();  // create and the first frame; then the page owns the loop
        ASSERT_NE(frames.pass, nullptr);
    }

    // Animation frames at about `hertz` for `seconds`: each interval is off the nominal one by
    // up to a third either way (a fixed pseudo-random sequence), as frames come in a busy page.
    void Frames(double hertz, double seconds) {
        const double end = platform.Time() + seconds;
        while (true) {
            jitter_ = jitter_ * 1664525u + 1013904223u;
            const double spread = ((jitter_ >> 8) / 16777216.0 - 0.5) * (2.0 / 3.0);
            const double step = (1.0 + spread) / hertz;
            if (platform.Time() + step > end) break;
            platform.AdvanceTime(step);
            frames.pass();
        }
        platform.SetTime(end);
        frames.pass();
    }

    FrameDrivenPlatform frames{platform};

private:
    uint32_t jitter_ = 99;
};

TEST_F(BrowserLoopTest, RunHandsTheLoopToThePageAfterTheFirstFrame) {
    EXPECT_EQ(log.Sequence(), "CR");
    frames.pass();
    EXPECT_EQ(log.Count('U'), 0);  // nothing due yet: the pass returns without waiting
    EXPECT_EQ(frames.sleepsAsked, 1);
    EXPECT_EQ(platform.Time(), 0.0);
}

TEST_F(BrowserLoopTest, IrregularFramesAtThirtySixtyAndHundredFortyFourHertzGiveSixtyUpdates) {
    for (const double hertz : {30.0, 60.0, 144.0}) {
        const int updatesBefore = log.Count('U');
        const int rendersBefore = log.Count('R');
        const double start = platform.Time();
        Frames(hertz, 10.0);
        const int updates = log.Count('U') - updatesBefore;
        const int renders = log.Count('R') - rendersBefore;
        const double elapsed = platform.Time() - start;
        EXPECT_NEAR(updates / elapsed, 60.0, 0.15) << hertz << " Hz: " << updates << " updates";
        // A render follows every pass that updated, and only those: at 144 Hz most frames are
        // skipped, at 30 Hz each render carries two updates on average.
        EXPECT_LE(renders, updates) << hertz << " Hz";
        EXPECT_GE(renders, std::min(updates, static_cast<int>(hertz * 10.0 * 0.9)) / 3)
            << hertz << " Hz";
    }
}

TEST_F(BrowserLoopTest, UpdatesStayOnTheSixtyHertzGridWhateverTheFrames) {
    Frames(144.0, 2.0);
    const std::vector<double> times = log.TimesOf('U');
    ASSERT_GT(times.size(), 100u);
    // At 144 Hz an update runs in the first frame after it is due, never a period late.
    for (size_t i = 1; i < times.size(); ++i) {
        EXPECT_LT(times[i] - times[i - 1], 2 * kPeriod) << "update " << i;
    }
}

TEST_F(BrowserLoopTest, FiveSecondsWithoutFramesRunSevenUpdatesAndResynchroniseTheClock) {
    Frames(60.0, 1.0);
    const int before = log.Count('U');
    // The tab got no frames (hidden without a visibility change reaching the page).
    platform.AdvanceTime(5.0);
    frames.pass();
    EXPECT_EQ(log.Count('U') - before, gxtkApp::kMaxCatchUpUpdates);
    // The backlog is dropped: the clock restarts from now, not 5 s in the past.
    EXPECT_NEAR(probe->nextUpdate, platform.Time(), 1e-9);
    EXPECT_EQ(log.Count('S'), 0);

    // No burst afterwards: one update per frame, plus the one due at the moment of the resync.
    const int afterBatch = log.Count('U');
    int mostInOnePass = 0;
    for (int i = 0; i < 60; ++i) {
        const int beforePass = log.Count('U');
        platform.AdvanceTime(kPeriod);
        frames.pass();
        mostInOnePass = std::max(mostInOnePass, log.Count('U') - beforePass);
    }
    EXPECT_EQ(log.Count('U') - afterBatch, 61);
    EXPECT_LE(mostInOnePass, 2);
}

TEST_F(BrowserLoopTest, AHiddenPageSuspendsAndShowingItResumesWithoutABacklog) {
    Frames(60.0, 1.0);
    const int before = log.Count('U');
    // The visibility change runs a pass of its own, which suspends the game.
    platform.SetIconifiedNow(true);
    platform.SetFocusedNow(false);
    frames.pass();
    EXPECT_EQ(log.Count('S'), 1);
    platform.AdvanceTime(5.0);  // no frames while hidden
    platform.SetIconifiedNow(false);
    platform.SetFocusedNow(true);
    frames.pass();
    EXPECT_EQ(log.Count('Z'), 1);
    EXPECT_EQ(log.Count('U'), before);
    EXPECT_NEAR(probe->nextUpdate, platform.Time() + kPeriod, 1e-9);
    Frames(60.0, 1.0);
    EXPECT_NEAR(log.Count('U') - before, 60, 1);
}

}  // namespace
