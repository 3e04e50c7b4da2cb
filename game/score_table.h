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

// Placing 1..10 the score would take in the best list, 0 when it would not enter it. Only a
// score strictly above an entry enters, ahead of that entry.
int BestPlacing(const Array<int>& scores, int difficulty, int score);

// Puts the score into the best list when it places there.
void RecordBest(Array<int>& scores, int difficulty, int score);
// Puts the score at the top of the last list; every finished game is recorded.
void RecordLast(Array<int>& scores, int difficulty, int score);

}  // namespace vexmo
