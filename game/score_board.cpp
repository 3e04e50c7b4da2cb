#include "game/score_board.h"

#include <algorithm>
#include <array>
#include <deque>
#include <filesystem>
#include <system_error>

#include "game/replay_session.h"
#include "host/app_host.h"
#include "host/data_location.h"
#include "runtime/console.h"

namespace vexmo {

namespace {

enum class Asking { kHealth, kPost, kTop };

struct Pending {
    int ticket = 0;
    Asking asking = Asking::kHealth;
    int difficulty = 0;
};

struct Unposted {
    std::string path;  // "" when it could not be written down (kept in memory only)
    std::vector<uint8_t> bytes;
};

struct Board {
    std::unique_ptr<WebClient> client;
    bool shown = false;
    bool folderRead = false;
    // After a failure nothing more is posted until the next finished game or start.
    bool held = false;
    bool posting = false;
    std::deque<Unposted> waiting;
    std::vector<Pending> pending;
    std::array<WorldList, 4> lists;
    PostedGame last;
    int version = 0;
    bool nameRead = false;
    std::string name;
};

Board& State() {
    static Board board;
    return board;
}

std::string BesideRecord(const char* name) {
    const std::string& record = RecordPath();
    if (record.empty()) return std::string();
    const std::filesystem::path folder = std::filesystem::path(record).parent_path();
    return (folder.empty() ? std::filesystem::path(name) : folder / name).string();
}

void Changed(Board& b) {
    ++b.version;
}

// Names and spaces only, so the rest of the query needs no escaping.
std::string PostPath(const std::string& name) {
    std::string path = "v1/games";
    if (name.empty()) return path;
    path += "?name=";
    for (const char c : name) path += c == ' ' ? std::string("%20") : std::string(1, c);
    return path;
}

void Send(Board& b, Asking asking, int difficulty, const WebRequest& request) {
    Pending p;
    p.ticket = b.client->Send(request);
    p.asking = asking;
    p.difficulty = difficulty;
    b.pending.push_back(p);
}

void FetchList(Board& b, int difficulty) {
    WorldList& list = b.lists[difficulty];
    if (list.rows.empty()) list.status = "Loading...";
    WebRequest request;
    request.path = std::string("v1/top?difficulty=") + DifficultyName(difficulty) +
                   "&limit=" + std::to_string(kWorldRows);
    Send(b, Asking::kTop, difficulty, request);
    Changed(b);
}

void PostNext(Board& b) {
    if (b.posting || b.held || b.waiting.empty() || !b.shown) return;
    WebRequest request;
    request.method = "POST";
    request.path = PostPath(PlayerName());
    request.body = b.waiting.front().bytes;
    Send(b, Asking::kPost, 0, request);
    b.posting = true;
}

void Forget(const Unposted& game) {
    if (game.path.empty()) return;
    std::error_code error;
    std::filesystem::remove(game.path, error);
    host::KeepSavedFiles();
}

// The replays a run before this one could not post, oldest first; beyond the newest
// kKeptUnposted they are given up.
void ReadUnpostedFolder(Board& b) {
    b.folderRead = true;
    const std::string folder = UnpostedFolder();
    if (folder.empty()) return;
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".vxr") == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    const size_t dropped = names.size() > kKeptUnposted ? names.size() - kKeptUnposted : 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string path = (std::filesystem::path(folder) / names[i]).string();
        if (i < dropped) {
            std::filesystem::remove(path, error);
            continue;
        }
        Unposted game{path, ReadWhole(path)};
        if (!game.bytes.empty()) b.waiting.push_back(std::move(game));
    }
}

void TookPost(Board& b, const WebAnswer& answer) {
    b.posting = false;
    Unposted game = std::move(b.waiting.front());
    b.waiting.pop_front();
    if (answer.status == 200 || answer.status == 201) {
        PostedGame posted;
        std::string why;
        Forget(game);
        if (!ReadPostedGame(answer.body, &posted, &why)) {
            ConsoleLine("Score posted, but " + why);
            return;
        }
        b.last = posted;
        ConsoleLinef("Score posted: %d on %s, world rank %d", posted.score,
                     posted.difficulty.c_str(), posted.rank);
        for (int d = 1; d <= 3; ++d) {
            if (posted.difficulty == DifficultyName(d)) FetchList(b, d);
        }
        Changed(b);
        return;
    }
    const std::string reason =
        answer.status == 0 ? answer.error : AnswerReason(answer.status, answer.body);
    // The board will never take these bytes: keeping them would only fail again.
    if (answer.status == 422 || answer.status == 413) {
        Forget(game);
        ConsoleLine("Score not posted: " + reason);
        return;
    }
    ConsoleLine("Score not posted: " + reason + " (kept to post again)");
    b.waiting.push_front(std::move(game));
    b.held = true;
}

