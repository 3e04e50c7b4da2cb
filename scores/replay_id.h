#pragma once
// A game's id is the SHA-256 of its replay's bytes: the same replay posted twice is one game.
#include <string>
#include <vector>

namespace scores {

std::string ReplayId(const std::vector<unsigned char>& bytes);
bool IsReplayId(const std::string& text);  // 64 lower-case hex digits

}  // namespace scores
