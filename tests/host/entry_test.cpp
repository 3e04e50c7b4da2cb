#include "host/entry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "audio/audio.h"
#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "host/app.h"
#include "host/random.h"
#include "input/input.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "runtime/errors.h"
#include "tests/platform/temp_dir.h"
#include "tests/runtime/console_capture.h"

namespace {
// What this test program's game hooks create; the engine alone creates no game.
std::function<void()> createGame;

void CreateTestGame() {
    if (createGame) createGame();
}

const GameHooks kTestGame{nullptr, CreateTestGame};

class CountingGame : public App {
public:
    int creates = 0, updates = 0, renders = 0, suspends = 0, resumes = 0;
    int rate = 60;
    int OnCreate() override {
        ++creates;
        SetUpdateRate(rate);
        return 0;
    }
    int OnUpdate() override {
        ++updates;
        return 0;
    }
    int OnRender() override {
        ++renders;
        return 0;
    }
    int OnSuspend() override {
        ++suspends;
        return 0;
    }
    int OnResume() override {
        ++resumes;
        return 0;
    }
};

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override { createGame = nullptr; }
    void TearDown() override {
        createGame = nullptr;
        SetCurrentPlatform(nullptr);
    }

    // hostMain with stdout gathered; the game is whatever createGame makes.
    int RunHost(std::string* output) {
        CaptureConsole();
        const int status = hostMain(1, argv_, platform, kTestGame);
        *output = TakeConsoleOutput();
        return status;
    }

    HeadlessPlatform platform;
    GlRecorder recorder;

private:
    char name_[6] = "vexmo";
    char* argv_[2] = {name_, nullptr};  // kept by the host for the life of the program
};

TEST_F(EntryTest, OpensACentredWindowTitledVexmoAndShutsDown) {
    platform.SetDesktopSize(1366, 768);
    std::string output;
    EXPECT_EQ(RunHost(&output), 0);
    EXPECT_EQ(platform.Title(), "Vexmo");
    EXPECT_EQ(platform.WindowX(), 363);
    EXPECT_EQ(platform.WindowY(), 144);
    EXPECT_TRUE(platform.Terminated());
    EXPECT_EQ(host::alcContext, nullptr);
    EXPECT_EQ(host::alcDevice, nullptr);
    EXPECT_EQ(host::argc, 1);
    EXPECT_STREQ(host::argv[0], "vexmo");
}

TEST_F(EntryTest, ADesktopSmallerThanTheWindowGivesANegativeOffset) {
    platform.SetDesktopSize(601, 400);
    std::string output;
    EXPECT_EQ(RunHost(&output), 0);
    EXPECT_EQ(platform.WindowX(), -19);  // truncated toward zero
    EXPECT_EQ(platform.WindowY(), -40);
}

TEST_F(EntryTest, RunsTheGameUntilTheWindowCloses) {
    CountingGame* game = nullptr;
    createGame = [&] { game = gc_new<CountingGame>(); };
    platform.QueueClose(0.505);
    std::string output;
    EXPECT_EQ(RunHost(&output), 0);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->creates, 1);
    EXPECT_EQ(game->updates, 30);
    EXPECT_EQ(game->renders, 31);
    EXPECT_EQ(platform.SwapCount(), 31);
    EXPECT_TRUE(platform.Terminated());
}

TEST_F(EntryTest, AnUncaughtLanguageExceptionIsReportedAndShutsDownInOrder) {
    createGame = [] { throw gc_new<ThrowableObject>(); };
    std::string output;
    EXPECT_EQ(RunHost(&output), 0);
    EXPECT_NE(output.find("Vantor Runtime Error : Uncaught Vantor Exception\n"), std::string::npos)
        << output;
    EXPECT_TRUE(platform.Terminated());
}

TEST_F(EntryTest, AThrownTextEndsQuietly) {
    createGame = [] { throw "stop"; };
    std::string output;
    EXPECT_EQ(RunHost(&output), 0);
    EXPECT_EQ(output.find("Vantor"), std::string::npos) << output;
    EXPECT_TRUE(platform.Terminated());
}

