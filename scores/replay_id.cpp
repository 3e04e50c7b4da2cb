#include "scores/replay_id.h"

#include <openssl/sha.h>

namespace scores {

std::string ReplayId(const std::vector<unsigned char>& bytes) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(bytes.data(), bytes.size(), digest);
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : digest) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

bool IsReplayId(const std::string& text) {
    if (text.size() != 2 * SHA256_DIGEST_LENGTH) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool IsDifficultyName(const std::string& name) {
    return name == "easy" || name == "normal" || name == "hard";
}

}  // namespace scores
