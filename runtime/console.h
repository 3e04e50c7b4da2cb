// The one way to the console. Every line the program prints goes through here, so output is
// flushed in one place (a line must be on the console before a crash can follow it) and a test
// can catch what a piece of code says by installing a sink instead of capturing the process's
// standard output.
#pragma once

#include <cstddef>
#include <string>

enum class ConsoleStream { kOut, kError };

// Receives every piece of text written; `text` holds `length` bytes and ends with the line's
// newline where the writer gave one.
using ConsoleSink = void (*)(ConsoleStream stream, const char* text, std::size_t length,
                             void* user);

// Routes all console output to `sink` until it is set again; a null sink restores the
// standard streams. Returns the sink that was installed before, so a test can put it back.
struct ConsoleSinkSlot {
    ConsoleSink sink = nullptr;
    void* user = nullptr;
};
ConsoleSinkSlot SetConsoleSink(ConsoleSinkSlot slot);

// Writes the text as it is (usage and help texts of several lines) and flushes.
void ConsoleWrite(ConsoleStream stream, const char* text, std::size_t length);
// Writes one line: the text and a newline, flushed.
void ConsoleLine(const char* text);
void ConsoleLine(const std::string& text);
void ConsoleErrorLine(const std::string& text);
// A formatted line (printf's rules, no newline needed), flushed.
void ConsoleLinef(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Several lines at once, written as they are.
void ConsoleText(const std::string& text);
void ConsoleErrorText(const std::string& text);
