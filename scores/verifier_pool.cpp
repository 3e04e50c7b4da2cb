#include "scores/verifier_pool.h"

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

void VerifierPool::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ready_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;  // stopping with nothing left
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        ++running_;
        lock.unlock();
        ForkedVerdict verdict = VerifyInChild(verify_, job.bytes, budget_);
        lock.lock();
        --running_;
        job.done.set_value(std::move(verdict));
    }
}

}  // namespace scores
