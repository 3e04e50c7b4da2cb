// Entry of the browser build. Everything it makes is static: the browser's frame loop unwinds
// main's stack and then calls the loop's passes for as long as the page lives.
#include <memory>

#include "game/demo_pilot.h"
#include "graphics/gl_bgra.h"
#include "host/entry.h"
#include "host/platform_browser.h"
#include "host/session_platform.h"

int main(int argc, char** argv) {
    static std::unique_ptr<Platform> browser = NewBrowserPlatform();
    Platform* platform = browser.get();
    // "?demo" in the address hands the pointer to the autopilot, as "vexmo --demo" does.
    if (BrowserAddressHas("demo")) {
        static SessionPlatform session(*browser);
        static DemoPilot pilot;
        session.SetPilot(&pilot);
        platform = &session;
    }
    // WebGL has no BGRA pixel transfers; the game's read-back and uploads ask for them.
    SetGlTable(BgraThroughRgba(RealGlTable()));
    return hostMain(argc, argv, *platform);
}
