// Shared test harness for everything in game/: reuse it for the screens' tests (menu, play,
// pause, game over, credits, badges, saving) rather than building another.
//
// GameHarness runs the real game object without a window or a sound card:
//   - the headless platform (scripted clock, window size, cursor and joystick),
//   - the recording GL table, so the renderer runs and its calls can be inspected,
//   - no OpenAL context, so every sound call is a silent no-op (swap in an audio spy if needed),
//   - a MyApp made exactly as the program makes it (globals initialised, then gc_new<MyApp>()),
//   - a scratch working directory whose "data" is the build's generated data folder (or an
//     empty folder the test fills), so a saved ".vantorstate" never lands in the build tree.
// Hooks run through the host object (InvokeOnCreate/Update/Render/Suspend/Resume), so the
// input sampling, hit clearing and collection steps around them are the real ones.
//
// Typical use:
//   GameHarness h;            // 640 x 480, generated data
//   h.Create();               // OnCreate and the first render, as the frame loop does
//   h.FinishLoading();        // the 30 loading updates
//   h.Press(KeyCode::kMouseLeft); h.Frame();
//   EXPECT_EQ(h.game->screen, 11);
//   for (const DrawCommand& c : h.Commands()) ...
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "game/my_app.h"
#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "graphics/renderer.h"
#include "host/app.h"
#include "host/app_host.h"
#include "host/entry.h"
#include "input/input.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "runtime/gc.h"

// One recorded drawing command, decoded from MyApp::drawList.
struct DrawCommand {
    float kind, x, y, rotation, sizeX, sizeY, frame, alpha, red, green, blue;

    bool IsRect() const { return kind == vexmo::kRectKind; }
    bool IsOval() const { return kind == vexmo::kOvalKind; }
    bool IsImage(int slot) const { return kind == static_cast<float>(slot); }
};

class GameHarness {
public:
    enum class Data {
        kGenerated,  // the build's data folder (VEXMO_BINARY_DIR/data)
        kEmpty,      // an empty data folder; the test writes what it needs (see DataPath)
    };

    static constexpr double kUpdatePeriod = 1.0 / 60.0;

    explicit GameHarness(int width = 640, int height = 480, Data data = Data::kGenerated) {
        EnterScratchDirectory(data);
        platform.Init();
        platform.OpenWindow(width, height, "Vexmo");
        SetCurrentPlatform(&platform);
        // The same start as the program: every global, the roots, then the game object.
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        gc_mark();
        game = gc_new<MyApp>();
        host = host::app;
    }

    ~GameHarness() {
        // Drop every global that reaches this game, then collect fully while the recorder is
        // still installed, so no texture of this test is deleted later through the real GL.
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        host::app = nullptr;
        game = nullptr;
        host = nullptr;
        for (int i = 0; i < 3; ++i) {
            gc_force_sweep = true;
            gc_collect();
        }
        SetCurrentPlatform(nullptr);
        LeaveScratchDirectory();
    }

    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // ---- Running the hooks ----
    // OnCreate, then the first render, as the frame loop starts.
    void Create() {
        host->InvokeOnCreate();
        host->InvokeOnRender();
    }
    // One update at the next tick of the scripted clock.
    void Update(int count = 1) {
        for (int i = 0; i < count; ++i) {
            platform.AdvanceTime(kUpdatePeriod);
            host->InvokeOnUpdate();
        }
    }
    void Render() { host->InvokeOnRender(); }
    // An update followed by a render, the steady rhythm of the loop.
    void Frame(int count = 1) {
        for (int i = 0; i < count; ++i) {
            Update();
            Render();
        }
    }
    // Frames until the loader is done; returns how many updates that took (-1 if it never ends).
    int FinishLoading(int limit = 200) {
        for (int updates = 0; updates < limit; ++updates) {
            if (game->loadStep == 0) return updates;
            Frame();
        }
        return game->loadStep == 0 ? limit : -1;
    }
    void Suspend() { host->InvokeOnSuspend(); }
    void Resume() { host->InvokeOnResume(); }

