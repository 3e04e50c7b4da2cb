#include "runtime/errors.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

struct ChildResult {
    int exit_code = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

std::string ReadAll(int fd) {
    std::string text;
    char buf[4096];
    for (;;) {
        const ssize_t got = read(fd, buf, sizeof buf);
        if (got <= 0) break;
        text.append(buf, static_cast<std::size_t>(got));
    }
    return text;
}

// Runs `body` in a forked child with the given standard input; collects its output and status.
ChildResult RunChild(const std::function<void()>& body, const std::string& input = "") {
    int in_pipe[2], out_pipe[2], err_pipe[2];
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        for (int fd :
             {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
            close(fd);
        }
        body();
        std::fflush(stdout);
        _exit(77);  // the body was expected not to return
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (!input.empty()) {
        const ssize_t written = write(in_pipe[1], input.data(), input.size());
        (void)written;
    }
    close(in_pipe[1]);
    ChildResult result;
    result.out = ReadAll(out_pipe[0]);
    result.err = ReadAll(err_pipe[0]);
    close(out_pipe[0]);
    close(err_pipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    return result;
}

constexpr int kErrorExit = 255;  // exit(-1) as the parent sees it

TEST(Print, WritesOneFlushedLineOfNarrowedCharacters) {
    const ChildResult r = RunChild([] {
        Print(T("hello"));
        DebugLog(String(static_cast<String::Char>(0x141), 1));  // cut to 0x41
        std::_Exit(0);  // no flush at exit: the line must already be out
    });
    EXPECT_EQ(r.out, "hello\nA\n");
}

TEST(Print, LongMessagesAreNotCutAndShortOnesFollowCleanly) {
    const std::string long_text(300, 'x');
    const ChildResult r = RunChild([&] {
        Print(String(long_text.c_str()));
        Print(T("ok"));
        std::_Exit(0);
    });
    EXPECT_EQ(r.out, long_text + "\nok\n");
}

TEST(DebugPrint, GoesToStandardErrorWithANewline) {
    const ChildResult r = RunChild([] {
        dbg_print(T("trace"));
        std::_Exit(0);
    });
    EXPECT_EQ(r.err, "trace\n");
    EXPECT_EQ(r.out, "");
}

TEST(RuntimeError, EmptyMessageExitsQuietlyWithSuccess) {
    const ChildResult r = RunChild([] { Error(String()); });
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST(RuntimeError, ReportsAndExitsWhenNoDebuggerAnswers) {
    const ChildResult r = RunChild([] { Error(T("abc")); });
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_EQ(r.out, "Vantor Runtime Error : abc\n\n");
    EXPECT_EQ(r.err, "{{~~~~}}\n\n");
}

TEST(RuntimeError, ContinuingOnlyReportsTheSameErrorAgain) {
    const ChildResult r = RunChild([] { Error(T("abc")); }, "r\n");
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_EQ(r.out, "Vantor Runtime Error : abc\n\nVantor Runtime Error : abc\n\n");
}

TEST(DebuggerProtocol, QuitExitsWithSuccess) {
    const ChildResult r = RunChild([] { Error(T("abc")); }, "q\n");
    EXPECT_EQ(r.exit_code, 0);
}

TEST(DebuggerProtocol, UnknownCommandIsEchoedAndFatal) {
    const ChildResult r = RunChild([] { Error(T("abc")); }, "x\n");
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_NE(r.out.find("????? x ?????\n"), std::string::npos);
}

TEST(DebuggerProtocol, LineWithoutNewlineEnds) {
    const ChildResult r = RunChild([] { Error(T("abc")); }, "q");
    EXPECT_EQ(r.exit_code, kErrorExit);
}

TEST(DebuggerProtocol, QuestionMarkReadsOnAndStepCommandsReturn) {
    const ChildResult r = RunChild(
        [] {
            const int result = DebugStop();
            Print(String(result));
            std::fflush(stdout);
            std::_Exit(3);
        },
        "?\ns\n");
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(r.out, "0\n");
}

TEST(DebuggerProtocol, AddressesOfNoLiveObjectDescribeNothing) {
    const ChildResult bogus = RunChild(
        [] {
            DebugStop();
            std::_Exit(5);
        },
        "@0x10\n@0\nr\n");
    EXPECT_EQ(bogus.exit_code, 5);
    EXPECT_EQ(bogus.err, "{{~~~~}}\n\n\n\n");
}

TEST(DebuggerProtocol, DescribesALiveObject) {
    // The object is made before the fork, so its address is the same in the child.
    Object* live = gc_new<Object>();
    char command[64];
    std::snprintf(command, sizeof command, "@%p\nr\n", static_cast<void*>(live));
    const ChildResult r = RunChild(
        [] {
            DebugStop();
            std::_Exit(6);
        },
        command);
    EXPECT_EQ(r.exit_code, 6);
    EXPECT_EQ(r.err, "{{~~~~}}\n\n+Object\n\n");
}

TEST(StackTrace, EmptyWithoutADebugPosition) {
    EXPECT_EQ(dbg_stacktrace().Length(), 0);
}

TEST(Signals, ArithmeticFaultBecomesARuntimeError) {
    const ChildResult r = RunChild([] {
        std::signal(SIGFPE, sighandler);
        std::raise(SIGFPE);
    });
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_EQ(r.out, "Vantor Runtime Error : Floating point exception\n\n");
}

TEST(Signals, EachSignalHasItsMessage) {
    const std::pair<int, const char*> cases[] = {{SIGILL, "Illegal instruction"},
                                                 {SIGSEGV, "Memory access violation"},
                                                 {SIGUSR1, "Unknown signal"}};
    for (const auto& [signal_number, message] : cases) {
        const int sig = signal_number;
        const ChildResult r = RunChild([sig] { sighandler(sig); });
        EXPECT_EQ(r.exit_code, kErrorExit) << sig;
        EXPECT_EQ(r.out, std::string("Vantor Runtime Error : ") + message + "\n\n");
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define VEXMO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEXMO_UNDER_ASAN 1
#endif
#endif

TEST(Signals, RealInvalidMemoryAccessIsReported) {
#ifdef VEXMO_UNDER_ASAN
    GTEST_SKIP() << "AddressSanitizer owns SIGSEGV";
#else
    const ChildResult r = RunChild([] {
        std::signal(SIGSEGV, sighandler);
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
    });
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_EQ(r.out, "Vantor Runtime Error : Memory access violation\n\n");
#endif
}

TEST(RuntimeError, AbsurdArrayLengthIsRefusedNotTruncated) {
    const ChildResult r = RunChild([] { Array<double> huge(0x7FFFFFFF); });
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_NE(r.out.find("Vantor Runtime Error : Out of memory\n"), std::string::npos);
}

TEST(Startup, WarnContinuesFailExits) {
    const ChildResult r = RunChild([] {
        warn("careful");
        fail("no window");
    });
    EXPECT_EQ(r.exit_code, kErrorExit);
    EXPECT_EQ(r.out, "careful\nno window\n");
}

}  // namespace
