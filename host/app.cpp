#include "host/app.h"

#include "audio/audio.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "input/input.h"

namespace app {
gc_ref<AppDevice> device;
}  // namespace app

App::App() {
    app::device = gc_new<AppDevice>(this);
}

int App::OnCreate() {
    return 0;
}
int App::OnUpdate() {
    return 0;
}
int App::OnSuspend() {
    return 0;
}
int App::OnResume() {
    return 0;
}
int App::OnRender() {
    return 0;
}
int App::OnLoading() {
    return 0;
}

AppDevice::AppDevice(App* bound) {
    app = bound;
    SetGraphicsDevice(GraphicsDevice());
    SetInputDevice(InputDevice());
    SetAudioDevice(AudioDevice());
}

void AppDevice::mark() {
    gxtkApp::mark();
    gc_mark_field(app);
}

int AppDevice::SetUpdateRate(int hertz) {
    return gxtkApp::SetUpdateRate(hertz);
}

int AppDevice::OnCreate() {
    SetFont(nullptr, 32);
    return app->OnCreate();
}

int AppDevice::OnSuspend() {
    return app->OnSuspend();
}
int AppDevice::OnResume() {
    return app->OnResume();
}
int AppDevice::OnUpdate() {
    return app->OnUpdate();
}

// The game may draw only inside its render hook: the graphics module's frame brackets it.
int AppDevice::OnRender() {
    BeginRender();
    const int result = app->OnRender();
    EndRender();
    return result;
}

int AppDevice::OnLoading() {
    BeginRender();
    const int result = app->OnLoading();
    EndRender();
    return result;
}

void InitAppGlobals() {
    app::device = nullptr;
    gc_add_root(app::device);
}

int SetUpdateRate(int hertz) {
    return app::device ? app::device->SetUpdateRate(hertz) : 0;
}
int Millisecs() {
    return app::device ? app::device->MilliSecs() : 0;
}
String LoadState() {
    return app::device ? app::device->LoadState() : String();
}
int SaveState(const String& state) {
    return app::device ? app::device->SaveState(state) : -1;
}
