// The autopilot on the headless backend: it must reach play through the menu with pointer and
// button events alone, fire at the microbes, and start the next game after a game over.
#include "game/demo_pilot.h"

#include <gtest/gtest.h>

#include "platform/session_platform.h"
#include "tests/game/game_fixture.h"

namespace {

// Hands the session's button events to the host exactly as the frame loop's listener does.
class HostButtons final : public PlatformEvents {
public:
    void OnMouseButton(int button, int action) override { gxtkApp::OnMouseButton(button, action); }
};

class DemoPilotTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness = std::make_unique<GameHarness>();
        session = std::make_unique<SessionPlatform>(harness->platform);
        session->SetPilot(&pilot);
        session->SetListener(&buttons);
        SetCurrentPlatform(session.get());
        harness->Create();
        game = harness->game;
    }
    void TearDown() override {
        SetCurrentPlatform(&harness->platform);
        harness.reset();
    }

    // Frames until `done` holds; false when it never did within `limit` frames.
    template <typename Done>
    bool RunUntil(Done done, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            harness->Frame();
        }
        return done();
    }

    HostButtons buttons;
    DemoPilot pilot;
    std::unique_ptr<GameHarness> harness;
    std::unique_ptr<SessionPlatform> session;
    MyApp* game = nullptr;
};

TEST_F(DemoPilotTest, StartsANormalGameFromTheMenuByClicking) {
    game->difficulty = 3;  // the pilot must choose normal itself, not inherit it
    // The pilot sees the new game at the update after the click took.
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesStarted() == 1; }, 400));
    EXPECT_EQ(game->screen, vexmo::kScreenPlay);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_GT(pilot.HeapAtStart(), 0);
    EXPECT_GT(session->Updates(), 30) << "the menu only takes clicks once loaded";
}

TEST_F(DemoPilotTest, AimsAtMicrobesAndScores) {
    ASSERT_TRUE(RunUntil([this] { return game->screen == vexmo::kScreenPlay; }, 400));
    ASSERT_TRUE(RunUntil([this] { return game->score > 0; }, 1500))
        << "live cells " << game->liveCount;
    EXPECT_EQ(game->dying, 0);
}

TEST_F(DemoPilotTest, AfterAGameOverTheNextGameStarts) {
    ASSERT_TRUE(RunUntil([this] { return game->screen == vexmo::kScreenPlay; }, 400));
    // Drain the energy as an overcrowded dish would; the game over and the menu follow.
    game->energy = -1;
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesFinished() == 1; }, 10));
    EXPECT_EQ(game->dying, 1);
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesStarted() == 2; }, 600));
    EXPECT_EQ(game->screen, vexmo::kScreenPlay);
    EXPECT_EQ(game->dying, 0);
    // The finished game was filed in the normal difficulty's recent list.
    EXPECT_NE(pilot.Summary().find("2 games started, 1 finished"), std::string::npos)
        << pilot.Summary();
}

TEST_F(DemoPilotTest, ALongGameIsQuitThroughThePauseMenu) {
    pilot.SetLongestGame(200);
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesStarted() == 1; }, 400));
    ASSERT_TRUE(RunUntil([this] { return game->paused == 1; }, 300));
    EXPECT_EQ(game->dying, 0);
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesFinished() == 1; }, 300))
        << "quit never clicked";
    EXPECT_EQ(game->dying, 1);
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesStarted() == 2; }, 600));
}

TEST_F(DemoPilotTest, APauseFromOutsideIsResumed) {
    ASSERT_TRUE(RunUntil([this] { return pilot.GamesStarted() == 1; }, 400));
    harness->Suspend();
    harness->Resume();
    ASSERT_EQ(game->paused, 1) << "play comes back paused";
    ASSERT_TRUE(RunUntil([this] { return game->paused == 0; }, 300)) << "resume never clicked";
    EXPECT_EQ(game->dying, 0);
    EXPECT_EQ(pilot.GamesFinished(), 0);
}

TEST_F(DemoPilotTest, ButtonChangesAreDeliveredAsEventsOnly) {
    ASSERT_TRUE(RunUntil([this] { return game->screen == vexmo::kScreenPlay; }, 400));
    ASSERT_TRUE(RunUntil([this] { return game->pointerDown == 1; }, 400));
    // Taking the listener away cuts the pilot off from the game's buttons: nothing else reaches
    // them.
    session->SetListener(nullptr);
    const int before = game->pointerDown;
    harness->Frame(60);
    EXPECT_EQ(game->pointerDown, before);
}

TEST(SessionPlatformTest, UpdateLimitClosesTheSession) {
    HeadlessPlatform inner;
    inner.Init();
    inner.OpenWindow(640, 480, "Vexmo");
    SessionPlatform session(inner);
    session.SetUpdateLimit(3);
    double x = 0;
    double y = 0;
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(session.IsOpen());
        session.GetCursorPos(&x, &y);
    }
    EXPECT_TRUE(session.IsOpen());
    session.GetCursorPos(&x, &y);
    EXPECT_FALSE(session.IsOpen());
    EXPECT_EQ(session.Updates(), 3);
}

TEST(SessionPlatformTest, WithoutAPilotTheRealCursorIsReported) {
    HeadlessPlatform inner;
    inner.Init();
    inner.OpenWindow(640, 480, "Vexmo");
    inner.SetCursorNow(123, 45);
    SessionPlatform session(inner);
    double x = 0;
    double y = 0;
    session.GetCursorPos(&x, &y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    EXPECT_TRUE(session.IsOpen()) << "no limit: open until the window closes";
}

TEST(SessionPlatformTest, NothingCapturedWritesNoFile) {
    const FrameCapture empty;
    EXPECT_FALSE(WriteFramePng(empty, "/tmp/vexmo-never-written.png"));
    FrameCapture shortData;
    shortData.width = 4;
    shortData.height = 4;
    shortData.rgba.resize(10);
    EXPECT_FALSE(WriteFramePng(shortData, "/tmp/vexmo-never-written.png"));
}

}  // namespace
