#pragma once
// Posts per address: a bucket of `burst` tokens per address that refills at `per_minute`.
// Kept in memory, so behind a load balancer each copy of the service counts on its own.
#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class RateLimit {
public:
    using Clock = std::chrono::steady_clock;
    RateLimit(double per_minute, double burst) : per_minute_(per_minute), burst_(burst) {}

    // True if `address` may post now; otherwise `retry_after` says in how many seconds it may.
    bool Allow(const std::string& address, int& retry_after, Clock::time_point now = Clock::now());

private:
    struct Bucket {
        double tokens;
        Clock::time_point at;
    };
    double per_minute_;
    double burst_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    Clock::time_point last_sweep_{};
};

}  // namespace scores
