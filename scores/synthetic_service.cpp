// vexmo-scores-synthetic: the score board with a stand-in for the game's replay check, for
// load figures (scripts/bench-scores) on a build without the game's verifier. A "replay" is any
// text; playing it costs $VEXMO_SCORES_SYNTHETIC_MS of processor time (300) and scores a number
// derived from its bytes. Never a board to run for players: it trusts whatever is posted.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "scores/options.h"
#include "scores/service.h"

namespace {

scores::Verdict PlaySynthetic(const std::vector<unsigned char>& bytes) {
    const char* cost = std::getenv("VEXMO_SCORES_SYNTHETIC_MS");
    const auto spend = std::chrono::milliseconds(cost ? std::atoi(cost) : 300);
    unsigned hash = 2166136261u;
    for (unsigned char b : bytes) hash = (hash ^ b) * 16777619u;
    // Processor time, as a simulation spends it; a sleep would not load the machine.
    auto until = std::chrono::steady_clock::now() + spend;
    volatile unsigned sink = hash;
    while (std::chrono::steady_clock::now() < until)
        for (int i = 0; i < 10000; ++i) sink = sink * 1664525u + 1013904223u;
    scores::Verdict v;
    v.ok = true;
    v.score = static_cast<int>(hash % 100000);
    static const char* kNames[] = {"easy", "normal", "hard"};
    v.difficulty = kNames[hash % 3];
    v.rounds = 1 + static_cast<int>(hash % 7);
    v.updates = 18000;
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    scores::Options options;
    std::string error;
    bool help = false;
    if (!scores::ReadOptions(argc, argv, options, error, help) || help) {
        std::fprintf(stderr, "vexmo-scores-synthetic: %s\n%s", error.c_str(),
                     scores::OptionsHelp());
        return help ? 0 : 2;
    }
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<scores::ScoreStore> store;
    try {
        store = scores::OpenStore(options.db, options.db_connections);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vexmo-scores-synthetic: %s\n", e.what());
        return 1;
    }
    scores::Service service(*store, PlaySynthetic, options.service);
    if (service.Bind(options.host, options.port) < 0) {
        std::fprintf(stderr, "vexmo-scores-synthetic: cannot listen on port %d\n", options.port);
        return 1;
    }
    std::printf("vexmo-scores-synthetic: port %d on %s\n", options.port, store->Kind());
    std::fflush(stdout);
    std::thread stopper([&] {
        int sig = 0;
        sigwait(&stops, &sig);
        service.Stop();
    });
    service.Run();
    // The stopper waits for SIGTERM in sigwait (blocked everywhere): this wakes it, it ends
    // nothing.
    pthread_kill(stopper.native_handle(), SIGTERM);  // NOLINT(bugprone-bad-signal-to-kill-thread)
    stopper.join();
    return 0;
}
