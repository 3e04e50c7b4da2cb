// The app module: the base class App whose hooks the game overrides, the adapter AppDevice that
// forwards the host's hooks to it, and the module functions the game calls.
#pragma once

#include "host/app_host.h"
#include "runtime/gc.h"
#include "runtime/string.h"

class App : public Object {
public:
    // Creates the AppDevice (and through it the host object and its devices), binds it to this
    // app and publishes it as app::device. The game makes its one App with gc_new.
    App();

    virtual int OnCreate();
    virtual int OnUpdate();
    virtual int OnSuspend();
    virtual int OnResume();
    virtual int OnRender();
    virtual int OnLoading();
};

class AppDevice : public gxtkApp {
public:
    gc_ref<App> app;

    // Binds to `app` and publishes the graphics, input and audio devices in their modules.
    explicit AppDevice(App* bound);
    void mark() override;

    int SetUpdateRate(int hertz) override;
    int OnCreate() override;
    int OnSuspend() override;
    int OnResume() override;
    int OnUpdate() override;
    int OnRender() override;
    int OnLoading() override;
};

namespace app {
// The application adapter, set once by App's constructor.
extern gc_ref<AppDevice> device;
}  // namespace app

// Sets the module's device to null and registers it with the collector's roots.
void InitAppGlobals();

int SetUpdateRate(int hertz);
int Millisecs();
String LoadState();
// 0 on success, -1 when the state file cannot be created, -2 on a short write (the console
// then has a line "Save failed: <reason>").
int SaveState(const String& state);
