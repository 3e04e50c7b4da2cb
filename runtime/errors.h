// Console output, runtime errors and the line-based debugger protocol.
//
// A runtime error prints "Vantor Runtime Error : <message>" and hands control to the debugger
// protocol on standard input/standard error; with no debugger attached the first read fails and
// the process exits with status -1 (255 as a shell sees it).
#pragma once

#include "runtime/gc.h"
#include "runtime/string.h"

// One line on standard output (characters cut to 8 bits), flushed. Returns 0.
int Print(const String& s);
int DebugLog(const String& s);
// One line on standard error, for the debugger.
void dbg_print(const String& s);

// An empty message ends the process quietly with status 0; anything else is a runtime error.
[[noreturn]] void Error(const String& message);
// Enters the debugger protocol once; returns 0 when a command lets the program continue.
int DebugStop();

[[noreturn]] void dbg_error(const char* message);
void dbg_stop();
// Empty unless a debug position is recorded (this program never records one).
String dbg_stacktrace();
// The current debug position text; null when none is recorded.
extern const char* dbg_info;

// Turns crash signals (11, 4, 8) into runtime errors.
[[noreturn]] void sighandler(int signal);

// Start-up reporting: warn prints and continues, fail prints and exits with status -1.
void warn(const char* message);
[[noreturn]] void fail(const char* message);

// Base of language-level exceptions; the entry point catches it.
class ThrowableObject : public Object {};
