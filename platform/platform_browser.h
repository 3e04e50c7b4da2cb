// The backend of the browser build: the page's canvas instead of a window. Emscripten's GLFW
// makes the WebGL context and turns the page's keys and mouse into GLFW events; the page itself
// supplies the size (in device pixels, so the pixel ratio picks the image set), the clock, the
// visibility that suspends and resumes the game, the animation frames that drive the loop, and
// the saved record's folder kept in IndexedDB (web/pre.js).
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

std::unique_ptr<Platform> NewBrowserPlatform();

// True when the page's address carries the option, as "index.html?demo" carries "demo".
bool BrowserAddressHas(const char* option);
// The option's value, as "index.html?replay=best.vxr" gives "best.vxr" for "replay"; "" when
// it has none.
std::string BrowserAddressValue(const char* option);
