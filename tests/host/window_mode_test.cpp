// Fullscreen and the window's icon on the headless backend: which monitor a window goes
// fullscreen on, the way back to the old size and place, the F11 and Alt+Enter shortcuts (kept
// from the game), the --fullscreen option and the icon files of the data folder.
#include "host/window_mode.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "graphics/gl_table.h"
#include "host/app.h"
#include "host/app_host.h"
#include "host/command_line.h"
#include "host/entry.h"
#include "host/window_icon.h"
#include "input/input.h"
#include "input/input_device.h"
#include "input/key_translation.h"
#include "platform/key_tokens.h"
#include "platform/monitor_choice.h"
#include "platform/platform_headless.h"
#include "tests/platform/temp_dir.h"
#include "tests/runtime/console_capture.h"

namespace {

constexpr int kF11 = KeyToken::kF1 + 10;

TEST(MonitorChoice, TheMonitorUnderThePointWins) {
    const std::vector<MonitorArea> monitors = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(PickMonitor(monitors, 960, 540), 0);
    EXPECT_EQ(PickMonitor(monitors, 1919, 1079), 0);
    EXPECT_EQ(PickMonitor(monitors, 1920, 0), 1);
    EXPECT_EQ(PickMonitor(monitors, 2500, 900), 1);
}

TEST(MonitorChoice, APointOnNoMonitorGoesToTheNearest) {
    const std::vector<MonitorArea> monitors = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(PickMonitor(monitors, 3400, 500), 1);   // past the right edge
    EXPECT_EQ(PickMonitor(monitors, -300, 2000), 0);  // below and left of the first
    EXPECT_EQ(PickMonitor(monitors, 2000, 1060), 1);  // below the second, under the first's row
    EXPECT_EQ(PickMonitor(monitors, 1000, 1100), 0);
}

TEST(MonitorChoice, NoMonitorOrOnlyEmptyOnesGiveNone) {
    EXPECT_EQ(PickMonitor({}, 0, 0), -1);
    EXPECT_EQ(PickMonitor({{0, 0, 0, 0}, {100, 0, 0, 768}}, 50, 50), -1);
    EXPECT_EQ(PickMonitor({{0, 0, 0, 0}, {1024, 0, 800, 600}}, 10, 10), 1);
}

class HeadlessFullscreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform.Init());
        ASSERT_TRUE(platform.OpenWindow(640, 480, "Vexmo"));
    }
    void ExpectWindow(int x, int y, int width, int height) {
        int w = 0;
        int h = 0;
        platform.GetWindowSize(&w, &h);
        EXPECT_EQ(platform.WindowX(), x);
        EXPECT_EQ(platform.WindowY(), y);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
    }
    HeadlessPlatform platform;
};

TEST_F(HeadlessFullscreen, CoversTheMonitorUnderTheCentreAndComesBackToTheOldPlace) {
    platform.SetMonitors({{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}});
    platform.SetWindowPos(1700, 300);  // centre at 2020, 540: on the second monitor
    ASSERT_TRUE(platform.SetFullscreen(true));
    EXPECT_TRUE(platform.IsFullscreen());
    ExpectWindow(1920, 0, 1280, 1024);
    ASSERT_TRUE(platform.SetFullscreen(false));
    EXPECT_FALSE(platform.IsFullscreen());
    ExpectWindow(1700, 300, 640, 480);
}

TEST_F(HeadlessFullscreen, AskingForTheModeAlreadyInChangesNothing) {
    platform.SetWindowPos(100, 200);
    EXPECT_TRUE(platform.SetFullscreen(false));
    ExpectWindow(100, 200, 640, 480);
    ASSERT_TRUE(platform.SetFullscreen(true));
    platform.SetWindowSizeNow(1280, 1024);
    EXPECT_TRUE(platform.SetFullscreen(true));  // must not take the fullscreen size as "old"
    ASSERT_TRUE(platform.SetFullscreen(false));
    ExpectWindow(100, 200, 640, 480);
}

TEST_F(HeadlessFullscreen, WithoutAMonitorTheWindowStaysAsItIs) {
    platform.SetMonitors({});
    platform.SetWindowPos(10, 20);
    EXPECT_FALSE(platform.SetFullscreen(true));
    EXPECT_FALSE(platform.IsFullscreen());
    ExpectWindow(10, 20, 640, 480);
}