void TookTop(Board& b, int difficulty, const WebAnswer& answer) {
    WorldList& list = b.lists[difficulty];
    std::string why;
    if (answer.status != 200) {
        why = answer.status == 0 ? answer.error : AnswerReason(answer.status, answer.body);
    } else if (ReadTopList(answer.body, &list.rows, &why)) {
        list.status = list.rows.empty() ? "No games yet" : "";
        Changed(b);
        return;
    }
    list.rows.clear();
    list.status = "Not reachable: " + why;
    Changed(b);
}

void TookHealth(Board& b, const WebAnswer& answer) {
    // A page served by another server has no mark: nothing shows.
    if (answer.status != 200 || answer.header.empty()) {
        b.client.reset();
        b.pending.clear();
        return;
    }
    b.shown = true;
    Changed(b);
}

void Take(Board& b, const Pending& p, const WebAnswer& answer) {
    switch (p.asking) {
        case Asking::kHealth:
            TookHealth(b, answer);
            break;
        case Asking::kPost:
            TookPost(b, answer);
            break;
        case Asking::kTop:
            TookTop(b, p.difficulty, answer);
            break;
    }
}

}  // namespace

void UseScoreBoard(std::unique_ptr<WebClient> client, bool probeFirst) {
    Board& b = State();
    b = Board();
    b.client = std::move(client);
    if (!b.client) return;
    b.shown = !probeFirst;
    if (probeFirst) {
        // The page's own address, which every server has: asking for v1/health instead would
        // leave a failed load on the console of every page served without a board.
        WebRequest mark;
        mark.method = "HEAD";
        mark.wantHeader = kBoardHeader;
        Send(b, Asking::kHealth, 0, mark);
    }
}

bool ScoreBoardShown() {
    const Board& b = State();
    return b.client && b.shown;
}

std::string UnpostedFolder() {
    return BesideRecord("unposted");
}

void PostFinishedGame(const ReplayHeader& header, const std::vector<uint8_t>& bytes) {
    Board& b = State();
    if (!ScoreBoardShown()) return;
    Unposted game{std::string(), bytes};
    const std::string folder = UnpostedFolder();
    std::string why;
    if (!folder.empty() && host::RecordWritable()) {
        const std::string path =
            (std::filesystem::path(folder) / ("game-" + std::to_string(header.date) + "-" +
                                              std::to_string(b.waiting.size()) + ".vxr"))
                .string();
        if (MakeFolder(folder, &why) && WriteWhole(path, bytes, &why)) {
            game.path = path;
            host::KeepSavedFiles();
        } else {
            ConsoleLine("Replay not kept for the score board: " + why);
        }
    }
    b.waiting.push_back(std::move(game));
    b.held = false;
}

void ScoreBoardAfterUpdate() {
    Board& b = State();
    if (!b.client) return;
    if (b.shown && !b.folderRead) ReadUnpostedFolder(b);
    // Answers are taken in the order they were asked, each once.
    for (size_t i = 0; i < b.pending.size() && b.client;) {
        WebAnswer answer;
        if (!b.client->Take(b.pending[i].ticket, &answer)) {
            ++i;
            continue;
        }
        const Pending p = b.pending[i];
        b.pending.erase(b.pending.begin() + static_cast<long>(i));
        Take(b, p, answer);
    }
    if (b.client) PostNext(b);
}

void FetchWorldLists() {
    Board& b = State();
    if (!ScoreBoardShown()) return;
    for (int d = 1; d <= 3; ++d) FetchList(b, d);
}

const WorldList& WorldListOf(int difficulty) {
    return State().lists[static_cast<size_t>(std::clamp(difficulty, 0, 3))];
}

const PostedGame& LastPostedGame() {
    return State().last;
}

int WorldVersion() {
    return State().version;
}

const std::string& PlayerName() {
    Board& b = State();
    if (!b.nameRead) {
        b.nameRead = true;
        const std::vector<uint8_t> bytes = ReadWhole(BesideRecord("player-name"));
        std::string name(bytes.begin(), bytes.end());
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        // A damaged or hand-edited file is ignored: posts then go without a name.
        b.name = IsPlayerName(name) ? name : std::string();
    }
    return b.name;
}

bool SetPlayerName(const std::string& name, std::string* why) {
    if (!IsPlayerName(name)) {
        *why = "a name is 3 to 12 letters, digits, spaces, '-', '_' or '.'";
        return false;
    }
    const std::string path = BesideRecord("player-name");
    Board& b = State();
    if (!path.empty() && host::RecordWritable()) {
        const std::string text = name + "\n";
        if (!WriteWhole(path, std::vector<uint8_t>(text.begin(), text.end()), why)) return false;
        // Kept for this run even when the browser's storage refuses it: told, not lost now.
        if (const std::string lost = host::KeepSavedFiles(); !lost.empty())
            ConsoleLine("Name not kept for later: " + lost);
    }
    b.nameRead = true;
    b.name = name;
    Changed(b);
    return true;
}

}  // namespace vexmo
