#include "platform/monitor_choice.h"

#include <cstdint>
#include <limits>

namespace {

// Squared distance from the point to the nearest point of the area; 0 inside it.
int64_t DistanceSquared(const MonitorArea& m, int x, int y) {
    const int64_t left = m.x;
    const int64_t top = m.y;
    const int64_t right = left + m.width;  // exclusive
    const int64_t bottom = top + m.height;
    const int64_t dx = x < left ? left - x : (x >= right ? x - right + 1 : 0);
    const int64_t dy = y < top ? top - y : (y >= bottom ? y - bottom + 1 : 0);
    return dx * dx + dy * dy;
}

}  // namespace

int PickMonitor(const std::vector<MonitorArea>& monitors, int x, int y) {
    int best = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i) {
        const MonitorArea& m = monitors[i];
        if (m.width <= 0 || m.height <= 0) continue;
        const int64_t distance = DistanceSquared(m, x, y);
        // Ties keep the earlier monitor: the window system lists the primary one first.
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}