    // ---- Input (framework key codes: 1 left mouse, 27 escape, 256 + k joystick button k) ----
    void Press(int code) { input::device->OnKeyDown(code); }
    void Release(int code) { input::device->OnKeyUp(code); }
    void Type(int ch) { input::device->PutChar(ch); }
    void TypeText(const std::string& text) {
        for (const char ch : text) Type(static_cast<unsigned char>(ch));
    }
    // The cursor in window pixels; sampled by the next update.
    void MoveMouse(double x, double y) { platform.SetCursorNow(x, y); }
    // The cursor in virtual units at the current scale.
    void MoveMouseVirtual(float x, float y) {
        platform.SetCursorNow(x * game->scaleX, y * game->scaleY);
    }
    void SetJoystick(std::vector<float> axes, std::vector<unsigned char> buttons = {}) {
        platform.SetJoystick(std::move(axes), std::move(buttons));
    }
    // The window takes the new size at once; the next render notices it.
    void Resize(int width, int height) { platform.SetWindowSizeNow(width, height); }

    // ---- Inspection ----
    std::vector<DrawCommand> Commands() const {
        std::vector<DrawCommand> commands;
        const float* list = game->drawList.Data();
        for (int i = 0; i + vexmo::kCommandFloats <= game->drawCount; i += vexmo::kCommandFloats) {
            const float* c = list + i;
            commands.push_back(
                {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[10], c[11], c[12]});
        }
        return commands;
    }
    std::vector<DrawCommand> CommandsOfKind(float kind) const {
        std::vector<DrawCommand> matching;
        for (const DrawCommand& c : Commands()) {
            if (c.kind == kind) matching.push_back(c);
        }
        return matching;
    }
    // A path inside the scratch data folder (only meaningful with Data::kEmpty).
    std::filesystem::path DataPath(const std::string& name) const {
        return scratch_ / "data" / name;
    }
    const std::filesystem::path& WorkingDirectory() const { return scratch_; }

    GlRecorder recorder;  // first: installed before anything can reach GL
    HeadlessPlatform platform;
    MyApp* game = nullptr;
    gxtkApp* host = nullptr;

private:
    void EnterScratchDirectory(Data data) {
        char pattern[] = "/tmp/vexmo-game-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        scratch_ = made != nullptr ? made : "/tmp";
        std::error_code error;
        if (data == Data::kGenerated) {
            std::filesystem::create_directory_symlink(
                std::filesystem::path(VEXMO_BINARY_DIR) / "data", scratch_ / "data", error);
        } else {
            std::filesystem::create_directories(scratch_ / "data", error);
        }
        EXPECT_FALSE(error) << error.message();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(scratch_);
    }
    void LeaveScratchDirectory() {
        KeepRecordForFuzzing();
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        // remove_all removes the symlink itself, never the build's data folder behind it.
        std::filesystem::remove_all(scratch_, ignored);
    }

    // scripts/fuzz seeds its corpus of saved records with the ones the tests leave behind: with
    // VEXMO_KEEP_RECORDS naming a folder, the state file of each harness is copied there.
    void KeepRecordForFuzzing() const {
        const char* keep = std::getenv("VEXMO_KEEP_RECORDS");
        if (keep == nullptr || *keep == '\0') return;
        std::error_code ignored;
        const std::filesystem::path record = scratch_ / ".vantorstate";
        if (!std::filesystem::is_regular_file(record, ignored)) return;
        std::filesystem::copy_file(
            record, std::filesystem::path(keep) / (scratch_.filename().string() + ".vantorstate"),
            ignored);
    }

    std::filesystem::path scratch_;
    std::filesystem::path previous_;
};

// A gtest fixture holding a created 640 x 480 game on the generated data.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness = std::make_unique<GameHarness>();
        harness->Create();
        game = harness->game;
    }
    void TearDown() override { harness.reset(); }

    std::unique_ptr<GameHarness> harness;
    MyApp* game = nullptr;
};