TEST_F(HeadlessFullscreen, TheFramebufferFollowsTheWindowAtTheDisplayScale) {
    platform.SetFramebufferScale(2.0);
    int w = 0;
    int h = 0;
    platform.GetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 960);
    ASSERT_TRUE(platform.SetFullscreen(true));  // the default monitor: the 1280 x 1024 desktop
    platform.GetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 2560);
    EXPECT_EQ(h, 2048);
    platform.CloseNow();
    platform.GetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

// Forwards delivered key events to the host, as the frame loop's listener does.
class KeyForwarder final : public PlatformEvents {
public:
    void OnKey(int key, int action) override { gxtkApp::OnKey(key, action); }
};

class WindowShortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentPlatform(&platform);
        ASSERT_TRUE(platform.Init());
        ASSERT_TRUE(platform.OpenWindow(640, 480, "Vexmo"));
        platform.SetWindowPos(320, 272);
        platform.SetListener(&forwarder);
        initGlobals();
        gc_new<App>();
    }
    void TearDown() override {
        platform.SetListener(nullptr);
        SetCurrentPlatform(nullptr);
    }
    void Key(int key, int action) {
        platform.QueueKey(key, action);
        platform.PollEvents();
    }
    gxtkInput& Input() { return *input::device; }

    HeadlessPlatform platform;
    GlRecorder recorder;
    KeyForwarder forwarder;
};

TEST_F(WindowShortcuts, F11SwitchesBackAndForthAndTheGameNeverSeesIt) {
    Key(kF11, Platform::kPress);
    EXPECT_EQ(Fullscreen(), 1);
    Key(kF11, Platform::kRepeat);  // held: one switch only
    EXPECT_EQ(Fullscreen(), 1);
    Key(kF11, Platform::kRelease);
    EXPECT_EQ(Input().KeyHit(KeyCode::kF1 + 10), 0);
    EXPECT_EQ(Input().KeyDown(KeyCode::kF1 + 10), 0);
    Key(kF11, Platform::kPress);
    Key(kF11, Platform::kRelease);
    EXPECT_EQ(Fullscreen(), 0);
    EXPECT_EQ(platform.WindowX(), 320);
    EXPECT_EQ(platform.WindowY(), 272);
}

TEST_F(WindowShortcuts, AltEnterSwitchesAndKeepsEnterFromTheGame) {
    for (const int alt : {KeyToken::kLeftAlt, KeyToken::kRightAlt}) {
        const int before = Fullscreen();
        Key(alt, Platform::kPress);
        Key(KeyToken::kEnter, Platform::kPress);
        EXPECT_EQ(Fullscreen(), 1 - before);
        EXPECT_EQ(Input().KeyHit(KeyCode::kEnter), 0);
        Key(KeyToken::kEnter, Platform::kRelease);
        Key(alt, Platform::kRelease);
        Input().EndUpdate();
    }
    EXPECT_EQ(Fullscreen(), 0);
}

TEST_F(WindowShortcuts, EnterAloneIsTheGamesAndIsReleasedEvenWithAltDownByThen) {
    Key(KeyToken::kEnter, Platform::kPress);
    EXPECT_EQ(Input().KeyDown(KeyCode::kEnter), 1);
    EXPECT_EQ(Fullscreen(), 0);
    Key(KeyToken::kLeftAlt, Platform::kPress);
    Key(KeyToken::kEnter, Platform::kRelease);  // must not stay held for good
    Input().EndUpdate();
    EXPECT_EQ(Input().KeyDown(KeyCode::kEnter), 0);
    EXPECT_EQ(Fullscreen(), 0);
}

TEST_F(WindowShortcuts, TheAppModuleSetsAndReadsTheMode) {
    EXPECT_EQ(SetFullscreen(1), 1);
    EXPECT_TRUE(platform.IsFullscreen());
    EXPECT_EQ(SetFullscreen(1), 1);
    EXPECT_EQ(SetFullscreen(0), 0);
    platform.SetMonitors({});
    EXPECT_EQ(SetFullscreen(1), 0) << "no monitor: the window stays";
}

