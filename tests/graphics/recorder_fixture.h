// A renderer on a headless 640 x 480 window whose GL calls go to a recorder, with the graphics
// module bound to it and a frame already begun.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "graphics/renderer.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"

inline void EnsureGraphicsGlobals() {
    static const bool done = (InitGraphicsGlobals(), true);
    (void)done;
}

class RecorderTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    void SetUp() override {
        if (softwareRaster_) rec.EnableSoftwareRaster(kWidth, kHeight);
        EnsureGraphicsGlobals();
        platform_.Init();
        platform_.OpenWindow(kWidth, kHeight, "Vexmo");
        SetCurrentPlatform(&platform_);
        gfx = gc_new<gxtkGraphics>();
        ASSERT_TRUE(gfx->Validate());
        SetGraphicsDevice(gfx);
        gfx->BeginRender();
        ::BeginRender();
        rec.Clear();
    }

    void TearDown() override {
        ::EndRender();
        SetGraphicsDevice(nullptr);
        SetCurrentPlatform(nullptr);
    }

    // The draw calls made so far, after flushing what is pending.
    std::vector<GlCall> Draws() {
        gfx->Flush();
        return rec.DrawCalls();
    }

    // Set by fixtures that read real pixels back from the recorder's software frame buffer.
    bool softwareRaster_ = false;
    GlRecorder rec;
    HeadlessPlatform platform_;
    gxtkGraphics* gfx = nullptr;
};

// A surface with a texture but no file behind it.
inline gxtkSurface* MakeSurface(gxtkGraphics* gfx, int w, int h) {
    gxtkSurface* s = gfx->CreateSurface(w, h);
    EXPECT_NE(s, nullptr);
    return s;
}

// Raw little-endian vertex colour: A<<24 | B<<16 | G<<8 | R.
constexpr uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return a << 24 | b << 16 | g << 8 | r;
}

// Runs a statement that is expected to end the process with a runtime error. The error text is
// printed on standard output, so the child sends it to standard error where the death test
// looks; standard input is emptied so the debugger protocol ends the process at once.
#define EXPECT_RUNTIME_ERROR(statement, message)   \
    EXPECT_EXIT(                                   \
        {                                          \
            std::fflush(stdout);                   \
            std::freopen("/dev/null", "r", stdin); \
            dup2(2, 1);                            \
            statement;                             \
        },                                         \
        ::testing::ExitedWithCode(255), "Vantor Runtime Error : " message)
