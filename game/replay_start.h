// Where a replay's tape begins: the game as it stands at the end of the update that left the
// menu for a new game. The tape holds everything the game reads from then on; this holds what it
// carries over from before (the saved record, the difficulty, the latches and slides of the
// screens, the shared random generator, the keys held, the music player's voices), so a game
// freshly made and loaded reaches exactly that state before the tape plays.
//
// The music player forgets its tune when a game begins, recorded or played back alike: a tune
// left loaded (or half-loaded) by an earlier game would otherwise have to travel with the
// replay, and the first round's tune loads afresh instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class MyApp;

namespace vexmo {

// Done where a game starts, before its state is captured.
void ForgetTuneForNewGame(MyApp& game);
std::vector<uint8_t> CaptureReplayStart(MyApp& game);
// False with the reason when the bytes are not a start this build wrote.
bool ApplyReplayStart(MyApp& game, const std::vector<uint8_t>& bytes, std::string* why);

}  // namespace vexmo
