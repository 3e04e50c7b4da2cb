#include "host/window_mode.h"

#include "platform/key_tokens.h"
#include "platform/platform.h"

namespace {

constexpr int kF11 = KeyToken::kF1 + 10;
bool startFullscreen = false;

bool IsShortcut(int glfwKey) {
    if (glfwKey == kF11) return true;
    Platform& platform = CurrentPlatform();
    return glfwKey == KeyToken::kEnter &&
           (platform.IsKeyDown(KeyToken::kLeftAlt) || platform.IsKeyDown(KeyToken::kRightAlt));
}

}  // namespace

int SetFullscreen(int fullscreen) {
    Platform& platform = CurrentPlatform();
    platform.SetFullscreen(fullscreen != 0);
    return Fullscreen();
}

int Fullscreen() {
    return CurrentPlatform().IsFullscreen() ? 1 : 0;
}

int CanEndApp() {
    return CurrentPlatform().CanClose() ? 1 : 0;
}

void EndApp() {
    CurrentPlatform().RequestClose();
}

namespace host {

void SetStartFullscreen(bool fullscreen) {
    startFullscreen = fullscreen;
}

bool StartFullscreen() {
    return startFullscreen;
}

bool HandleWindowShortcut(int glfwKey, int action) {
    // Releases always pass: a key that went down before its modifier must come up again.
    if (action == Platform::kRelease || !IsShortcut(glfwKey)) return false;
    if (action == Platform::kPress) SetFullscreen(Fullscreen() == 0 ? 1 : 0);
    return true;
}

}  // namespace host
