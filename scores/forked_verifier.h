#pragma once
// Runs a verifier in a child process: the game's simulation keeps global state, so two replays
// can never be played by one process at once, and a replay that hangs or crashes the
// simulation must not take the service with it.
#include <chrono>

#include "scores/verdict.h"

namespace scores {

enum class ChildEnd {
    kVerdict,   // the child answered
    kTimedOut,  // killed when the budget ran out
    kCrashed,   // ended without an answer (a signal or an exit)
    kNoChild,   // fork or pipe failed
};

struct ForkedVerdict {
    ChildEnd end = ChildEnd::kNoChild;
    Verdict verdict;     // meaningful for kVerdict
    std::string detail;  // what went wrong otherwise
};

// Forks, calls `verify` on `bytes` in the child (whose standard output goes to /dev/null: the
// game prints as it plays) and reads the verdict back over a pipe; kills the child once
// `budget` has passed.
ForkedVerdict VerifyInChild(const Verifier& verify, const std::vector<unsigned char>& bytes,
                            std::chrono::milliseconds budget);

}  // namespace scores
