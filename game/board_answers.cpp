#include "game/board_answers.h"

#include <limits>
#include <nlohmann/json.hpp>

namespace vexmo {

namespace {

using nlohmann::json;

// Whole numbers that fit an int; the board never sends others.
bool ReadInt(const json& object, const char* key, int* out) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) return false;
    const long long value = found->get<long long>();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool ReadText(const json& object, const char* key, std::string* out, bool nullAllowed) {
    const auto found = object.find(key);
    if (found == object.end()) return false;
    if (nullAllowed && found->is_null()) {
        out->clear();
        return true;
    }
    if (!found->is_string()) return false;
    *out = found->get<std::string>();
    return true;
}

}  // namespace

bool ReadTopList(const std::string& body, std::vector<BoardRow>* rows, std::string* why) {
    const json list = json::parse(body, nullptr, false);
    if (list.is_discarded() || !list.is_array()) {
        *why = "the board's list is not a JSON list";
        return false;
    }
    rows->clear();
    for (const json& entry : list) {
        BoardRow row;
        if (!entry.is_object() || !ReadInt(entry, "rank", &row.rank) ||
            !ReadInt(entry, "score", &row.score) || !ReadText(entry, "name", &row.name, true) ||
            !ReadText(entry, "date", &row.date, false) || !ReadText(entry, "id", &row.id, false)) {
            *why = "an entry of the board's list lacks its rank, score, name, date or id";
            return false;
        }
        rows->push_back(std::move(row));
    }
    return true;
}

bool ReadPostedGame(const std::string& body, PostedGame* game, std::string* why) {
    const json answer = json::parse(body, nullptr, false);
    if (answer.is_discarded() || !answer.is_object() || !ReadText(answer, "id", &game->id, false) ||
        !ReadInt(answer, "score", &game->score) || !ReadInt(answer, "rank", &game->rank) ||
        !ReadText(answer, "difficulty", &game->difficulty, false)) {
        *why = "the board's answer lacks the game's id, score, rank or difficulty";
        return false;
    }
    return true;
}

std::string AnswerReason(int status, const std::string& body) {
    const json answer = json::parse(body, nullptr, false);
    std::string reason;
    if (!answer.is_discarded() && answer.is_object() && ReadText(answer, "error", &reason, false) &&
        !reason.empty()) {
        return reason;
    }
    // Not the board's own refusal (a proxy's page, say): a short, single-line excerpt.
    std::string excerpt = body.substr(0, 80);
    for (char& c : excerpt) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return "HTTP " + std::to_string(status) + (excerpt.empty() ? "" : ": " + excerpt);
}

bool IsPlayerNameCharacter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '-' || c == '_' || c == '.';
}

bool IsPlayerName(const std::string& name) {
    if (name.size() < 3 || name.size() > 12) return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (const char c : name) {
        if (!IsPlayerNameCharacter(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

}  // namespace vexmo
