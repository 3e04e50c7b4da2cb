#pragma once
// What the service learns from playing a replay again: the only source of a stored score.
#include <functional>
#include <string>
#include <vector>

namespace scores {

struct Verdict {
    bool ok = false;
    std::string reason;  // why a replay was refused (ok == false)
    int score = 0;
    std::string difficulty;  // "easy", "normal" or "hard"
    int rounds = 0;
    long updates = 0;
};

// Plays a replay and says what it scored. The real one runs the game's simulation, which keeps
// global state, so it is only ever called inside a forked child (see forked_verifier.h).
using Verifier = std::function<Verdict(const std::vector<unsigned char>& bytes)>;

bool IsDifficultyName(const std::string& name);

}  // namespace scores
