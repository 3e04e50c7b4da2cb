#include "scores/rate_limit.h"

#include <algorithm>

namespace scores {

RateLimit::RateLimit(double per_minute, double burst) {
    auto minute = std::chrono::duration_cast<Clock::duration>(std::chrono::minutes(1));
    interval_ =
        Clock::duration(static_cast<Clock::rep>(minute.count() / std::max(per_minute, 1e-6)));
    slack_ = interval_ * static_cast<Clock::rep>(std::max(1.0, burst) - 1);
}

bool RateLimit::Allow(const std::string& address, int& retry_after, Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    // An address whose time has passed is as if it never posted: dropping it keeps the table
    // as small as the set of addresses that posted lately.
    if (now - last_sweep_ > std::chrono::minutes(1)) {
        for (auto it = due_.begin(); it != due_.end();)
            it = it->second <= now ? due_.erase(it) : std::next(it);
        last_sweep_ = now;
    }
    auto it = due_.find(address);
    Clock::time_point due = it == due_.end() ? now : std::max(it->second, now);
    if (due - slack_ > now) {
        auto wait = std::chrono::duration_cast<std::chrono::seconds>(
            due - slack_ - now + std::chrono::seconds(1) - Clock::duration(1));
        retry_after = std::max(1, static_cast<int>(wait.count()));
        return false;
    }
    due_[address] = due + interval_;
    return true;
}

}  // namespace scores
