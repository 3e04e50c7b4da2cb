#include "scores/verifier_pool.h"

#include <algorithm>
#include <cmath>

namespace scores {

VerifierPool::VerifierPool(Verifier verify, int threads, int queue_length,
                           std::chrono::milliseconds budget)
    : verify_(std::move(verify)), queue_length_(std::max(0, queue_length)), budget_(budget) {
    for (int i = 0; i < std::max(1, threads); ++i) workers_.emplace_back([this] { Work(); });
}

VerifierPool::~VerifierPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (auto& t : workers_) t.join();
}

std::optional<std::future<ForkedVerdict>> VerifierPool::Submit(std::vector<unsigned char> bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    // N threads and a queue of Q hold N + Q replays: N playing, Q waiting.
    if (stopping_ || static_cast<int>(jobs_.size()) + running_ >= threads() + queue_length_)
        return std::nullopt;
    jobs_.push_back(Job{std::move(bytes), {}});
    auto future = jobs_.back().done.get_future();
    ready_.notify_one();
    return future;
}

int VerifierPool::Waiting() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(jobs_.size());
}

std::chrono::milliseconds VerifierPool::TypicalPlay() {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto typical =
        typical_ms_ < 0 ? kFirstGuess
                        : std::chrono::milliseconds(static_cast<long long>(std::ceil(typical_ms_)));
    return std::min(typical, budget_);
}

void VerifierPool::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ready_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;  // stopping with nothing left
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        ++running_;
        lock.unlock();
        const auto started = std::chrono::steady_clock::now();
        ForkedVerdict verdict = VerifyInChild(verify_, job.bytes, budget_);
        const double played =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        lock.lock();
        typical_ms_ = typical_ms_ < 0 ? played : 0.75 * typical_ms_ + 0.25 * played;
        --running_;
        job.done.set_value(std::move(verdict));
    }
}

}  // namespace scores
