#include "platform/platform.h"

#include "platform/platform_headless.h"

namespace {
Platform* current = nullptr;
}

Platform& CurrentPlatform() {
    // Code that runs before start-up chose a backend (tests of game logic, tools) gets a
    // quiet headless one instead of a null reference.
    if (!current) {
        static HeadlessPlatform fallback;
        current = &fallback;
    }
    return *current;
}

void SetCurrentPlatform(Platform* platform) {
    current = platform;
}

int Platform::GetWorkAreas(MonitorArea* areas, int max) {
    if (max < 1) return 0;
    areas[0] = MonitorArea{};
    GetDesktopSize(&areas[0].width, &areas[0].height);
    return 1;
}
