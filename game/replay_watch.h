// Watching a replay in the window: the game is made as always, on a player that shows it in
// the window at the size it was recorded at; once loaded it is put at the replay's starting
// point and its tape plays at the recorded pace, one update every sixtieth of a second, with
// its sounds and music. Space pauses and goes on, the right arrow held plays at 4x, Escape (or
// closing the window) stops. When the tape ends the window closes (a page goes back to the
// game).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ReplayPlayer;

namespace vexmo {

// Makes the frame loop play `player`'s tape from `start` (both must outlive the run).
void WatchReplayInLoop(ReplayPlayer* player, const std::vector<uint8_t>* start);
// The same for a browser, whose frame loop cannot block: each of the page's passes runs the
// updates that are due and returns; `finished` (may be null) is called once the tape has ended
// or the watcher stopped it, or the replay could not be played.
void WatchReplayInPasses(ReplayPlayer* player, const std::vector<uint8_t>* start,
                         void (*finished)());
// After the run: empty when the replay played (or was stopped), else why it could not.
const std::string& WatchFailure();

}  // namespace vexmo
