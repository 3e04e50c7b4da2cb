#include <emscripten.h>

#include <string>
#include <vector>

#include "app/program_main.h"
#include "app/replay_page.h"
#include "game/replay_verify.h"
#include "game/replay_watch.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_file.h"
#include "host/replay_player.h"
#include "platform/data_path.h"
#include "platform/platform_browser.h"
#include "platform/regular_file.h"
#include "runtime/console.h"

namespace {

// As on the desktop, a larger file is not a replay.
constexpr long long kLargestReplayBytes = 64LL << 20;

// Everything the watch uses outlives main, whose stack the browser's frame loop unwinds.
std::string g_name;
Replay g_replay;

// One line on the console and on the page's note.
void Tell(const std::string& line) {
    ConsoleLine(line);
    EM_ASM(
        {
            if (window.vexmoSay) window.vexmoSay(UTF8ToString($0), true);
        },
        line.c_str());
}

// Back to the game: the same page without "replay" in its address. The reload tells the new
// page's note why the watch failed, when it did.
void BackToGame() {
    const std::string& failure = vexmo::WatchFailure();
    const std::string why = failure.empty() ? std::string() : g_name + ": " + failure;
    if (!why.empty()) ConsoleLine(why);
    EM_ASM(
        {
            var why = UTF8ToString($0);
            try {
                if (why) sessionStorage.setItem("vexmo-note", why);
            } catch (e) {
            }
            var params = new URLSearchParams(location.search);
            params.delete("replay");
            var query = params.toString();
            location.replace(location.pathname + (query ? "?" + query : "") + location.hash);
        },
        why.c_str());
}

// The canvas keeps the size the replay was recorded at, scaled to the page without stretching.
void KeepRecordedCanvas(const ReplayHeader& header) {
    EM_ASM(
        {
            Module.vexmoCanvasSize = Array.of($0, $1);
            Module.canvas.style.objectFit = "contain";
        },
        header.size[2], header.size[3]);
}

// The page stays on the verdict; main's status is 0 either way (the verdict says how it went).
int Verify(const std::vector<unsigned char>& bytes) {
    const ReplayVerdict verdict = VerifyReplay(bytes);
    const std::string line = VerdictLine(verdict, g_name);
    Tell(line);
    // (A comma outside parentheses would split the macro's arguments.)
    EM_ASM(
        {
            window.vexmoVerdict = {line : UTF8ToString($0)};
            window.vexmoVerdict.ok = $1 != 0;
        },
        line.c_str(), verdict.ok ? 1 : 0);
    return 0;
}

// Watching saves nothing: the record is neither read nor written, and no game is recorded.
int Watch(int argc, char** argv, Platform& page, const std::vector<unsigned char>& bytes) {
    std::string why;
    if (!DecodeReplay(bytes, &g_replay, &why)) {
        Tell(g_name + ": " + why + "; the game starts as usual");
        return -1;
    }
    DataLocation readOnly;
    readOnly.dataFolder = DataFolder();
    UseDataLocation(readOnly);
    KeepRecordedCanvas(g_replay.header);
    static ReplayPlayer player(page, &g_replay.tape, g_replay.header.size);
    vexmo::WatchReplayInPasses(&player, &g_replay.start, BackToGame);
    return hostMain(argc, argv, player, VexmoHooks());
}

}  // namespace

int RunAddressReplay(int argc, char** argv, Platform& page) {
    const bool watch = BrowserAddressHas("replay");
    if (!watch && !BrowserAddressHas("verify")) return -1;
    g_name = BrowserAddressValue(watch ? "replay" : "verify");
    std::string content;
    FileRefusal refusal;
    if (!ReadRegularFile(kFetchedReplay, kLargestReplayBytes, &content, &refusal)) {
        if (!refusal.missing) Tell(g_name + ": " + refusal.reason + "; the game starts as usual");
        return -1;
    }
    const std::vector<unsigned char> bytes(content.begin(), content.end());
    if (!watch) return Verify(bytes);
    return Watch(argc, argv, page, bytes);
}
