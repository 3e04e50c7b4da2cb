// Entry of the browser build. Everything it makes is static: the browser's frame loop unwinds
// main's stack and then calls the loop's passes for as long as the page lives.
#include <memory>
#include <string>

#include "app/program_main.h"
#include "app/replay_page.h"
#include "game/demo_pilot.h"
#include "game/replay_session.h"
#include "game/score_board.h"
#include "host/app_host.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_recorder.h"
#include "platform/platform_browser.h"
#include "platform/session_platform.h"
#include "platform/web_client.h"

namespace {

// The data package is mounted at the page's ./data; the record's folder /save is the one
// web/pre.js loads from IndexedDB before main runs.
DataLocation PageLocation() {
    DataLocation location = WorkingFolderLocation();
    location.recordPath = "/save/.vantorstate";
    return location;
}

}  // namespace

int main(int argc, char** argv) {
    UseDataLocation(PageLocation());
    static std::unique_ptr<Platform> browser = NewBrowserPlatform();
    // "?replay=URL" watches a replay, "?verify=URL" verifies one (app/replay_page.h).
    if (const int status = RunAddressReplay(argc, argv, *browser); status >= 0) return status;
    Platform* platform = browser.get();
    // "?demo" in the address hands the pointer to the autopilot, as "vexmo --demo" does.
    if (BrowserAddressHas("demo")) {
        static SessionPlatform session(*browser);
        static DemoPilot pilot;
        session.SetPilot(&pilot);
        platform = &session;
        // As on the desktop: the demo reads the player's record but writes nothing into it,
        // unless the address also says "demo-saves".
        if (!BrowserAddressHas("demo-saves")) host::SetRecordWritable(false);
    }
    // A page served by a score board posts every finished game to it; the board shows once it
    // answers its health check, so a page served without one shows nothing of it.
    std::string why;
    vexmo::UseScoreBoard(NewWebClient("", &why), true);
    // Every game that ends leaves a replay in /save/replays, beside the record, which reaches
    // IndexedDB as soon as it is kept.
    static ReplayRecorder recorder(*platform);
    vexmo::SetReplayRecorder(&recorder);
    return hostMain(argc, argv, recorder, VexmoHooks());
}
