// One game made as the program makes it, on the headless platform with the given GL table, run
// through its loading steps until the menu is up. The benchmarks then set up the scene they time.
#pragma once

#include "game/my_app.h"
#include "graphics/gl_table.h"
#include "host/app_host.h"
#include "host/entry.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"

struct LoadedGame {
    HeadlessPlatform platform;
    MyApp* game = nullptr;
    gxtkApp* host = nullptr;

    explicit LoadedGame(const GlTable& gl) {
        SetGlTable(gl);
        platform.Init();
        platform.OpenWindow(640, 480, "Vexmo");
        SetCurrentPlatform(&platform);
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        gc_mark();
        HasMusic = 0;  // the music player has benchmarks of its own
        game = gc_new<MyApp>();
        host = host::app;
        host->InvokeOnCreate();
        host->InvokeOnRender();
        while (game->loadStep > 0) Update();
    }

    void Update() {
        platform.AdvanceTime(1.0 / 60.0);
        host->InvokeOnUpdate();
    }
};
