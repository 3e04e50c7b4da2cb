#include "scores/game_verifier.h"

#include <cstdlib>
#include <filesystem>

#include "game/replay_verify.h"
#include "host/data_location.h"

namespace scores {

std::string ChooseGameData(const char* argv0) {
    const char* chosen = std::getenv("VEXMO_SCORES_DATA");
    const DataPlaces places = ThisProcessPlaces(chosen ? chosen : "", argv0);
    DataLocation location = FindDataLocation(places);
    if (!location.dataFolder.empty()) return location.dataFolder;
    // The service beside the game it was built with: build/scores/vexmo-scores, build/data.
    if (!places.executableDir.empty()) {
        std::error_code error;
        const std::filesystem::path beside =
            std::filesystem::path(places.executableDir).parent_path() / "data";
        if (std::filesystem::is_directory(beside, error)) return beside.string();
    }
    return std::string();
}

// Runs in the forked child: VerifyReplay plays the replay on the game's global state.
Verifier GameVerifier(const std::string& dataFolder) {
    if (dataFolder.empty()) return Verifier();
    DataLocation location;
    location.dataFolder = dataFolder;  // no record: a verification saves nothing
    UseDataLocation(location);
    return [](const std::vector<unsigned char>& bytes) {
        ReplayVerdict r = VerifyReplay(bytes);
        Verdict v;
        v.ok = r.ok;
        v.reason = r.reason;
        v.score = r.score;
        const char* name = r.ok ? DifficultyName(r.difficulty) : nullptr;
        v.difficulty = name ? name : "";  // the service refuses a name it does not know
        v.rounds = r.rounds;
        v.updates = r.updates;
        return v;
    };
}

}  // namespace scores
