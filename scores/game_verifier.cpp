#include "scores/game_verifier.h"

#include "game/replay_verify.h"

namespace scores {

// Runs in the forked child: VerifyReplay plays the replay on the game's global state.
Verifier GameVerifier() {
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