TEST(FullscreenOption, IsParsedAndListedInTheHelp) {
    const char* args[] = {"vexmo", "--fullscreen"};
    const CommandLine line = ParseCommandLine(2, args);
    ASSERT_EQ(line.action, CommandLineAction::kRun) << line.error;
    EXPECT_TRUE(line.options.fullscreen);
    const char* plain[] = {"vexmo"};
    EXPECT_FALSE(ParseCommandLine(1, plain).options.fullscreen);
    const char* valued[] = {"vexmo", "--fullscreen=1"};
    EXPECT_EQ(ParseCommandLine(2, valued).action, CommandLineAction::kBadUsage);
    EXPECT_NE(UsageText("vexmo").find("  --fullscreen "), std::string::npos);
}

// A plain square picture of one colour.
void WriteIcon(const std::string& path, int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = 10;
        rgba[i + 1] = static_cast<unsigned char>(width / 2);
        rgba[i + 2] = 30;
        rgba[i + 3] = 255;
    }
    ASSERT_NE(stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4), 0) << path;
}

class StartUpWindow : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        runner = nullptr;  // no game: start-up and shut-down only
    }
    void TearDown() override {
        host::SetStartFullscreen(false);
        SetCurrentPlatform(nullptr);
        TempDirTest::TearDown();
    }
    void RunHost() {
        CaptureConsole();
        EXPECT_EQ(hostMain(1, argv_, platform, GameHooks()), 0);
        TakeConsoleOutput();
    }
    static void MakeIconFolder() {
        ASSERT_EQ(mkdir("data", 0755), 0);
        ASSERT_EQ(mkdir("data/icons", 0755), 0);
    }

    HeadlessPlatform platform;
    GlRecorder recorder;

private:
    char name_[6] = "vexmo";
    char* argv_[2] = {name_, nullptr};
};

TEST_F(StartUpWindow, OpensWindowedUnlessAskedAndWithoutIconsHasNone) {
    RunHost();
    EXPECT_FALSE(platform.IsFullscreen());
    EXPECT_EQ(platform.WindowX(), 320);
    EXPECT_EQ(platform.IconSetCount(), 0);
}

TEST_F(StartUpWindow, TheOptionOpensFullscreenOnTheWindowsMonitor) {
    platform.SetMonitors({{0, 0, 1280, 1024}, {1280, 0, 1024, 768}});
    host::SetStartFullscreen(true);
    RunHost();
    EXPECT_TRUE(platform.IsFullscreen());
    EXPECT_EQ(platform.WindowX(), 0);  // the centred window is on the primary monitor
    EXPECT_EQ(platform.WindowY(), 0);
}

TEST_F(StartUpWindow, TheWindowGetsEveryUsableIconFile) {
    MakeIconFolder();
    WriteIcon("data/icons/vexmo_16.png", 16, 16);
    WriteIcon("data/icons/vexmo_48.png", 48, 48);
    WriteIcon("data/icons/vexmo_64.png", 64, 32);  // not its named size: skipped
    WriteBytes("data/icons/vexmo_128.png", {'n', 'o', 't', ' ', 'p', 'n', 'g'});
    WriteIcon("data/icons/vexmo_256.png", 256, 256);
    RunHost();
    ASSERT_EQ(platform.IconSetCount(), 1);
    const std::vector<IconImage>& icons = platform.Icons();
    ASSERT_EQ(icons.size(), 3u);
    const int sizes[] = {16, 48, 256};
    for (size_t i = 0; i < icons.size(); ++i) {
        EXPECT_EQ(icons[i].width, sizes[i]);
        EXPECT_EQ(icons[i].height, sizes[i]);
        ASSERT_EQ(icons[i].rgba.size(), static_cast<size_t>(sizes[i]) * sizes[i] * 4);
        // The pixels themselves, R G B A, as written.
        EXPECT_EQ(icons[i].rgba[0], 10);
        EXPECT_EQ(icons[i].rgba[1], sizes[i] / 2);
        EXPECT_EQ(icons[i].rgba[2], 30);
        EXPECT_EQ(icons[i].rgba[3], 255);
    }
}

TEST_F(StartUpWindow, OnlyBrokenIconFilesMeanNoIconAndNoFuss) {
    MakeIconFolder();
    WriteBytes("data/icons/vexmo_32.png", {0x89, 'P', 'N', 'G'});
    WriteIcon("data/icons/vexmo_16.png", 17, 17);
    RunHost();
    EXPECT_EQ(platform.IconSetCount(), 0);
    EXPECT_TRUE(LoadWindowIcons().empty());
}

}  // namespace
