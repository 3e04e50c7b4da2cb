#pragma once
// A fixed number of verifier threads behind a queue of fixed length. Each thread plays one
// replay at a time in its own child process; a post that finds the queue full is turned away
// (503) rather than piling up work the service cannot finish in time.
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "scores/forked_verifier.h"

namespace scores {

class VerifierPool {
public:
    VerifierPool(Verifier verify, int threads, int queue_length, std::chrono::milliseconds budget);
    ~VerifierPool();
    VerifierPool(const VerifierPool&) = delete;
    VerifierPool& operator=(const VerifierPool&) = delete;

    // Empty when the queue is full.
    std::optional<std::future<ForkedVerdict>> Submit(std::vector<unsigned char> bytes);

    int threads() const { return static_cast<int>(workers_.size()); }
    int queue_length() const { return queue_length_; }
    std::chrono::milliseconds budget() const { return budget_; }
    int Waiting();  // replays queued, not yet playing
    // How long a replay takes to play, from the last ones played (a moving average, at most
    // the budget); before any has played, a guess of kFirstGuess. The wait a 503 names is
    // worked out from it: the budget is the worst case, which would send clients away for
    // minutes when the queue clears in seconds.
    static constexpr std::chrono::milliseconds kFirstGuess{2000};
    std::chrono::milliseconds TypicalPlay();

private:
    struct Job {
        std::vector<unsigned char> bytes;
        std::promise<ForkedVerdict> done;
    };
    void Work();

    Verifier verify_;
    int queue_length_;
    std::chrono::milliseconds budget_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    int running_ = 0;         // replays being played
    double typical_ms_ = -1;  // below 0 until a replay has played
    std::vector<std::thread> workers_;
};

}  // namespace scores
