// vexmo-scores: the score board service. See README.md, "Score board".
#include <signal.h>

#include <cstdio>
#include <string>
#include <thread>

#include "scores/game_verifier.h"
#include "scores/options.h"
#include "scores/service.h"

int main(int argc, char** argv) {
    scores::Options options;
    std::string error;
    bool help = false;
    if (!scores::ReadOptions(argc, argv, options, error, help)) {
        std::fprintf(stderr, "vexmo-scores: %s\n", error.c_str());
        return 2;
    }
    if (help) {
        std::fputs(scores::OptionsHelp(), stdout);
        return 0;
    }
    // Every thread, the verifier children included, leaves SIGINT and SIGTERM to the one that
    // waits for them, so a stop finishes the requests in flight.
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
        std::fprintf(stderr, "vexmo-scores: %s\n", e.what());
        return 1;
    }
    const std::string data = scores::ChooseGameData(argc > 0 ? argv[0] : "vexmo-scores");
    if (data.empty()) {
        std::fprintf(stderr,
                     "vexmo-scores: no game data folder found (set VEXMO_SCORES_DATA); posts are "
                     "refused\n");
    }
    scores::Verifier verify = scores::GameVerifier(data);
    scores::Service service(*store, verify, options.service);
    int port = service.Bind(options.host, options.port);
    if (port < 0) {
        std::fprintf(stderr, "vexmo-scores: cannot listen on %s:%d\n", options.host.c_str(),
                     options.port);
        return 1;
    }
    std::printf(
        "vexmo-scores: http://%s:%d/ on %s (schema %d), %d verifiers%s%s\n", options.host.c_str(),
        port, store->Kind(), store->SchemaVersion(), options.service.verifier_threads,
        verify ? "" : " (no replay verifier built in)",
        options.service.web_dir.empty() ? "" : (", page from " + options.service.web_dir).c_str());
    std::fflush(stdout);

    std::thread stopper([&] {
        int sig = 0;
        sigwait(&stops, &sig);
        std::printf("vexmo-scores: stopping (%s)\n", strsignal(sig));
        std::fflush(stdout);
        service.Stop();
    });
    service.Run();
    // Run() also ends when the listening socket fails; wake the stopper then.
    // The stopper waits for SIGTERM in sigwait (blocked everywhere): this wakes it, it ends
    // nothing.
    pthread_kill(stopper.native_handle(), SIGTERM);  // NOLINT(bugprone-bad-signal-to-kill-thread)
    stopper.join();
    return 0;
}
