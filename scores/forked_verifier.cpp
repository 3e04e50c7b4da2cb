#include "scores/forked_verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

namespace scores {

namespace {

bool WriteAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        ssize_t n = write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

[[noreturn]] void RunChild(const Verifier& verify, const std::vector<unsigned char>& bytes, int out,
                           pid_t parent) {
    // A service killed outright takes its verifiers along: nobody is left to read their verdict.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(4);
    // The child holds none of the parent's sockets: a connection the service closes, or its
    // listening port after a crash, must not stay open for as long as a replay plays.
    if (out != 3) {
        dup2(out, 3);
        out = 3;
    }
    close_range(4, ~0u, 0);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    int status = 3;
    try {
        Verdict v = verify(bytes);
        nlohmann::json j = {{"ok", v.ok},         {"reason", v.reason},
                            {"score", v.score},   {"difficulty", v.difficulty},
                            {"rounds", v.rounds}, {"updates", v.updates}};
        status = WriteAll(out, j.dump()) ? 0 : 2;
    } catch (const std::exception& e) {
        WriteAll(out, std::string("!") + e.what());
    } catch (...) {
        WriteAll(out, "!unknown exception");
    }
    // No exit handlers or destructors: they belong to the parent's objects.
    _exit(status);
}

std::string Describe(int status) {
    if (WIFSIGNALED(status)) return std::string("killed by signal ") + strsignal(WTERMSIG(status));
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    return "ended";
}

}  // namespace

ForkedVerdict VerifyInChild(const Verifier& verify, const std::vector<unsigned char>& bytes,
                            std::chrono::milliseconds budget) {
    ForkedVerdict result;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        result.detail = std::string("pipe: ") + strerror(errno);
        return result;
    }
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0) {
        result.detail = std::string("fork: ") + strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return result;
    }
    if (pid == 0) {
        close(fds[0]);
        RunChild(verify, bytes, fds[1], parent);
    }
    close(fds[1]);

    auto deadline = std::chrono::steady_clock::now() + budget;
    std::string answer;
    bool timed_out = false;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        int n = poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) continue;  // the loop sees the deadline
        char buf[4096];
        ssize_t got = read(fds[0], buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // the child closed its end: finished or died
        answer.append(buf, static_cast<size_t>(got));
    }
    close(fds[0]);
    if (timed_out) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    if (timed_out) {
        result.end = ChildEnd::kTimedOut;
        result.detail = "ran past its time budget of " + std::to_string(budget.count()) + " ms";
        return result;
    }
    bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!clean || answer.empty() || answer[0] == '!') {
        result.end = ChildEnd::kCrashed;
        result.detail = Describe(status);
        if (!answer.empty() && answer[0] == '!') result.detail += " (" + answer.substr(1) + ")";
        return result;
    }
    auto j = nlohmann::json::parse(answer, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        result.end = ChildEnd::kCrashed;
        result.detail = "answered something unreadable";
        return result;
    }
    result.end = ChildEnd::kVerdict;
    Verdict& v = result.verdict;
    v.ok = j.value("ok", false);
    v.reason = j.value("reason", std::string());
    v.score = j.value("score", 0);
    v.difficulty = j.value("difficulty", std::string());
    v.rounds = j.value("rounds", 0);
    v.updates = j.value("updates", 0L);
    return result;
}

}  // namespace scores
