// Every game that ends leaves a replay. The game tells this file, at the end of each update,
// what screen it is on; when a game begins it captures the starting point and starts a tape,
// and when the game's score has been filed it ends the tape, makes the replay and keeps it:
//
//   replays/ beside the saved record   the best game of each difficulty (best-easy.vxr, ...)
//                                      and the last 10 games (game-<date>-<n>.vxr), older ones
//                                      removed
//   --record DIR                       every finished game, as game-<date>-<n>.vxr
//
// A replay that cannot be written is told on standard output ("Replay not saved: <reason>");
// the saved record is never touched by any of this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/replay_file.h"

class MyApp;
class ReplayRecorder;

namespace vexmo {

constexpr int kKeptLastGames = 10;

// The recorder the program runs on; null (tests, verification) records nothing.
void SetReplayRecorder(ReplayRecorder* recorder);
ReplayRecorder* CurrentReplayRecorder();
// Also write every finished game here ("" for none).
void SetReplayCopyFolder(const std::string& folder);
// Where kept replays go: "replays" beside the saved record; empty when there is no record.
std::string KeptReplayFolder();

// Called at the end of every update.
void ReplayAfterUpdate(MyApp& game);

// The last replay made in this run (empty before any), for tests and the menu.
const std::vector<uint8_t>& LastReplay();

// Keeps one finished replay in `folder` as the best of its difficulty (when it beats the kept
// one) and among the last games, pruning the oldest. False with the reason when it could not.
bool KeepReplay(const std::string& folder, const ReplayHeader& header,
                const std::vector<uint8_t>& bytes, std::string* why);
// The kept best replay of a difficulty (1 easy, 2 normal, 3 hard) in `folder`; "" when none.
std::string BestReplayPath(const std::string& folder, int difficulty);

const char* DifficultyName(int difficulty);

// Files of replays and what goes with them: written whole (beside the name, then renamed over
// it), read whole (up to 64 MiB), folders made with their parents.
bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes, std::string* why);
std::vector<uint8_t> ReadWhole(const std::string& path);
bool MakeFolder(const std::string& folder, std::string* why);

// Whether a best game of the difficulty is kept (looked up once, and again after each game).
bool HasBestReplay(int difficulty);

// Whether renders draw the game's picture. A verification sees no picture: its renders keep
// only what they do besides drawing it (loading tunes by reading strip frames back, the render
// clock, following the device's size), which is all that play depends on.
bool PictureShown();
void SetPictureShown(bool shown);

// The saved record's text as the game would write it now, and its CRC-32.
uint32_t RecordCrc(MyApp& game);

}  // namespace vexmo
