#include "game/record_merge.h"

#include <algorithm>
#include <map>

#include "game/my_app.h"
#include "game/save_record.h"
#include "game/score_table.h"

using namespace vexmo;

namespace {

constexpr int kTables = 3;

std::vector<int> SavedScores(const Array<int>& highScores) {
    std::vector<int> scores(kSavedScoreEntries);
    for (int i = 0; i < kSavedScoreEntries; ++i) scores[i] = highScores[i];
    return scores;
}

// How often each score (empty places, 0, left out) appears in one best list.
std::map<int, int> Counts(const std::vector<int>& scores, int start) {
    std::map<int, int> counts;
    for (int k = 0; k < kScoreListLength; ++k) {
        if (scores[start + k] != 0) ++counts[scores[start + k]];
    }
    return counts;
}

int CountOf(const std::map<int, int>& counts, int score) {
    const auto found = counts.find(score);
    return found == counts.end() ? 0 : found->second;
}

void MergeBest(const std::vector<int>& own, const std::vector<int>& disk,
               const std::vector<int>& base, int start, std::vector<int>& merged) {
    const std::map<int, int> mine = Counts(own, start);
    const std::map<int, int> theirs = Counts(disk, start);
    const std::map<int, int> shared = Counts(base, start);
    std::map<int, int> all = mine;
    for (const auto& entry : theirs) all[entry.first] = 0;
    std::vector<int> scores;
    bool gained = false;
    for (const auto& entry : all) {
        const int a = CountOf(mine, entry.first);
        const int b = CountOf(theirs, entry.first);
        const int times = std::max({a, b, a + b - CountOf(shared, entry.first)});
        gained = gained || times > a;
        scores.insert(scores.end(), static_cast<size_t>(times), entry.first);
    }
    // Nothing from elsewhere: this window's list as it is (one edited by hand keeps its order).
    if (!gained) {
        std::copy(own.begin() + start, own.begin() + start + kScoreListLength,
                  merged.begin() + start);
        return;
    }
    std::sort(scores.begin(), scores.end(), [](int x, int y) { return x > y; });
    scores.resize(kScoreListLength, 0);
    std::copy(scores.begin(), scores.end(), merged.begin() + start);
}

void MergeLast(const std::vector<int>& own, const std::vector<int>& disk, bool diskHasTable,
               int newGames, int start, std::vector<int>& merged) {
    const int mine = diskHasTable ? std::min(newGames, kScoreListLength) : kScoreListLength;
    for (int k = 0; k < kScoreListLength; ++k) {
        merged[start + k] = k < mine ? own[start + k] : disk[start + k - mine];
    }
}

}  // namespace

void RecordSync::Synced(const MyApp& game) {
    known = true;
    scores = SavedScores(game.highScores);
    for (int& count : gamesSince) count = 0;
}

void RecordSync::FinishedGame(int difficulty) {
    ++gamesSince[std::max(1, std::min(kTables, difficulty)) - 1];
}

String MergeSaveRecord(const MyApp& game, const String& onDisk, RecordSync& sync) {
    // The disk's copy read as the load reads it, into scratch arrays starting from the defaults.
    Array<int> diskSettings(kSettings);
    Array<bool> diskBadges(kBadges);
    Array<int> diskScores(kSavedScoreEntries);
    const RecordBlocks blocks =
        ReadSaveRecord({diskSettings, diskBadges, diskScores, false}, onDisk);

    const std::vector<int> own = SavedScores(game.highScores);
    const std::vector<int> disk = SavedScores(diskScores);
    // Never synced (no load before this save): nothing is known to be shared but this window's.
    const std::vector<int>& base = sync.known ? sync.scores : own;
    sync.mergedScores.assign(kSavedScoreEntries, 0);
    for (int t = 0; t < kTables; ++t) {
        MergeBest(own, disk, base, BestListStart(t + 1), sync.mergedScores);
        MergeLast(own, disk, blocks.tables[t], sync.gamesSince[t], LastListStart(t + 1),
                  sync.mergedScores);
    }
    sync.mergedBadges.assign(kBadges, false);
    Array<bool> badges(kBadges);
    for (int b = 0; b < kBadges; ++b) {
        badges[b] = game.badgeGot[b] || diskBadges[b];
        sync.mergedBadges[b] = badges[b];
    }
    Array<int> scores(game.highScores.Length());
    for (int i = 0; i < scores.Length(); ++i) {
        scores[i] = i < kSavedScoreEntries ? sync.mergedScores[i] : game.highScores[i];
    }
    return BuildSaveRecord(game.settings, badges, scores);
}

void AdoptMergedRecord(MyApp& game, RecordSync& sync) {
    if (sync.mergedScores.size() != static_cast<size_t>(kSavedScoreEntries)) return;
    for (int i = 0; i < kSavedScoreEntries; ++i) game.highScores[i] = sync.mergedScores[i];
    for (int b = 0; b < kBadges; ++b) game.badgeGot[b] = sync.mergedBadges[b];
    sync.Synced(game);
    sync.mergedScores.clear();
    sync.mergedBadges.clear();
}
