// Where the window opens and goes back to: the first size for a screen, a saved place put back
// on the monitors there are now, and a window lost off every monitor brought back.
#include "host/window_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform_headless.h"

namespace {

using host::FirstWindowSize;
using host::PlaceOnWorkAreas;
using host::WindowReachable;

TEST(FirstWindowSize, TheLargestHalfStepOf640x480InSeventyPercentOfTheWorkArea) {
    struct Case {
        int workWidth, workHeight;
        int width, height;
    };
    const Case cases[] = {
        {640, 480, 640, 480},      // smaller than any step: the smallest
        {800, 600, 640, 480},      // 560 x 420 at 70 %
        {1280, 1024, 640, 480},    // 896 x 716: 960 is too wide
        {1372, 1029, 960, 720},    // 960.4 x 720.3: just fits
        {1371, 1029, 640, 480},    // 959.7 wide: just does not
        {1920, 1040, 960, 720},    // a 1080p screen less its panel
        {2560, 1400, 1280, 960},   // 1792 x 980
        {3840, 2120, 1920, 1440},  // 2688 x 1484
        {0, 0, 640, 480},          // no work area known
    };
    for (const Case& c : cases) {
        int width = 0;
        int height = 0;
        FirstWindowSize(MonitorArea{0, 0, c.workWidth, c.workHeight}, &width, &height);
        EXPECT_EQ(width, c.width) << c.workWidth << "x" << c.workHeight;
        EXPECT_EQ(height, c.height) << c.workWidth << "x" << c.workHeight;
        EXPECT_EQ(width * 3, height * 4) << "4:3";
    }
}

TEST(PlaceOnWorkAreas, ASavedPlaceComesBackOnAMonitorThatExistsNow) {
    // Two screens side by side, the right one smaller; panels of 40 at the bottom.
    const std::vector<MonitorArea> two = {{0, 0, 1920, 1040}, {1920, 0, 1280, 984}};
    const std::vector<MonitorArea> one = {{0, 0, 1920, 1040}};
    struct Case {
        const char* what;
        std::vector<MonitorArea> areas;
        MonitorArea saved;
        MonitorArea placed;
    };
    const Case cases[] = {
        {"inside the left screen: kept", two, {100, 200, 960, 720}, {100, 200, 960, 720}},
        {"inside the right screen: kept", two, {2000, 100, 640, 480}, {2000, 100, 640, 480}},
        {"the right screen is gone: onto the left",
         one,
         {2000, 100, 640, 480},
         {1280, 100, 640, 480}},
        {"over the bottom edge: lifted", one, {100, 900, 640, 480}, {100, 560, 640, 480}},
        {"above the top: room for the title bar", one, {100, -300, 640, 480}, {100, 32, 640, 480}},
        {"larger than the screen: shrunk", two, {2000, 0, 1920, 1440}, {1920, 32, 1280, 952}},
        {"far off to the left: onto the nearest", two, {-5000, 300, 640, 480}, {0, 300, 640, 480}},
        {"no monitor: as it was", {}, {-5000, 300, 640, 480}, {-5000, 300, 640, 480}},
    };
    for (const Case& c : cases) {
        const MonitorArea placed = PlaceOnWorkAreas(c.saved, c.areas);
        EXPECT_EQ(placed.x, c.placed.x) << c.what;
        EXPECT_EQ(placed.y, c.placed.y) << c.what;
        EXPECT_EQ(placed.width, c.placed.width) << c.what;
        EXPECT_EQ(placed.height, c.placed.height) << c.what;
    }
}

TEST(WindowReachable, AWindowCountsAsShownWhileItsTopCanBeGrabbed) {
    const std::vector<MonitorArea> areas = {{0, 0, 1280, 1024}, {1280, 0, 1280, 1024}};
    struct Case {
        MonitorArea window;
        bool reachable;
    };
    const Case cases[] = {
        {{100, 100, 640, 480}, true},   {{1200, 100, 640, 480}, true},  // across both screens
        {{-590, 100, 640, 480}, true},   // 50 of its width still on the left screen
        {{-620, 100, 640, 480}, false},  // 20: too little to grab
        {{100, 1010, 640, 480}, false},  // only its bottom would show: its top is below
        {{100, -470, 640, 480}, false},  // its top above every screen
        {{2600, 100, 640, 480}, false},  // right of everything
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowReachable(c.window, areas), c.reachable) << c.window.x << "," << c.window.y;
    }
}

// The app module's functions on the headless backend, as the game calls them.
class WindowPlaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.Init();
        platform.SetMonitors({{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}});
        platform.SetWorkAreas({{0, 0, 1920, 1040}, {1920, 0, 1280, 1024}});
        ASSERT_TRUE(platform.OpenWindow(640, 480, "Vexmo"));
        SetCurrentPlatform(&platform);
    }
    void TearDown() override { SetCurrentPlatform(nullptr); }
    HeadlessPlatform platform;
};

TEST_F(WindowPlaceTest, AWindowMovedOffEveryScreenComesBack) {
    platform.SetWindowPos(4000, 200);
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    ASSERT_EQ(GetWindowPlace(&x, &y, &width, &height), 1);
    EXPECT_EQ(x, 4000);
    EXPECT_EQ(BringWindowBack(), 1);
    EXPECT_EQ(platform.WindowX(), 1920 + 1280 - 640) << "onto the right screen, the nearest";
    EXPECT_EQ(platform.WindowY(), 200);
    EXPECT_EQ(BringWindowBack(), 0) << "once back, it stays where it is";
}

TEST_F(WindowPlaceTest, ASavedPlaceIsRestoredAndNothingIsReadWhileFullscreen) {
    RestoreWindowPlace(2000, 100, 960, 720);
    platform.PollEvents();  // the new size arrives as the window system's event
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    ASSERT_EQ(GetWindowPlace(&x, &y, &width, &height), 1);
    EXPECT_EQ(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
                  std::to_string(height),
              "2000,100 960x720");
    ASSERT_TRUE(platform.SetFullscreen(true));
    EXPECT_EQ(GetWindowPlace(&x, &y, &width, &height), 0) << "a fullscreen size is no window's";
    EXPECT_EQ(BringWindowBack(), 0);
}

}  // namespace
