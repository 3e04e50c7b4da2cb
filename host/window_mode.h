// The window's two modes, a window on the desktop or fullscreen on its monitor. The player
// switches with F11 or Alt+Enter (handled by the host, so the keys never reach the game); the
// game asks for a mode and reads it back through the app module's two functions below.
#pragma once

// App module: asks for fullscreen (1) or a window (0); returns the mode the window is in
// afterwards, which stays as it was when the change cannot be made.
int SetFullscreen(int fullscreen);
// App module: 1 while the window is fullscreen, else 0.
int Fullscreen();
// App module: 1 where the program may close its own window (a desktop), 0 where it may not (a
// browser tab is closed by the browser).
int CanEndApp();
// App module: closes the window as its close button does; the frame loop ends after this pass.
void EndApp();

namespace host {
// Set before start-up (the --fullscreen option): the window goes fullscreen as it opens.
void SetStartFullscreen(bool fullscreen);
bool StartFullscreen();

// For the host's key callback: true when the key event is one of the window shortcuts (a press
// or repeat of F11, or of Enter while an Alt key is held), which the host then keeps from the
// game. A press switches the mode; its repeats do nothing more.
bool HandleWindowShortcut(int glfwKey, int action);
}  // namespace host
