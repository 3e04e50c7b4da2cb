#include "scores/options.h"

#include <cstdlib>
#include <thread>

namespace scores {

namespace {

bool ToInt(const std::string& text, int lo, int hi, int& out) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

struct Setting {
    const char* flag;
    const char* env;
    const char* help;
};

const Setting kSettings[] = {
    {"--host", "VEXMO_SCORES_HOST", "address to listen on (127.0.0.1)"},
    {"--port", "VEXMO_SCORES_PORT", "port (8787)"},
    {"--db", "VEXMO_SCORES_DB", "SQLite file or postgresql:// URL (./scores.db)"},
    {"--web", "VEXMO_SCORES_WEB", "folder of the browser build to serve at / (none)"},
    {"--verifiers", "VEXMO_SCORES_VERIFIERS", "verifier processes at a time (one per core)"},
    {"--queue", "VEXMO_SCORES_QUEUE", "posts waiting for a verifier before 503 (4 per verifier)"},
    {"--budget", "VEXMO_SCORES_BUDGET_MS", "time to verify one replay, ms (20000)"},
    {"--posts-per-minute", "VEXMO_SCORES_POSTS_PER_MINUTE", "posts per address (10, burst 10)"},
    {"--http-threads", "VEXMO_SCORES_HTTP_THREADS", "connections served at once (256)"},
    {"--db-connections", "VEXMO_SCORES_DB_CONNECTIONS", "database connections (8)"},
    {"--trust-proxy", "VEXMO_SCORES_TRUST_PROXY", "1: rate-limit by X-Forwarded-For (0)"},
};

bool Apply(const std::string& flag, const std::string& value, Options& o, std::string& error) {
    auto number = [&](int lo, int hi, int& out) {
        if (ToInt(value, lo, hi, out)) return true;
        error = flag + " wants a whole number from " + std::to_string(lo) + " to " +
                std::to_string(hi) + ", not '" + value + "'";
        return false;
    };
    ServiceOptions& s = o.service;
    int n = 0;
    if (flag == "--host")
        o.host = value;
    else if (flag == "--port")
        return number(1, 65535, o.port);
    else if (flag == "--db")
        o.db = value;
    else if (flag == "--web")
        s.web_dir = value;
    else if (flag == "--verifiers")
        return number(1, 256, s.verifier_threads);
    else if (flag == "--queue")
        return number(0, 10000, s.queue_length);
    else if (flag == "--budget") {
        if (!number(100, 600000, n)) return false;
        s.budget = std::chrono::milliseconds(n);
    } else if (flag == "--posts-per-minute") {
        if (!number(1, 1000000, n)) return false;
        s.posts_per_minute = s.post_burst = n;
    } else if (flag == "--http-threads")
        return number(1, 4096, s.http_threads);
    else if (flag == "--db-connections")
        return number(1, 256, o.db_connections);
    else if (flag == "--trust-proxy") {
        if (!number(0, 1, n)) return false;
        s.trust_forwarded_for = n == 1;
    } else {
        error = "unknown option " + flag + " (see --help)";
        return false;
    }
    return true;
}

}  // namespace

bool ReadOptions(int argc, char** argv, Options& o, std::string& error, bool& help) {
    help = false;
    int cores = static_cast<int>(std::thread::hardware_concurrency());
    o.service.verifier_threads = std::max(1, cores);
    o.service.queue_length = -1;
    o.service.budget = std::chrono::milliseconds(20000);
    o.service.http_threads = 256;
    for (const auto& s : kSettings) {
        const char* v = std::getenv(s.env);
        if (v && *v && !Apply(s.flag, v, o, error)) {
            error.insert(0, std::string("$") + s.env + ": ");
            return false;
        }
    }
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        std::string value;
        auto eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = arg + " needs a value";
            return false;
        }
        if (!Apply(arg, value, o, error)) return false;
    }
    if (o.service.queue_length < 0) o.service.queue_length = 4 * o.service.verifier_threads;
    return true;
}

const char* OptionsHelp() {
    static const std::string text = [] {
        std::string t =
            "Usage: vexmo-scores [OPTION VALUE]...\n"
            "The score board: verifies posted replays and serves the top lists.\n"
            "Each option can also come from the environment variable beside it.\n";
        for (const auto& s : kSettings) {
            std::string line = std::string("  ") + s.flag;
            line.resize(22, ' ');
            line += std::string("$") + s.env;
            line.resize(54, ' ');
            t += line + s.help + "\n";
        }
        return t;
    }();
    return text.c_str();
}

}  // namespace scores
