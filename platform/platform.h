// The platform seam: everything the engine needs from the operating system's window, clock,
// events and joystick. Two backends implement it: GLFW for the real game (platform_glfw.cpp)
// and a headless one with a scripted clock and injected input (platform_headless.h).
// Nothing outside host/ includes GLFW.
#pragma once

#include <string>
#include <vector>

// One picture of the window's icon: width x height pixels, 4 bytes each (R, G, B, A), rows
// top-first.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

#include "platform/gamepad_state.h"
#include "platform/monitor_choice.h"

// Receives the events a backend delivers while polling or waiting. Key codes are GLFW 3 key
// tokens (the input device translates them); actions are kPress, kRelease or kRepeat.
class PlatformEvents {
public:
    virtual ~PlatformEvents() = default;
    virtual void OnKey(int glfwKey, int action) {}
    virtual void OnChar(unsigned int codepoint) {}
    virtual void OnMouseButton(int button, int action) {}  // 0 left, 1 right, 2 middle
    virtual void OnWindowSize(int width, int height) {}
    virtual void OnWindowRefresh() {}

    // Mouse wheel: notches turned since the last event, positive away from the user.
    virtual void OnScroll(double dx, double dy) {}

    // A finger on a touch screen, in slot 0..9 (the first free one when it went down, kept until
    // it lifts): kPress when it goes down, kRepeat when it moves, kRelease when it lifts or the
    // system takes it away; at (x, y) in the cursor's window units. A backend that reports
    // fingers also moves the cursor and holds the left mouse button for the finger in slot 0.
    virtual void OnTouch(int finger, int action, double x, double y) {}
};

class Platform {
public:
    static constexpr int kRelease = 0;
    static constexpr int kPress = 1;
    static constexpr int kRepeat = 2;
    static constexpr int kMaxJoyAxes = 8;
    static constexpr int kMaxJoyButtons = 32;

    virtual ~Platform() = default;

    // Window and GL context. Open returns false when no window can be made.
    virtual bool Init() = 0;
    virtual bool OpenWindow(int width, int height, const std::string& title) = 0;
    virtual void SetWindowPos(int x, int y) = 0;
    virtual void GetDesktopSize(int* width, int* height) = 0;
    virtual void GetWindowSize(int* width, int* height) = 0;
    virtual bool IsOpen() = 0;  // false once the user asked to close
    virtual bool IsIconified() = 0;
    virtual bool IsFocused() = 0;
    virtual void SwapBuffers() = 0;
    virtual void Terminate() = 0;

    // Clock in seconds since Init, at full double precision, and sleeping.
    virtual double Time() = 0;
    virtual void Sleep(double seconds) = 0;

    // Events are delivered to the listener only inside these calls.
    virtual void SetListener(PlatformEvents* listener) = 0;
    virtual void PollEvents() = 0;
    virtual void WaitEvents() = 0;

    virtual void GetCursorPos(double* x, double* y) = 0;
    // Fill up to max values; return how many the first joystick has (0 when none).
    virtual int GetJoystickAxes(float* axes, int max) = 0;
    virtual int GetJoystickButtons(unsigned char* buttons, int max) = 0;

    // --- Gamepads: pads whose standard layout the window system knows ------------------
    // The defaults are a backend without gamepads: every pad reads raw, mappings are not taken.
    //
    // Fills `state` and returns true when the first joystick (the one read above) is a pad with
    // a known mapping; false means no pad, or one whose raw axes and buttons are all there is.
    virtual bool GetGamepadState(GamepadState* state) { return false; }
    // Whether AddGamepadMapping does anything here.
    virtual bool TakesGamepadMappings() { return false; }
    // Adds one line of the community "gamecontrollerdb.txt" format (GUID, name, elements). A
    // line for a pad already known replaces its mapping. False, with the reason in `error`,
    // when the line is rejected.
    virtual bool AddGamepadMapping(const std::string& line, std::string* error) { return false; }

    // --- Display: framebuffer, fullscreen, icon -----------------------------------------
    // Each has a plain default so a backend without the feature still works (one monitor at
    // scale 1, no fullscreen, no icon); the GLFW and headless backends implement them all.

    // The drawable area in pixels. On a scaled display it is larger than the window size,
    // which stays in the window system's screen units (as do the cursor and window position).
    virtual void GetFramebufferSize(int* width, int* height) { GetWindowSize(width, height); }
    // Fullscreen covers the monitor that holds the window's centre, at that monitor's current
    // video mode; leaving it puts the window back at the size and place it had before. False
    // when the change cannot be made (no monitor, no window); the mode then stays as it was.
    virtual bool SetFullscreen(bool fullscreen) { return !fullscreen; }
    virtual bool IsFullscreen() { return false; }
    // The pictures the window system may choose from for the window's icon; an empty list
    // leaves the window without one.
    virtual void SetWindowIcon(const std::vector<IconImage>& images) {}
    // Whether a key (a GLFW key token) is held right now, for shortcuts with a modifier.
    virtual bool IsKeyDown(int glfwKey) { return false; }

    // --- Placing and closing the window ---------------------------------------------------
    // The window's top-left corner on the desktop, in screen units; false where a window has
    // no place of its own (a page in a browser).
    virtual bool GetWindowPos(int* x, int* y) {
        *x = 0;
        *y = 0;
        return false;
    }
    virtual void SetWindowSize(int width, int height) {}
    // Fills up to `max` work areas (each monitor less its panels and docks), primary first, and
    // returns how many; the default is one, the desktop's size at 0, 0. Fills an array, not a
    // list, because the window's place is checked while the game runs.
    virtual int GetWorkAreas(MonitorArea* areas, int max);
    // Whether the program may close its own window (a desktop's; a browser tab is the
    // browser's), and the close itself, as by the window's close button: IsOpen turns false.
    virtual bool CanClose() { return false; }
    virtual void RequestClose() {}

    // --- Backends that own the frame loop and the storage (the browser) ---------------
    // Asks the backend to call `pass` once per display frame from now on. A backend that can
    // returns true and the host stops looping itself; the desktop ones return false.
    virtual bool SchedulePasses(void (*pass)()) { return false; }
    // Called after the record was written, so the backend can carry it to lasting storage.
    // Returns why it cannot (a browser refusing storage), or an empty string when it will last.
    virtual std::string KeepSavedState() { return std::string(); }
};

// The backend the program runs on; set once at start-up (GLFW in the game, headless in tests).
Platform& CurrentPlatform();
void SetCurrentPlatform(Platform* platform);
