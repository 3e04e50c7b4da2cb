#include "game/replay_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "game/my_app.h"
#include "game/replay_start.h"
#include "game/save_record.h"
#include "game/score_board.h"
#include "host/app_host.h"
#include "host/data_location.h"
#include "host/replay_recorder.h"
#include "runtime/console.h"

namespace vexmo {

namespace {

struct Session {
    ReplayRecorder* recorder = nullptr;
    std::string copyFolder;
    std::vector<uint8_t> start;
    int lastScreen = 0;
    std::vector<uint8_t> lastReplay;
    int sequence = 0;
    bool pictureShown = true;
    bool bestKnown = false;
    bool best[4] = {false, false, false, false};
};

Session& State() {
    static Session session;
    return session;
}

std::string Reason() {
    return std::strerror(errno);
}

}  // namespace

// Written beside its final name and renamed over it, so a kept replay is never half a file.
bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes, std::string* why) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        *why = "cannot create " + temporary + ": " + Reason();
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        errno = written ? errno : writeErrno;
        *why = "cannot write " + temporary + ": " + Reason();
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *why = "cannot rename " + temporary + ": " + Reason();
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool MakeFolder(const std::string& folder, std::string* why) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        *why = "cannot make the folder " + folder + (error ? ": " + error.message() : "");
        return false;
    }
    return true;
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t buffer[16384];
    size_t got = 0;
    // A kept replay is small; a file far larger is not one of ours.
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0 && bytes.size() < (64u << 20)) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    return bytes;
}

namespace {

std::string GameFileName(const ReplayHeader& header, int sequence) {
    const std::time_t when = static_cast<std::time_t>(header.date);
    std::tm utc{};
    gmtime_r(&when, &utc);
    char name[96];
    std::snprintf(name, sizeof(name), "game-%04d%02d%02d-%02d%02d%02d-%03d.vxr", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  sequence % 1000);
    return name;
}

// Keeps the newest `keep` game files; names sort by their date.
void PruneGames(const std::string& folder, size_t keep) {
    std::vector<std::string> games;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("game-", 0) == 0 && name.size() > 4 &&
            name.compare(name.size() - 4, 4, ".vxr") == 0) {
            games.push_back(name);
        }
    }
    if (games.size() <= keep) return;
    std::sort(games.begin(), games.end());
    for (size_t i = 0; i + keep < games.size(); ++i) {
        std::filesystem::remove(std::filesystem::path(folder) / games[i], error);
    }
}

void Announce(const std::string& line) {
    ConsoleLine(line);
}

void FinishGame(MyApp& game, Session& s) {
    long updates = 0;
    Replay replay;
    replay.tape = s.recorder->EndTape(&updates);
    if (replay.tape.empty() || updates < 1) return;
    replay.start = std::move(s.start);
    s.start.clear();
    ReplayHeader& h = replay.header;
    h.build = ReplayBuildId();
    h.difficulty = game.difficulty;
    h.score = game.score;
    h.rounds = game.round;
    h.updates = updates;
    h.date = static_cast<int64_t>(std::time(nullptr));
    h.recordCrc = RecordCrc(game);
    s.recorder->StartSize(h.size);
    s.lastReplay = EncodeReplay(replay);
    if (s.lastReplay.empty()) {
        Announce("Replay not saved: it could not be compressed");
        return;
    }
    ++s.sequence;
    s.bestKnown = false;
    std::string why;
    const std::string kept = KeptReplayFolder();
    if (!kept.empty()) {
        // Kept where the record is kept: in a browser, on to IndexedDB at once rather than with
        // the record's next save.
        if (!KeepReplay(kept, h, s.lastReplay, &why)) {
            Announce("Replay not saved: " + why);
        } else if (const std::string lost = host::KeepSavedFiles(); !lost.empty()) {
            Announce("Replay not saved: " + lost);
        }
    }
    PostFinishedGame(h, s.lastReplay);
    if (!s.copyFolder.empty()) {
        const std::string path =
            (std::filesystem::path(s.copyFolder) / GameFileName(h, s.sequence)).string();
        if (!MakeFolder(s.copyFolder, &why) || !WriteWhole(path, s.lastReplay, &why)) {
            Announce("Replay not saved: " + why);
        }
    }
}

}  // namespace

