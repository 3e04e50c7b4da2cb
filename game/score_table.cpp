#include "game/score_table.h"

#include <algorithm>

namespace vexmo {

namespace {

int ClampDifficulty(int difficulty) {
    return std::max(1, std::min(3, difficulty));
}

// Moves entries first..8 of a list one place down (the tenth falls off) and puts score at first.
void InsertAt(Array<int>& scores, int listStart, int first, int score) {
    for (int i = kScoreListLength - 1; i > first; --i) {
        scores[listStart + i] = scores[listStart + i - 1];
    }
    scores[listStart + first] = score;
}

}  // namespace

int BestListStart(int difficulty) {
    return kScoreListLength * (ClampDifficulty(difficulty) - 1);
}

int LastListStart(int difficulty) {
    return kLastListsOffset + BestListStart(difficulty);
}

int AnnouncedPlacing(const Array<int>& scores, int difficulty, int score) {
    const int start = BestListStart(difficulty);
    for (int i = 0; i < kScoreListLength; ++i) {
        if (score >= scores[start + i]) return i + 1;
    }
    return 0;
}

int FilingPlacing(const Array<int>& scores, int difficulty, int score) {
    const int start = BestListStart(difficulty);
    for (int i = 0; i < kScoreListLength; ++i) {
        if (score > scores[start + i]) return i + 1;
    }
    return 0;
}

void RecordBest(Array<int>& scores, int difficulty, int score) {
    const int placing = FilingPlacing(scores, difficulty, score);
    if (placing > 0) InsertAt(scores, BestListStart(difficulty), placing - 1, score);
}

void RecordLast(Array<int>& scores, int difficulty, int score) {
    InsertAt(scores, LastListStart(difficulty), 0, score);
}

}  // namespace vexmo
