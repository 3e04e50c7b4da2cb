#include "host/child_process.h"

#ifndef __EMSCRIPTEN__
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#ifndef __EMSCRIPTEN__
extern char** environ;
#endif

namespace {
#ifndef __EMSCRIPTEN__
pid_t g_child = 0;
#endif
}  // namespace

bool StartOwnProgram(const std::vector<std::string>& arguments, std::string* why) {
#ifdef __EMSCRIPTEN__
    *why = "a browser starts no programs";
    return false;
#else
    if (OwnProgramRunning()) {
        *why = "one is running already";
        return false;
    }
    const std::string self = "/proc/self/exe";
    std::vector<char*> argv;
    std::string name = "vexmo";
    argv.push_back(name.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int status = posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ);
    if (status != 0) {
        *why = std::strerror(status);
        return false;
    }
    g_child = pid;
    return true;
#endif
}

bool OwnProgramRunning() {
#ifdef __EMSCRIPTEN__
    return false;
#else
    if (g_child <= 0) return false;
    int status = 0;
    const pid_t done = waitpid(g_child, &status, WNOHANG);
    if (done == 0) return true;
    g_child = 0;
    return false;
#endif
}
