// What the score board answers, read from its JSON. Anything else in an answer (a page of
// HTML from a proxy, a cut body, fields of the wrong kind) is refused with one line, never
// taken for a list or a score.
#pragma once

#include <string>
#include <vector>

namespace vexmo {

struct BoardRow {
    int rank = 0;
    int score = 0;
    std::string name;  // "" for a game posted without one
    std::string date;  // "2026-12-09T13:21:27Z"
    std::string id;
};

// GET v1/top: the list, best first.
bool ReadTopList(const std::string& body, std::vector<BoardRow>* rows, std::string* why);

// POST v1/games, 201 or 200: the game as the board scored it.
struct PostedGame {
    std::string id;
    int score = 0;
    int rank = 0;
    std::string difficulty;
};
bool ReadPostedGame(const std::string& body, PostedGame* game, std::string* why);

// A refusal's reason: its "error" field, or the start of the body when it has none.
std::string AnswerReason(int status, const std::string& body);

// Player names the board takes: 3 to 12 letters, digits, spaces, '-', '_' or '.', not starting
// or ending with a space.
bool IsPlayerName(const std::string& name);
bool IsPlayerNameCharacter(int codepoint);

}  // namespace vexmo
