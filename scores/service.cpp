#include "scores/service.h"

#include <cmath>
#include <ctime>
#include <regex>

#include "scores/http_json.h"
#include "scores/replay_id.h"

namespace scores {

using httplib::Request;
using httplib::Response;
using Gated = httplib::Server::HandlerResponse;

namespace {

const std::regex kGamePath(R"(/v1/games/([^/]+))");
const std::regex kReplayPath(R"(/v1/games/([^/]+)/replay)");

bool ParseCount(const std::string& text, long long max, long long& out) {
    if (text.empty() || text.size() > 19) return false;
    out = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
        if (out > max) return false;
    }
    return true;
}

// The first query parameter that is not one of `known`, or one that is given twice.
std::string StrayParameter(const Request& req, std::initializer_list<const char*> known) {
    for (const auto& [key, value] : req.params) {
        bool ok = false;
        for (const char* k : known) ok = ok || key == k;
        if (!ok) return "unknown query parameter '" + key + "'";
        if (req.params.count(key) > 1) return "query parameter '" + key + "' given twice";
    }
    return "";
}

}  // namespace

Service::Service(ScoreStore& store, Verifier verify, ServiceOptions options)
    : store_(store),
      can_verify_(static_cast<bool>(verify)),
      options_(std::move(options)),
      pool_(std::move(verify), options_.verifier_threads, options_.queue_length, options_.budget),
      limit_(options_.posts_per_minute, options_.post_burst) {
    Routes();
}

Service::~Service() {
    Stop();
}

int Service::Bind(const std::string& host, int port) {
    int bound =
        port == 0 ? server_.bind_to_any_port(host) : (server_.bind_to_port(host, port) ? port : -1);
    if (bound > 0) server_.RaiseBacklog(1024);
    return bound;
}

void Service::Run() {
    server_.listen_after_bind();
}

void Service::Stop() {
    if (server_.is_running()) server_.stop();
}

std::string Service::Address(const Request& req) const {
    if (options_.trust_forwarded_for && req.has_header("X-Forwarded-For")) {
        std::string chain = req.get_header_value("X-Forwarded-For");
        auto comma = chain.rfind(',');
        std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
        auto start = last.find_first_not_of(' ');
        if (start != std::string::npos) return last.substr(start);
    }
    return req.remote_addr;
}

