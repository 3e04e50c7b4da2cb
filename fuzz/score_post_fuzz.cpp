// libFuzzer target: arbitrary bytes posted to the score board as a replay, through the real
// path a player's post takes: HTTP on loopback, the body reader and its limits, the replay's
// hash, the verifier pool and its forked child playing the bytes with the game's simulation,
// and the store. Whatever the bytes, the answer is one the API names, with a JSON body that
// says why on a refusal, a stored game is one the service scored itself (the same id and score
// when asked again), and the service answers its health check afterwards.
//
// Seeded with the replay reader's corpus (scripts/fuzz), so most inputs reach the simulation.
// The game's data folder comes from $VEXMO_SCORES_DATA or the build tree, as for the service.
#include <httplib.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "scores/game_verifier.h"
#include "scores/service.h"
#include "scores/store.h"

namespace {

struct Board {
    std::string folder;
    std::unique_ptr<scores::ScoreStore> store;
    std::unique_ptr<scores::Service> service;
    std::thread runner;
    std::unique_ptr<httplib::Client> client;
};

Board& TheBoard() {
    static Board* board = [] {
        auto* b = new Board;  // lives for the whole run: libFuzzer ends with exit()
        char folder[] = "/tmp/vexmo-score-fuzz-XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        b->folder = folder;
        b->store = scores::OpenStore(b->folder + "/scores.db", 2);
        scores::ServiceOptions options;
        options.verifier_threads = 1;
        options.queue_length = 2;
        options.budget = std::chrono::milliseconds(15000);
        options.posts_per_minute = 1e9;  // one address posts everything here
        options.post_burst = 1e9;
        options.http_threads = 2;  // few threads beside the forking verifier
        const std::string data = scores::ChooseGameData("/proc/self/exe");
        if (data.empty()) {
            std::fprintf(stderr, "score_post fuzz: no game data folder (set VEXMO_SCORES_DATA)\n");
            std::abort();
        }
        b->service =
            std::make_unique<scores::Service>(*b->store, scores::GameVerifier(data), options);
        const int port = b->service->Bind("127.0.0.1", 0);
        if (port < 0) std::abort();
        b->runner = std::thread([b] { b->service->Run(); });
        b->client = std::make_unique<httplib::Client>("127.0.0.1", port);
        b->client->set_read_timeout(30, 0);
        return b;
    }();
    return *board;
}

bool KnownStatus(int status) {
    switch (status) {
        case 200:
        case 201:
        case 400:
        case 408:
        case 413:
        case 422:
        case 503:
            return true;
        default:
            return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Board& board = TheBoard();
    const std::string body(reinterpret_cast<const char*>(data), size);
    auto posted = board.client->Post("/v1/games", body, "application/octet-stream");
    if (!posted || !KnownStatus(posted->status)) __builtin_trap();
    const auto answer = nlohmann::json::parse(posted->body, nullptr, false);
    if (answer.is_discarded() || !answer.is_object()) __builtin_trap();
    if (posted->status == 200 || posted->status == 201) {
        // Posted again, the same game comes back: stored once, with the score it was given.
        auto again = board.client->Post("/v1/games", body, "application/octet-stream");
        if (!again || again->status != 200) __builtin_trap();
        const auto second = nlohmann::json::parse(again->body, nullptr, false);
        if (second.is_discarded() || second.value("id", "") != answer.value("id", "x") ||
            second.value("score", -1) != answer.value("score", -2)) {
            __builtin_trap();
        }
    } else if (!answer.contains("error") || !answer["error"].is_string() ||
               answer["error"].get<std::string>().empty()) {
        __builtin_trap();  // every refusal says why
    }
    auto health = board.client->Get("/v1/health");
    if (!health || health->status != 200) __builtin_trap();
    return 0;
}
