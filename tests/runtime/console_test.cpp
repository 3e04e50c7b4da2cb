#include "runtime/console.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/runtime/console_capture.h"

// Lines longer than the formatter's first buffer must arrive whole, and each writer ends its
// line exactly once.
TEST(Console, EveryWriterArrivesWholeOnItsOwnStream) {
    const std::string longWord(700, 'x');
    struct Case {
        const char* name;
        void (*write)(const std::string& word);
        const char* expectedOut;
        const char* expectedErr;
    };
    const Case cases[] = {
        {"line", [](const std::string& w) { ConsoleLine(w); }, "%s\n", ""},
        {"formatted", [](const std::string& w) { ConsoleLinef("<%s>", w.c_str()); }, "<%s>\n", ""},
        {"text", [](const std::string& w) { ConsoleText(w); }, "%s", ""},
        {"error line", [](const std::string& w) { ConsoleErrorLine(w); }, "", "%s\n"},
    };
    for (const Case& c : cases) {
        for (const std::string& word : {std::string("short"), longWord}) {
            CaptureConsole();
            c.write(word);
            const std::string err = TakeConsoleErrors();
            const std::string out = TakeConsoleOutput();
            auto expand = [&](const char* pattern) {
                std::string text = pattern;
                const size_t at = text.find("%s");
                if (at != std::string::npos) text.replace(at, 2, word);
                return text;
            };
            EXPECT_EQ(out, expand(c.expectedOut)) << c.name;
            EXPECT_EQ(err, expand(c.expectedErr)) << c.name;
        }
    }
}

TEST(Console, ASinkIsReplacedAndPutBack) {
    static std::string first;
    ConsoleSinkSlot before = SetConsoleSink({[](ConsoleStream, const char* text, std::size_t length,
                                                void*) { first.append(text, length); },
                                             nullptr});
    CaptureConsole();
    ConsoleLine("to the capture");
    EXPECT_EQ(TakeConsoleOutput(), "to the capture\n");
    ConsoleLine("to the first sink");
    SetConsoleSink(before);
    EXPECT_EQ(first, "to the first sink\n");
}
