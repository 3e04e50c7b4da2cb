// Verifying a replay: the game is made afresh without a window (the headless platform, the
// software frame buffer so tunes read back the same pixels), brought to the replay's starting
// point and played through its tape as fast as it goes. The verdict is the score, difficulty
// and rounds the game itself reached, checked against what the replay claims.
//
// The game keeps its state in globals, so a verification must be the only game running in
// the process (the score service runs each in a child process). It reads the game's pictures,
// sounds and tunes from the data folder in use (UseDataLocation, or the default ./data), and a
// verification without them fails with that reason. Whatever the process had
// installed (platform, GL table, data location, recorder) is put back afterwards; the game's
// console lines are held back while it runs.
#pragma once

#include <string>
#include <vector>

#include "host/replay_file.h"

class MyApp;
class gxtkApp;
class ReplayPlayer;

struct ReplayVerdict {
    bool ok = false;
    std::string reason;  // one line, when not ok
    int score = 0;
    int difficulty = 0;  // 1 easy, 2 normal, 3 hard
    int rounds = 0;
    long updates = 0;
};

ReplayVerdict VerifyReplay(const std::vector<unsigned char>& bytes);
// The one line a verification prints, the same on every build: "score N difficulty D rounds R
// updates U" when it verified, else "<name>: <reason>" for the replay called `name`.
std::string VerdictLine(const ReplayVerdict& verdict, const std::string& name);

// "easy", "normal", "hard" (game/replay_session.h has it too, under vexmo::).
const char* DifficultyName(int difficulty);

// Shared with watching: runs a game just created on `player` (in free mode) through its
// loading onto the menu, then puts it at the replay's starting point and starts the tape.
bool BringToReplayStart(MyApp& game, gxtkApp& host, ReplayPlayer& player,
                        const std::vector<uint8_t>& start, std::string* why);
// The steps a tape of `updates` updates may take at most: a damaged tape cannot run long.
long ReplayStepLimit(long updates);
