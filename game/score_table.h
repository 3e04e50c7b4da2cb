// The score table: per difficulty the ten best scores (best first) and the ten last games
// (newest first). Difficulties outside 1..3 are read as the nearest one, so a bad value can
// never reach outside the table.
#pragma once

#include "runtime/array.h"

namespace vexmo {

constexpr int kScoreListLength = 10;
constexpr int kLastListsOffset = 30;

int BestListStart(int difficulty);
int LastListStart(int difficulty);

// Two rules, on purpose. The placing a player is told: the first entry the score reaches, so a
// tie takes the higher place and an empty table gives any score, 0 too, the first; 1..10, or 0
// below the tenth.
int AnnouncedPlacing(const Array<int>& scores, int difficulty, int score);
// The slot the table files a score into, 1..10, or 0 when it stays out: only a score strictly
// above an entry enters, ahead of that entry, so a tie never pushes an older score down.
int FilingPlacing(const Array<int>& scores, int difficulty, int score);

// Puts the score into the best list when it places there.
void RecordBest(Array<int>& scores, int difficulty, int score);
// Puts the score at the top of the last list; every finished game is recorded.
void RecordLast(Array<int>& scores, int difficulty, int score);

}  // namespace vexmo
