// Loads each of the game's nine tunes the way the game does (every strip frame drawn on the
// screen and read back) and prints one line per tune: how many fields are not zero and a digest
// of every decoded field. Built for the desktop and for the browser; both must print the same
// lines, which is how tunes.test.mjs checks the browser's GL read-back against the desktop's.
//
// The lines start with "tune " so they can be picked out of the loader's own chatter.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "audio/audio.h"
#include "graphics/graphics.h"
#include "music/kuv_player.h"
#include "music/kuv_strip.h"
#include "platform/platform.h"
#include "platform/platform_glfw.h"

namespace {

constexpr int kFirstTune = 10;
constexpr int kLastTune = 18;
// The loader takes about 70 steps, three a frame.
constexpr int kMostFrames = 60;

// FNV-1a over the values, so one changed field anywhere changes the line.
uint32_t Digest(const Array<int>& values) {
    uint32_t hash = 2166136261u;
    for (int i = 0; i < values.Length(); ++i) {
        hash ^= static_cast<uint32_t>(values[i]);
        hash *= 16777619u;
    }
    return hash;
}

bool LoadTune(gxtkGraphics& gfx, KuvPlayer& player, const std::string& name) {
    player.Kuv_StartTune(T(name.c_str()), 1, 95);
    for (int frame = 0; frame < kMostFrames && player.tuneLoadStep > 0; ++frame) {
        gfx.BeginRender();
        ::BeginRender();
        player.Kuv_Alive_R();
        ::EndRender();
        gfx.EndRender();
    }
    return player.tuneLoadStep == 0;
}

}  // namespace

int main() {
    std::unique_ptr<Platform> platform = NewGlfwPlatform();
    if (!platform->Init() || !platform->OpenWindow(640, 480, "Vexmo tunes")) {
        std::printf("no window to draw the tunes in\n");
        return 1;
    }
    SetCurrentPlatform(platform.get());
    InitGraphicsGlobals();
    SetAudioDevice(nullptr);  // the instruments are not what is compared
    gxtkGraphics* gfx = gc_new<gxtkGraphics>();
    if (!gfx->Validate()) {
        std::printf("no graphics device\n");
        return 1;
    }
    SetGraphicsDevice(gfx);
    KuvPlayer* player = gc_new<KuvPlayer>();
    player->Kuv_Init(32, 4, 1, 1, 4);

    int failures = 0;
    for (int number = kFirstTune; number <= kLastTune; ++number) {
        const std::string name = "Wendle/Tune_" + std::to_string(number);
        if (!LoadTune(*gfx, *player, name)) {
            std::printf("tune %s did not finish loading\n", name.c_str());
            ++failures;
            continue;
        }
        int nonZero = 0;
        for (int i = 0; i < player->tuneData.Length(); ++i) nonZero += player->tuneData[i] != 0;
        std::printf("tune %s nonzero %d digest %08x\n", name.c_str(), nonZero,
                    static_cast<unsigned>(Digest(player->tuneData)));
    }
    std::printf("tunes done\n");
    std::fflush(stdout);
    SetGraphicsDevice(nullptr);
    SetCurrentPlatform(nullptr);
    platform->Terminate();
    return failures == 0 ? 0 : 1;
}
