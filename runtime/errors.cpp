// Console output, runtime errors and the debugger's line protocol.
#include "runtime/errors.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/console.h"

const char* dbg_info = nullptr;

namespace {

// A growable byte buffer; grown only when a message would not fit with room to spare.
struct LineBuffer {
    char* bytes = nullptr;
    int capacity = 0;

    char* Fill(const String& s) {
        const int length = s.Length();
        if (length + 99 >= capacity) {
            std::free(bytes);
            capacity = length + 100;
            bytes = static_cast<char*>(std::malloc(static_cast<std::size_t>(capacity)));
        }
        for (int i = 0; i < length; ++i) bytes[i] = static_cast<char>(s[i]);
        bytes[length] = '\0';
        return bytes;
    }
};

LineBuffer print_buffer;
LineBuffer debug_buffer;

bool IsLiveObject(const gc_object* p) {
    for (const gc_object* head : {&gc_queued_list, &gc_unmarked_list, &gc_marked_list}) {
        for (const gc_object* o = head->succ; o != head; o = o->succ) {
            if (o == p) return true;
        }
    }
    return false;
}

// "@<address>": describe the object, but only one the collector knows to be alive; an address
// typed on the debugger's console must never be dereferenced blindly.
void DescribeObjectAt(const char* text) {
    void* address = nullptr;
    if (std::sscanf(text, "%p", &address) != 1) address = nullptr;
    auto* candidate = static_cast<gc_object*>(address);
    if (candidate && IsLiveObject(candidate)) {
        if (auto* object = dynamic_cast<Object*>(candidate)) {
            dbg_print(object->debug());
            return;
        }
    }
    dbg_print(String());
}

}  // namespace

int Print(const String& s) {
    ConsoleLine(print_buffer.Fill(s));
    return 0;
}

int DebugLog(const String& s) {
    return Print(s);
}

void dbg_print(const String& s) {
    char* bytes = debug_buffer.Fill(s);
    const int length = s.Length();
    bytes[length] = '\n';
    ConsoleWrite(ConsoleStream::kError, bytes, static_cast<std::size_t>(length) + 1);
}

void Error(const String& message) {
    if (message.Length() == 0) std::exit(0);
    const std::string text = Narrow(message);
    dbg_error(text.c_str());
}

int DebugStop() {
    dbg_stop();
    return 0;
}

void dbg_error(const char* message) {
    const String report = String("Vantor Runtime Error : ") + String(message);
    // A debugger command that "continues" only brings the same report back: the failed code
    // never resumes.
    for (;;) {
        Print(report);
        Print(dbg_stacktrace());
        dbg_stop();
    }
}

void dbg_stop() {
    ConsoleErrorLine(std::string("{{~~") + (dbg_info ? dbg_info : "") + "~~}}");
    dbg_print(String());
    for (;;) {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) std::exit(-1);
        char* newline = std::strchr(line, '\n');
        if (!newline) std::exit(-1);
        *newline = '\0';
        switch (line[0]) {
            case '?':
                break;
            case '@':
                DescribeObjectAt(line + 1);
                break;
            case 'r':
            case 's':
            case 'e':
            case 'l':
                return;
            case 'q':
                std::exit(0);
            default:
                ConsoleLinef("????? %s ?????", line);
                std::exit(-1);
        }
    }
}

String dbg_stacktrace() {
    if (!dbg_info || !*dbg_info) return String();
    return String(dbg_info) + String("\n");
}

void sighandler(int signal) {
    switch (signal) {
        case SIGSEGV:
            dbg_error("Memory access violation");
        case SIGILL:
            dbg_error("Illegal instruction");
        case SIGFPE:
            dbg_error("Floating point exception");
        default:
            dbg_error("Unknown signal");
    }
}

void warn(const char* message) {
    ConsoleLine(message);
}

void fail(const char* message) {
    ConsoleLine(message);
    std::exit(-1);
}
