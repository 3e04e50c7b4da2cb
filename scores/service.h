#pragma once
// The score board's HTTP service: posts of replays, the top lists, the stored replays, and the
// browser build's files. All it remembers lives in the ScoreStore, so any number of copies can
// share one database.
#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>

#include "scores/http_server.h"
#include "scores/rate_limit.h"
#include "scores/store.h"
#include "scores/verifier_pool.h"

namespace scores {

// Sent with every file of the page the service serves: the page looks for it on its own address.
inline constexpr const char* kBoardHeader = "X-Vexmo-Board";

struct ServiceOptions {
    int verifier_threads = 1;
    int queue_length = 8;
    std::chrono::milliseconds budget{10000};  // per replay
    double posts_per_minute = 10;
    double post_burst = 10;
    int http_threads = 64;
    int read_timeout_seconds = 5;   // a client silent this long is dropped
    int body_timeout_seconds = 10;  // a whole replay must arrive within this
    size_t max_replay_bytes = 1 << 20;
    bool trust_forwarded_for = false;  // behind a proxy: the address is X-Forwarded-For's last
    std::string web_dir;               // served at / when set
};

class Service {
public:
    // An empty `verify` answers every post 501: a build without the game's simulation.
    Service(ScoreStore& store, Verifier verify, ServiceOptions options);
    ~Service();

    // Binds `host`:`port` (0: any free port) and answers the port, or -1.
    int Bind(const std::string& host, int port);
    void Run();  // until Stop()
    void Stop();
    const ServiceOptions& options() const { return options_; }

private:
    void Routes();
    void PostGame(const httplib::Request& req, httplib::Response& res,
                  const httplib::ContentReader& reader);
    void Top(const httplib::Request& req, httplib::Response& res);
    void Replay(const httplib::Request& req, httplib::Response& res);
    httplib::Server::HandlerResponse Gate(const httplib::Request& req, httplib::Response& res);
    std::string Address(const httplib::Request& req) const;

    ScoreStore& store_;
    bool can_verify_;
    ServiceOptions options_;
    VerifierPool pool_;
    RateLimit limit_;
    HttpServer server_;
};

}  // namespace scores
