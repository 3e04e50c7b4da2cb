// The world's score board, from the game's side. With a board configured (vexmo --scores URL,
// or the page a board serves), every finished game's replay is posted to it in the background;
// the board plays it again and answers the score it computed and its rank. Until an answer
// comes the replay waits in "unposted" beside the kept replays, so a game played offline or
// while the board is down is posted at the next start. A failure is one console line; a
// replay the board refuses as invalid is dropped. The World box (world_box.cpp) shows the top
// lists fetched from here. Nothing of this touches play: answers are picked up after an
// update's own work and change nothing a replay records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/board_answers.h"
#include "host/replay_file.h"
#include "platform/web_client.h"

namespace vexmo {

constexpr int kWorldRows = 10;
constexpr int kKeptUnposted = 20;

// The mark the board puts on the files of the page it serves.
constexpr const char* kBoardHeader = "X-Vexmo-Board";

// Makes `client` the board (null: none). With `probeFirst` the board shows only once the page's
// own address answers with the board's mark (the browser page, served by a board or not).
void UseScoreBoard(std::unique_ptr<WebClient> client, bool probeFirst);
// Whether a board is in use: the menu's globe button shows only then.
bool ScoreBoardShown();

// A finished game's replay, as it was kept.
void PostFinishedGame(const ReplayHeader& header, const std::vector<uint8_t>& bytes);
// Once per update, after the update's own work: takes the answers that came, starts what waits.
void ScoreBoardAfterUpdate();

// The top lists (difficulty 1 easy to 3 hard), fetched again on asking.
void FetchWorldLists();
struct WorldList {
    std::vector<BoardRow> rows;
    std::string status;  // "Loading...", a failure, "No games yet"; "" when rows are shown
};
const WorldList& WorldListOf(int difficulty);
// The board's answer for this player's last posted game; rank 0 before any.
const PostedGame& LastPostedGame();
// Grows whenever anything the World box shows has changed, so it rebuilds its texts only then.
int WorldVersion();

// The player's name sent with each post, kept in "player-name" beside the saved record; "" for
// none. False with the reason when the name is not one the board takes or cannot be kept.
const std::string& PlayerName();
bool SetPlayerName(const std::string& name, std::string* why);

// Where unposted replays wait: "unposted" beside the saved record; "" when there is no record.
std::string UnpostedFolder();

}  // namespace vexmo