// The messages go to standard output; the death test only sees standard error, so the child
// sends the one to the other.
TEST_F(EntryTest, NoWindowSystemMeansStatusMinusOneAndAMessage) {
    platform.SetInitFails(true);
    EXPECT_EXIT(
        {
            dup2(2, 1);
            char* argv[] = {nullptr};
            hostMain(0, argv, platform, kTestGame);
        },
        testing::ExitedWithCode(255), "glfwInit failed");
}

TEST_F(EntryTest, NoWindowMeansStatusMinusOneAndAMessage) {
    platform.SetOpenWindowFails(true);
    EXPECT_EXIT(
        {
            dup2(2, 1);
            char* argv[] = {nullptr};
            hostMain(0, argv, platform, kTestGame);
        },
        testing::ExitedWithCode(255), "glfwOpenWindow failed");
}

class AppModuleTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        SetCurrentPlatform(&platform);
        ASSERT_TRUE(platform.Init());
        ASSERT_TRUE(platform.OpenWindow(640, 480, "Vexmo"));
        initGlobals();
        game = gc_new<CountingGame>();
    }
    void TearDown() override {
        SetCurrentPlatform(nullptr);
        TempDirTest::TearDown();
    }

    HeadlessPlatform platform;
    GlRecorder recorder;
    CountingGame* game = nullptr;
};

TEST_F(AppModuleTest, GlobalsStartAtTheirInitialValues) {
    Seed = 99;
    initGlobals();
    EXPECT_EQ(Seed, 1234);
    EXPECT_EQ(app::device.get(), nullptr);
    EXPECT_EQ(input::device.get(), nullptr);
    EXPECT_EQ(audio::device.get(), nullptr);
    EXPECT_EQ(graphics::device.get(), nullptr);
    EXPECT_NE(graphics::context.get(), nullptr);
}

TEST_F(AppModuleTest, TheAppConstructorPublishesEveryDevice) {
    AppDevice* adapter = app::device;
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->app.get(), game);
    EXPECT_EQ(host::app.get(), adapter);
    EXPECT_EQ(graphics::device.get(), adapter->GraphicsDevice());
    EXPECT_EQ(input::device.get(), adapter->InputDevice());
    EXPECT_EQ(audio::device.get(), adapter->AudioDevice());
    EXPECT_NE(adapter->GraphicsDevice(), nullptr);
    EXPECT_NE(adapter->InputDevice(), nullptr);
    EXPECT_NE(adapter->AudioDevice(), nullptr);
    EXPECT_EQ(runner, &RunApp);
}

TEST_F(AppModuleTest, HooksAreForwardedToTheGame) {
    AppDevice* adapter = app::device;
    adapter->InvokeOnCreate();
    EXPECT_EQ(game->creates, 1);
    EXPECT_EQ(adapter->updateRate, 60);
    adapter->InvokeOnUpdate();
    adapter->InvokeOnRender();
    adapter->InvokeOnSuspend();
    adapter->InvokeOnResume();
    EXPECT_EQ(game->updates, 1);
    EXPECT_EQ(game->renders, 1);
    EXPECT_EQ(game->suspends, 1);
    EXPECT_EQ(game->resumes, 1);
    EXPECT_EQ(graphics::renderDevice.get(), nullptr);  // drawing is only allowed inside a render
}

TEST_F(AppModuleTest, TheGameSurvivesCollectionsThroughTheAppDevice) {
    AppDevice* adapter = app::device;
    adapter->InvokeOnCreate();
    gc_force_sweep = true;
    gc_collect();
    gc_force_sweep = true;
    gc_collect();
    adapter->InvokeOnUpdate();
    EXPECT_EQ(game->updates, 1);
    EXPECT_EQ(adapter->app.get(), game);
}

TEST_F(AppModuleTest, ModuleFunctionsGoThroughTheDevice) {
    EXPECT_EQ(SetUpdateRate(25), 0);
    EXPECT_EQ(app::device->updateRate, 25);
    platform.SetTime(2.5);
    EXPECT_EQ(Millisecs(), 2500);
    EXPECT_EQ(LoadState().Length(), 0);
    EXPECT_EQ(SaveState(T("1|2|3")), 0);
    EXPECT_TRUE(LoadState() == T("1|2|3"));
}

}  // namespace
