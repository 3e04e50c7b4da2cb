#pragma once
// A stand-in for the game's replay check, so the service's tests run without the game. A test
// replay is text: a header that claims a score (which the service must ignore), then the
// "play": each "hit" line scores 10, each "round" line is a round; it must end in "END".
// A "hang" line never finishes, a "crash" line aborts: what a broken simulation would do.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "scores/verdict.h"

namespace scores_test {

struct TestGame {
    TestGame(std::string d = "normal", int claim = 0, int h = 0, int r = 1, int s = 0)
        : difficulty(std::move(d)), claimed(claim), hits(h), rounds(r), seed(s) {}
    std::string difficulty;
    int claimed;  // the score the header claims
    int hits;
    int rounds;
    int seed;  // makes otherwise equal games distinct replays
    std::string extra;
};

inline std::vector<unsigned char> MakeReplay(const TestGame& g) {
    std::string t = "VXTEST\ndifficulty: " + g.difficulty +
                    "\nclaims: " + std::to_string(g.claimed) + "\nseed: " + std::to_string(g.seed) +
                    "\n";
    for (int r = 0; r < g.rounds; ++r) t += "round\n";
    for (int h = 0; h < g.hits; ++h) t += "hit\n";
    t += g.extra + "END\n";
    return std::vector<unsigned char>(t.begin(), t.end());
}

inline scores::Verdict VerifyTestReplay(const std::vector<unsigned char>& bytes) {
    std::string t(bytes.begin(), bytes.end());
    scores::Verdict v;
    if (t.rfind("VXTEST\n", 0) != 0) {
        v.reason = "not a replay file";
        return v;
    }
    if (t.size() < 4 || t.compare(t.size() - 4, 4, "END\n") != 0) {
        v.reason = "the replay is cut short";
        return v;
    }
    size_t pos = 0;
    while (pos < t.size()) {
        size_t end = t.find('\n', pos);
        std::string line = t.substr(pos, end - pos);
        pos = end + 1;
        if (line == "hit")
            v.score += 10;
        else if (line == "round")
            ++v.rounds;
        else if (line.rfind("difficulty: ", 0) == 0)
            v.difficulty = line.substr(12);
        else if (line == "hang")
            for (;;) pause();
        else if (line == "crash")
            std::abort();
        ++v.updates;
    }
    v.ok = true;
    return v;
}

}  // namespace scores_test
