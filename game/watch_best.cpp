#include "game/watch_best.h"

#include <cstdio>

#include "game/layout.h"
#include "game/my_app.h"
#include "game/replay_session.h"
#include "host/child_process.h"
#include "platform/data_path.h"
#include "runtime/console.h"

namespace vexmo {

namespace {

constexpr int kSfxMenu = 98;  // the menu's own click
constexpr float kTextSize = 1.5f;

bool Pressed(const MyApp& app, ScreenPoint at) {
    if (app.pointerDown <= 0) return false;
    for (int i = 0; i < kTouches; ++i) {
        if (app.touchX[i] > at.x - kWatchBestWidth / 2 &&
            app.touchX[i] < at.x + kWatchBestWidth / 2 &&
            app.touchY[i] > at.y - kWatchBestHeight / 2 &&
            app.touchY[i] < at.y + kWatchBestHeight / 2) {
            return true;
        }
    }
    return false;
}

void Watch(int difficulty) {
    const std::string path = BestReplayPath(KeptReplayFolder(), difficulty);
    std::string why;
    if (path.empty() || !StartOwnProgram({"--replay", path, "--data", DataFolder()}, &why)) {
        ConsoleLinef("Cannot show the replay: %s", path.empty() ? "it is gone" : why.c_str());
    }
}

}  // namespace

void WatchBestButtons(MyApp& app, int slide) {
    if (app.creditsOpen || app.badgesOpen) return;
    // One watching window at a time; the lines come back when it closes.
    if (OwnProgramRunning()) return;
    static const String kLabel = T("Watch best");
    for (int level = 1; level <= 3; ++level) {
        if (!HasBestReplay(level)) continue;
        const ScreenPoint at = WatchBestPosition(app.landscape, slide, level);
        app.ResetDraw();
        app.SetSize(kTextSize);
        app.SetCol(180, 255, 255, 1);
        app.Text(at.x, at.y, kLabel, 1, 1);
        if (Pressed(app, at) && !app.clickLatch) {
            app.clickLatch = 1;
            app.PlaySFX(kSfxMenu, 1, 0.5f, 0);
            Watch(level);
        }
    }
}

}  // namespace vexmo
