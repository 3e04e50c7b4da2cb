// The game shell's own costs, on the headless platform with a GL table whose calls do nothing,
// so only the processor work of the shell, the graphics module and the renderer is measured:
//
//   RecordText        one 30-character Text call (two sines/cosines, one command per glyph)
//   RecordFullList    CLS2D and 2,500 image commands: a frame's worth of recording
//   ReplayFullList    one render that replays those 2,500 commands through DrawImage2
//   MenuUpdate        one whole update on the main menu (input, latches, menu, overlays)
//
// The frame budget at 60 updates a second is 16.7 ms for an update and a render together.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "game/my_app.h"
#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "graphics/renderer.h"
#include "host/app_host.h"
#include "host/entry.h"
#include "host/platform.h"
#include "host/platform_headless.h"

namespace {

GLuint nextTexture = 1;

GlTable SilentGlTable() {
    GlTable t{};
    t.Clear = [](GLbitfield) {};
    t.ClearColor = [](GLclampf, GLclampf, GLclampf, GLclampf) {};
    t.Enable = [](GLenum) {};
    t.Disable = [](GLenum) {};
    t.BlendFunc = [](GLenum, GLenum) {};
    t.Scissor = [](GLint, GLint, GLsizei, GLsizei) {};
    t.Viewport = [](GLint, GLint, GLsizei, GLsizei) {};
    t.MatrixMode = [](GLenum) {};
    t.LoadIdentity = []() {};
    t.Ortho = [](GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {};
    t.EnableClientState = [](GLenum) {};
    t.VertexPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
    t.TexCoordPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
    t.ColorPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
    t.DrawArrays = [](GLenum, GLint, GLsizei) {};
    t.DrawElements = [](GLenum, GLsizei, GLenum, const GLvoid*) {};
    t.BindTexture = [](GLenum, GLuint) {};
    t.GenTextures = [](GLsizei n, GLuint* textures) {
        for (GLsizei i = 0; i < n; ++i) textures[i] = nextTexture++;
    };
    t.DeleteTextures = [](GLsizei, const GLuint*) {};
    t.TexImage2D = [](GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                      const GLvoid*) {};
    t.TexSubImage2D = [](GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum,
                         const GLvoid*) {};
    t.TexParameteri = [](GLenum, GLenum, GLint) {};
    t.ReadPixels = [](GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) {};
    t.PixelStorei = [](GLenum, GLint) {};
    t.GetError = []() -> GLenum { return GL_NO_ERROR; };
    return t;
}

// One game made as the program makes it, loaded, on a screen that draws nothing by itself.
struct Shell {
    HeadlessPlatform platform;
    MyApp* game = nullptr;
    gxtkApp* host = nullptr;

    Shell() {
        SetGlTable(SilentGlTable());
        platform.Init();
        platform.OpenWindow(640, 480, "Vexmo");
        SetCurrentPlatform(&platform);
        initGlobals();
        gc_mark();
        HasMusic = 0;  // the music player has benchmarks of its own
        game = gc_new<MyApp>();
        host = host::app;
        host->InvokeOnCreate();
        host->InvokeOnRender();
        while (game->loadStep > 0) Update();
        // A 16-frame sprite sheet in slot 1, whatever the data folder holds.
        Image* sheet = gc_new<Image>();
        sheet->Init(graphics::device->CreateSurface(64, 64), 1, 0);
        game->images[1] = sheet->GrabImage(0, 0, 16, 16, 16, Image::MidHandle);
        game->imageScale = 1;
        game->screen = 7;
    }
    void Update() {
        platform.AdvanceTime(1.0 / 60.0);
        host->InvokeOnUpdate();
    }
    void FillList() {
        game->CLS2D(0, 0, 0, 1);
        for (int i = 0; i < vexmo::kMaxCommands; ++i) {
            game->SetRot(static_cast<float>(i % 360));
            game->SetCol(static_cast<float>(i % 256), 128, 255 - static_cast<float>(i % 256), 0.8f);
            game->DrawImg(1, static_cast<float>(i % 640), static_cast<float>(i % 480),
                          static_cast<float>(i % 16));
        }
    }
};

Shell& TheShell() {
    static Shell shell;
    return shell;
}

void RecordText(benchmark::State& state) {
    MyApp* game = TheShell().game;
    const String text("Score 0001234567 \\n line two!");
    for (auto _ : state) {
        game->CLS2D();
        game->Text(320, 240, text, 1, 1);
        benchmark::DoNotOptimize(game->drawCount);
    }
}
BENCHMARK(RecordText);

void RecordFullList(benchmark::State& state) {
    Shell& shell = TheShell();
    for (auto _ : state) {
        shell.FillList();
        benchmark::DoNotOptimize(shell.game->drawCount);
    }
    state.counters["commands"] = vexmo::kMaxCommands;
}
BENCHMARK(RecordFullList)->Unit(benchmark::kMicrosecond);

void ReplayFullList(benchmark::State& state) {
    Shell& shell = TheShell();
    shell.FillList();
    for (auto _ : state) shell.host->InvokeOnRender();
    state.counters["ns_per_command"] = benchmark::Counter(
        static_cast<double>(vexmo::kMaxCommands),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ReplayFullList)->Unit(benchmark::kMicrosecond);

void MenuUpdate(benchmark::State& state) {
    Shell& shell = TheShell();
    shell.game->screen = vexmo::kScreenMenu;
    for (auto _ : state) shell.Update();
    shell.game->screen = 7;
    state.counters["commands"] = static_cast<double>(shell.game->drawCount / 15);
}
BENCHMARK(MenuUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
