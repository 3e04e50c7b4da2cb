// Gathers what the code under test says on the console, through the console's sink: from
// CaptureConsole until the matching Take, nothing reaches the real streams.
#pragma once

#include <string>

#include "runtime/console.h"

namespace console_capture {
struct Gathered {
    std::string out;
    std::string err;
    bool active = false;
    ConsoleSinkSlot before;
};
inline Gathered& State() {
    static Gathered gathered;
    return gathered;
}
inline void Keep(ConsoleStream stream, const char* text, std::size_t length, void*) {
    (stream == ConsoleStream::kError ? State().err : State().out).append(text, length);
}
inline void Stop() {
    if (!State().active) return;
    SetConsoleSink(State().before);
    State().active = false;
}
}  // namespace console_capture

inline void CaptureConsole() {
    console_capture::Gathered& state = console_capture::State();
    if (!state.active) state.before = SetConsoleSink({console_capture::Keep, nullptr});
    state.active = true;
    state.out.clear();
    state.err.clear();
}

// What was written to standard output since CaptureConsole; ends the capture.
inline std::string TakeConsoleOutput() {
    console_capture::Stop();
    return std::move(console_capture::State().out);
}

// What was written to standard error since CaptureConsole; ends the capture.
inline std::string TakeConsoleErrors() {
    console_capture::Stop();
    return std::move(console_capture::State().err);
}