void SetReplayRecorder(ReplayRecorder* recorder) {
    State().recorder = recorder;
}

ReplayRecorder* CurrentReplayRecorder() {
    return State().recorder;
}

void SetReplayCopyFolder(const std::string& folder) {
    State().copyFolder = folder;
}

std::string KeptReplayFolder() {
    const std::string& record = RecordPath();
    if (record.empty()) return std::string();
    const std::filesystem::path folder = std::filesystem::path(record).parent_path();
    return (folder.empty() ? std::filesystem::path("replays") : folder / "replays").string();
}

const std::vector<uint8_t>& LastReplay() {
    return State().lastReplay;
}

bool HasBestReplay(int difficulty) {
    Session& s = State();
    if (difficulty < 1 || difficulty > 3) return false;
    if (!s.bestKnown) {
        s.bestKnown = true;
        const std::string folder = KeptReplayFolder();
        for (int d = 1; d <= 3; ++d) s.best[d] = !BestReplayPath(folder, d).empty();
    }
    return s.best[difficulty];
}

bool PictureShown() {
    return State().pictureShown;
}

void SetPictureShown(bool shown) {
    State().pictureShown = shown;
}

const char* DifficultyName(int difficulty) {
    switch (difficulty) {
        case 1:
            return "easy";
        case 2:
            return "normal";
        case 3:
            return "hard";
        default:
            return "unknown";
    }
}

uint32_t RecordCrc(MyApp& game) {
    const std::string text = Narrow(BuildSaveRecord(game.settings, game.badgeGot, game.highScores));
    return ReplayCrc(text.data(), text.size());
}

std::string BestReplayPath(const std::string& folder, int difficulty) {
    if (folder.empty() || difficulty < 1 || difficulty > 3) return std::string();
    const std::string path = (std::filesystem::path(folder) /
                              (std::string("best-") + DifficultyName(difficulty) + ".vxr"))
                                 .string();
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path : std::string();
}

bool KeepReplay(const std::string& folder, const ReplayHeader& header,
                const std::vector<uint8_t>& bytes, std::string* why) {
    if (!MakeFolder(folder, why)) return false;
    const std::string game =
        (std::filesystem::path(folder) / GameFileName(header, State().sequence)).string();
    if (!WriteWhole(game, bytes, why)) return false;
    PruneGames(folder, kKeptLastGames);
    if (header.difficulty < 1 || header.difficulty > 3) return true;
    const std::string best = (std::filesystem::path(folder) /
                              (std::string("best-") + DifficultyName(header.difficulty) + ".vxr"))
                                 .string();
    ReplayHeader kept;
    std::string ignored;
    const bool beaten =
        !DecodeReplayHeader(ReadWhole(best), &kept, &ignored) || header.score > kept.score;
    return !beaten || WriteWhole(best, bytes, why);
}

void ReplayAfterUpdate(MyApp& game) {
    Session& s = State();
    if (!s.recorder) return;
    const int before = s.lastScreen;
    s.lastScreen = game.screen;
    if (!s.recorder->Taping() && s.start.empty()) {
        if (game.screen == kScreenStartPlay && game.loadStep == 0) {
            ForgetTuneForNewGame(game);
            s.start = CaptureReplayStart(game);
            s.recorder->BeginTape();
        }
        return;
    }
    // LoadMenu has filed the score and saved the record: the game is over.
    if (before == kScreenBackToMenu && game.screen == kScreenMenu) FinishGame(game, s);
}

}  // namespace vexmo
