#include "scores/rate_limit.h"

#include <cmath>

namespace scores {

bool RateLimit::Allow(const std::string& address, int& retry_after, Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto refill = [&](Bucket& b) {
        double minutes = std::chrono::duration<double>(now - b.at).count() / 60.0;
        b.tokens = std::min(burst_, b.tokens + minutes * per_minute_);
        b.at = now;
    };
    // Full buckets carry no information: dropping them keeps the table as small as the set of
    // addresses that posted lately.
    if (now - last_sweep_ > std::chrono::minutes(1)) {
        for (auto it = buckets_.begin(); it != buckets_.end();) {
            refill(it->second);
            it = it->second.tokens >= burst_ ? buckets_.erase(it) : std::next(it);
        }
        last_sweep_ = now;
    }
    auto [it, fresh] = buckets_.try_emplace(address, Bucket{burst_, now});
    Bucket& b = it->second;
    if (!fresh) refill(b);
    if (b.tokens >= 1.0) {
        b.tokens -= 1.0;
        return true;
    }
    retry_after =
        per_minute_ > 0
            ? std::max(1, static_cast<int>(std::ceil((1.0 - b.tokens) * 60.0 / per_minute_)))
            : 60;
    return false;
}

}  // namespace scores
