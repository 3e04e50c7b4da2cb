#pragma once
// Posts per address: a burst of `burst` posts, then one every 60 / `per_minute` seconds (the
// generic cell rate algorithm: one time stamp per address, whole clock ticks, no drift).
// Kept in memory, so behind a load balancer each copy of the service counts on its own.
#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class RateLimit {
public:
    using Clock = std::chrono::steady_clock;
    RateLimit(double per_minute, double burst);

    // True if `address` may post now; otherwise `retry_after` says in how many seconds it may.
    bool Allow(const std::string& address, int& retry_after, Clock::time_point now = Clock::now());

private:
    Clock::duration interval_;  // between two posts once the burst is used
    Clock::duration slack_;     // how far ahead of now an address may have spent
    std::mutex mutex_;
    std::unordered_map<std::string, Clock::time_point> due_;  // when the address is even again
    Clock::time_point last_sweep_{};
};

}  // namespace scores
