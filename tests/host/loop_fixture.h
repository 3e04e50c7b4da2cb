// A host object on the headless platform that logs every hook with the scripted time, so a test
// can script the clock and window events and then read back what the frame loop did.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "graphics/gl_table.h"
#include "host/app_host.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"

struct HookRecord {
    char hook;  // 'C' create, 'U' update, 'R' render, 'S' suspend, 'Z' resume
    double time;
};

struct HookLog {
    std::vector<HookRecord> records;

    int Count(char hook) const {
        int n = 0;
        for (const HookRecord& r : records) n += r.hook == hook;
        return n;
    }
    std::vector<double> TimesOf(char hook) const {
        std::vector<double> times;
        for (const HookRecord& r : records) {
            if (r.hook == hook) times.push_back(r.time);
        }
        return times;
    }
    // Hooks in order as one string, e.g. "CRURUR".
    std::string Sequence() const {
        std::string s;
        for (const HookRecord& r : records) s += r.hook;
        return s;
    }
};

class ProbeApp : public gxtkApp {
public:
    HookLog* log = nullptr;
    Platform* platform = nullptr;
    int rateOnCreate = 60;
    // Optional script run inside a hook, after it is logged (the render count is passed).
    std::function<void(int)> onRender;
    std::function<void()> onSuspend;

    int OnCreate() override {
        Log('C');
        SetUpdateRate(rateOnCreate);
        return 0;
    }
    int OnUpdate() override {
        Log('U');
        return 0;
    }
    int OnRender() override {
        Log('R');
        if (onRender) onRender(log->Count('R'));
        return 0;
    }
    int OnSuspend() override {
        Log('S');
        if (onSuspend) onSuspend();
        return 0;
    }
    int OnResume() override {
        Log('Z');
        return 0;
    }

private:
    void Log(char hook) { log->records.push_back({hook, platform->Time()}); }
};

class LoopTest : public ::testing::Test {
protected:
    static constexpr double kPeriod = 1.0 / 60.0;

    void SetUp() override {
        SetCurrentPlatform(&platform);
        ASSERT_TRUE(platform.Init());
        ASSERT_TRUE(platform.OpenWindow(640, 480, "Vexmo"));
        probe = gc_new<ProbeApp>();
        probe->log = &log;
        probe->platform = &platform;
    }
    // The probe's log dies with the fixture, so no later test in this process may reach the
    // probe through the host (a loop the page drove is never left by Run).
    void TearDown() override {
        platform.SetListener(nullptr);
        host::app = nullptr;
        SetCurrentPlatform(nullptr);
    }

    HeadlessPlatform platform;
    GlRecorder recorder;  // the renderer draws into a log, not into GL
    HookLog log;
    ProbeApp* probe = nullptr;
};