void Service::Routes() {
    const int http_threads = std::max(1, options_.http_threads);
    server_.new_task_queue = [http_threads] { return new httplib::ThreadPool(http_threads); };
    server_.set_read_timeout(options_.read_timeout_seconds, 0);
    server_.set_write_timeout(options_.read_timeout_seconds, 0);
    server_.set_tcp_nodelay(true);
    server_.set_keep_alive_max_count(1000);
    server_.set_keep_alive_timeout(5);
    server_.set_request_deadline(options_.body_timeout_seconds);
    server_.set_payload_max_length(options_.max_replay_bytes);
    server_.set_default_headers({{"Access-Control-Allow-Origin", "*"}});
    server_.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
    server_.set_file_extension_and_mimetype_mapping("data", "application/octet-stream");
    if (!options_.web_dir.empty()) server_.set_mount_point("/", options_.web_dir);

    server_.set_pre_routing_handler(
        [this](const Request& req, Response& res) { return Gate(req, res); });
    server_.set_error_handler([](const Request& req, Response& res) {
        if (res.body.empty()) {
            // httplib answers 400 to headers that stopped coming; the client was slow.
            if (res.status == 400 && HttpServer::RequestTimedOut()) res.status = 408;
            std::string message = StatusMessage(res.status);
            if (res.status == 404) message += ": " + req.path;
            // httplib's own refusals (a request it could not parse, a body it gave up on)
            // leave the connection in an unknown place.
            if (res.status == 404)
                SendError(res, res.status, message);
            else
                SendErrorAndClose(res, res.status, message);
        }
    });
    server_.set_exception_handler([](const Request&, Response& res, std::exception_ptr ep) {
        std::string what = "unknown";
        try {
            std::rethrow_exception(std::move(ep));
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        SendErrorAndClose(res, 500, "internal error: " + what);
    });

    server_.Post("/v1/games",
                 [this](const Request& req, Response& res, const httplib::ContentReader& reader) {
                     PostGame(req, res, reader);
                 });
    server_.Get("/v1/top", [this](const Request& req, Response& res) { Top(req, res); });
    server_.Get(R"(/v1/games/([^/]+)/replay)",
                [this](const Request& req, Response& res) { Replay(req, res); });
    server_.Get(R"(/v1/games/([^/]+))", [this](const Request& req, Response& res) {
        std::string id = req.matches[1];
        if (!IsReplayId(id)) return SendError(res, 400, "malformed game id: " + id);
        auto game = store_.Find(id);
        if (!game) return SendError(res, 404, "no game with id " + id);
        SendJson(res, 200,
                 {{"id", game->id},
                  {"score", game->score},
                  {"rank", game->rank},
                  {"difficulty", game->difficulty}});
    });
    server_.Get("/v1/health", [this](const Request&, Response& res) {
        SendJson(res, 200,
                 {{"ok", true},
                  {"database", store_.Kind()},
                  {"schema", store_.SchemaVersion()},
                  {"verifier", can_verify_},
                  {"verifier_threads", pool_.threads()},
                  {"waiting", pool_.Waiting()}});
    });
}

// Everything that can be refused without reading a body is refused here, before httplib reads
// it: wrong paths and methods, a bad name, too many posts, a body announced too large.
Gated Service::Gate(const Request& req, Response& res) {
    const std::string& path = req.path;
    const std::string& method = req.method;
    bool api = path == "/v1" || path.rfind("/v1/", 0) == 0;
    bool reads = method == "GET" || method == "HEAD";
    auto refuse = [&](int status, const std::string& message) {
        SendErrorAndClose(res, status, message);
        return Gated::Handled;
    };
    auto only = [&](const char* allowed) {
        res.set_header("Allow", allowed);
        return refuse(405, method + " is not allowed on " + path + " (allowed: " + allowed + ")");
    };

    if (method == "OPTIONS" && api) {  // a browser's preflight for a cross-origin post
        res.status = 204;
        res.set_header("Access-Control-Allow-Methods", "GET, POST");
        res.set_header("Access-Control-Allow-Headers", "Content-Type");
        res.set_header("Access-Control-Max-Age", "86400");
        return Gated::Handled;
    }
    if (path == "/v1/games") {
        if (method != "POST") return only("POST");
        std::string stray = StrayParameter(req, {"name"});
        if (!stray.empty()) return refuse(400, stray);
        if (req.has_param("name") && !IsPlayerName(req.get_param_value("name")))
            return refuse(400, "a player name is 3 to 12 letters, digits, spaces, '-', '_' or '.'");
        int retry_after = 0;
        if (!limit_.Allow(Address(req), retry_after)) {
            res.set_header("Retry-After", std::to_string(retry_after));
            return refuse(429, "too many posts from this address; try again in " +
                                   std::to_string(retry_after) + " s");
        }
        const std::string max = std::to_string(options_.max_replay_bytes);
        if (req.has_header("Content-Length")) {
            long long length = 0;
            if (!ParseCount(req.get_header_value("Content-Length"), 1LL << 60, length))
                return refuse(400, "malformed Content-Length");
            if (length > static_cast<long long>(options_.max_replay_bytes))
                return refuse(413, "a replay is at most " + max + " bytes; this one is " +
                                       std::to_string(length));
        } else if (req.get_header_value("Transfer-Encoding").find("chunked") == std::string::npos) {
            return refuse(411, "a post needs a Content-Length (or chunked transfer)");
        }
        return Gated::Unhandled;
    }
    if (path == "/v1/top" || path == "/v1/health" || std::regex_match(path, kGamePath) ||
        std::regex_match(path, kReplayPath)) {
        return reads ? Gated::Unhandled : only("GET, HEAD");
    }
    if (api) return reads ? refuse(404, "no such path: " + path) : refuse(404, "no such path");
    if (!reads) return only("GET, HEAD");
    // The page asks its own address for this mark to learn that a board serves it: a probe of a
    // path that other servers lack would leave a failed load on every such page's console.
    res.set_header(kBoardHeader, "v1");
    return Gated::Unhandled;  // the browser build's files, or 404
}

void Service::PostGame(const Request& req, Response& res, const httplib::ContentReader& reader) {
    std::vector<unsigned char> bytes;
    bool too_big = false;
    bool complete = reader([&](const char* data, size_t length) {
        if (bytes.size() + length > options_.max_replay_bytes) {
            too_big = true;
            return false;
        }
        bytes.insert(bytes.end(), data, data + length);
        return true;
    });
    if (too_big)
        return SendErrorAndClose(
            res, 413,
            "a replay is at most " + std::to_string(options_.max_replay_bytes) + " bytes");
    // A client that stopped sending, or sent too slowly: the stream's deadline ended the read.
    if (!complete)
        return SendErrorAndClose(
            res, 408,
            "the replay did not arrive in time (" + std::to_string(bytes.size()) +
                " bytes read; a request must arrive within " +
                std::to_string(options_.body_timeout_seconds) + " s, with no pause over " +
                std::to_string(options_.read_timeout_seconds) + " s)");
    if (bytes.empty()) return SendError(res, 400, "empty body: post the bytes of a replay file");

    const std::string id = ReplayId(bytes);
    auto answer = [&](int status, const StoredGame& g) {
        SendJson(
            res, status,
            {{"id", g.id}, {"score", g.score}, {"rank", g.rank}, {"difficulty", g.difficulty}});
    };
    if (auto known = store_.Find(id)) return answer(200, *known);
    if (!can_verify_) return SendError(res, 501, "this build of the service cannot verify replays");

    auto job = pool_.Submit(bytes);  // a copy: the stored replay is these very bytes
    if (!job) {
        // Every replay ahead of this one, played by every verifier at its usual pace.
        double seconds = std::chrono::duration<double>(pool_.TypicalPlay()).count() *
                         (pool_.Waiting() + 1) / std::max(1, pool_.threads());
        int retry = std::max(1, static_cast<int>(std::ceil(seconds)));
        res.set_header("Retry-After", std::to_string(retry));
        return SendError(res, 503,
                         "every verifier is busy and the queue is full; try again in " +
                             std::to_string(retry) + " s");
    }
    ForkedVerdict result = job->get();
    switch (result.end) {
        case ChildEnd::kNoChild:
            res.set_header("Retry-After", "5");
            return SendError(res, 503, "cannot start a verifier: " + result.detail);
        case ChildEnd::kTimedOut:
            return SendError(res, 422, "the replay " + result.detail);
        case ChildEnd::kCrashed:
            return SendError(res, 500, "the verifier failed on this replay: " + result.detail);
        case ChildEnd::kVerdict:
            break;
    }
    const Verdict& v = result.verdict;
    if (!v.ok)
        return SendError(res, 422,
                         "the replay does not verify: " +
                             (v.reason.empty() ? std::string("no reason given") : v.reason));
    if (!IsDifficultyName(v.difficulty) || v.score < 0)
        return SendError(res, 500, "the verifier answered an impossible game");

    GameRecord record;
    record.id = id;
    record.difficulty = v.difficulty;
    record.score = v.score;
    record.rounds = v.rounds;
    record.updates = v.updates;
    record.name = req.has_param("name") ? req.get_param_value("name") : "";
    record.created = static_cast<long long>(std::time(nullptr));
    record.replay = std::move(bytes);
    bool inserted = false;
    StoredGame stored = store_.Add(record, inserted);
    answer(inserted ? 201 : 200, stored);
}

void Service::Top(const Request& req, Response& res) {
    std::string stray = StrayParameter(req, {"difficulty", "limit"});
    if (!stray.empty()) return SendError(res, 400, stray);
    if (!req.has_param("difficulty"))
        return SendError(res, 400, "difficulty is required: easy, normal or hard");
    std::string difficulty = req.get_param_value("difficulty");
    if (!IsDifficultyName(difficulty))
        return SendError(res, 400, "unknown difficulty '" + difficulty + "': easy, normal or hard");
    long long limit = 10;
    if (req.has_param("limit") &&
        (!ParseCount(req.get_param_value("limit"), 100, limit) || limit < 1))
        return SendError(res, 400, "limit is a whole number from 1 to 100");
    nlohmann::json list = nlohmann::json::array();
    for (const auto& e : store_.Top(difficulty, static_cast<int>(limit))) {
        list.push_back({{"rank", e.rank},
                        {"score", e.score},
                        {"name", e.name.empty() ? nlohmann::json() : nlohmann::json(e.name)},
                        {"date", IsoDate(e.created)},
                        {"id", e.id}});
    }
    SendJson(res, 200, list);
}

void Service::Replay(const Request& req, Response& res) {
    std::string id = req.matches[1];
    if (!IsReplayId(id)) return SendError(res, 400, "malformed game id: " + id);
    auto bytes = store_.Replay(id);
    if (!bytes) return SendError(res, 404, "no game with id " + id);
    res.status = 200;
    res.set_content(std::string(bytes->begin(), bytes->end()), "application/octet-stream");
}

}  // namespace scores
