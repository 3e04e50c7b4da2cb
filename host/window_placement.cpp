#include "host/window_placement.h"

#include <algorithm>

#include "platform/platform.h"

namespace host {

namespace {

constexpr int kMinWidth = 320;
constexpr int kMinHeight = 240;
// Room left above the window for its title bar, which the window system draws outside the
// place it reports, so a window moved to the top of a screen can still be grabbed.
constexpr int kTitleBar = 32;
constexpr int kGrabWidth = 48;
constexpr int kGrabHeight = 24;
constexpr int kMaxAreas = 16;

int Overlap(int a0, int a1, int b0, int b1) {
    return std::max(0, std::min(a1, b1) - std::max(a0, b0));
}

}  // namespace

// The work areas now, into a list kept between calls: the window check runs during play and
// must not allocate each time.
const std::vector<MonitorArea>& CurrentWorkAreas() {
    static std::vector<MonitorArea> areas(kMaxAreas);
    MonitorArea found[kMaxAreas];
    const int count = std::clamp(CurrentPlatform().GetWorkAreas(found, kMaxAreas), 0, kMaxAreas);
    areas.assign(found, found + count);
    return areas;
}

void FirstWindowSize(const MonitorArea& workArea, int* width, int* height) {
    *width = 2 * kMinWidth;
    *height = 2 * kMinHeight;
    const double fitWidth = workArea.width * 0.7;
    const double fitHeight = workArea.height * 0.7;
    for (int k = 3; kMinWidth * k <= fitWidth && kMinHeight * k <= fitHeight; ++k) {
        *width = kMinWidth * k;
        *height = kMinHeight * k;
    }
}

MonitorArea PlaceOnWorkAreas(const MonitorArea& wanted, const std::vector<MonitorArea>& workAreas) {
    const int chosen =
        PickMonitor(workAreas, wanted.x + wanted.width / 2, wanted.y + wanted.height / 2);
    if (chosen < 0) return wanted;
    const MonitorArea& area = workAreas[chosen];
    const int top = area.height - kTitleBar >= kMinHeight ? kTitleBar : 0;
    MonitorArea placed;
    placed.width = std::max(kMinWidth, std::min(wanted.width, area.width));
    placed.height = std::max(kMinHeight, std::min(wanted.height, area.height - top));
    placed.x = std::max(area.x, std::min(wanted.x, area.x + area.width - placed.width));
    placed.y = std::max(area.y + top, std::min(wanted.y, area.y + area.height - placed.height));
    return placed;
}

bool WindowReachable(const MonitorArea& window, const std::vector<MonitorArea>& workAreas) {
    const int grabWidth = std::min(kGrabWidth, window.width);
    const int grabHeight = std::min(kGrabHeight, window.height);
    for (const MonitorArea& area : workAreas) {
        const int across = Overlap(window.x, window.x + window.width, area.x, area.x + area.width);
        const int down = Overlap(window.y, window.y + grabHeight, area.y, area.y + area.height);
        if (across >= grabWidth && down >= grabHeight) return true;
    }
    return false;
}

}  // namespace host

int GetWindowPlace(int* x, int* y, int* width, int* height) {
    Platform& platform = CurrentPlatform();
    *width = 0;
    *height = 0;
    if (platform.IsFullscreen() || platform.IsIconified() || !platform.GetWindowPos(x, y)) return 0;
    platform.GetWindowSize(width, height);
    return *width > 0 && *height > 0 ? 1 : 0;
}

void RestoreWindowPlace(int x, int y, int width, int height) {
    Platform& platform = CurrentPlatform();
    int nowX = 0;
    int nowY = 0;
    if (platform.IsFullscreen() || !platform.GetWindowPos(&nowX, &nowY)) return;
    const MonitorArea placed =
        host::PlaceOnWorkAreas({x, y, width, height}, host::CurrentWorkAreas());
    platform.SetWindowSize(placed.width, placed.height);
    platform.SetWindowPos(placed.x, placed.y);
}

int BringWindowBack() {
    MonitorArea window;
    if (!GetWindowPlace(&window.x, &window.y, &window.width, &window.height)) return 0;
    const std::vector<MonitorArea>& areas = host::CurrentWorkAreas();
    if (areas.empty() || host::WindowReachable(window, areas)) return 0;
    const MonitorArea placed = host::PlaceOnWorkAreas(window, areas);
    CurrentPlatform().SetWindowPos(placed.x, placed.y);
    return 1;
}
