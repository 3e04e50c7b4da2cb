#include "runtime/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

ConsoleSinkSlot current;

}  // namespace

ConsoleSinkSlot SetConsoleSink(ConsoleSinkSlot slot) {
    const ConsoleSinkSlot before = current;
    current = slot;
    return before;
}

void ConsoleWrite(ConsoleStream stream, const char* text, std::size_t length) {
    if (current.sink) {
        current.sink(stream, text, length, current.user);
        return;
    }
    FILE* out = stream == ConsoleStream::kError ? stderr : stdout;
    std::fwrite(text, 1, length, out);
    std::fflush(out);
}

void ConsoleLine(const char* text) {
    std::string line(text);
    line += '\n';
    ConsoleWrite(ConsoleStream::kOut, line.data(), line.size());
}

void ConsoleLine(const std::string& text) {
    ConsoleLine(text.c_str());
}

void ConsoleErrorLine(const std::string& text) {
    const std::string line = text + '\n';
    ConsoleWrite(ConsoleStream::kError, line.data(), line.size());
}

void ConsoleLinef(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (needed < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(needed) < sizeof small) {
        va_end(again);
        ConsoleLine(small);
        return;
    }
    std::vector<char> large(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    va_end(again);
    ConsoleLine(large.data());
}

void ConsoleText(const std::string& text) {
    ConsoleWrite(ConsoleStream::kOut, text.data(), text.size());
}

void ConsoleErrorText(const std::string& text) {
    ConsoleWrite(ConsoleStream::kError, text.data(), text.size());
}
