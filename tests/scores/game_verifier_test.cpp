// The game's own replay check as the service runs it, in a forked child. Built where the game
// library has game/replay_verify.h (VEXMO_SCORES_HAVE_GAME); the service's other tests use the
// stand-in of test_replays.h.
#ifdef VEXMO_SCORES_HAVE_GAME
#include "scores/game_verifier.h"

#include <gtest/gtest.h>

#include "scores/forked_verifier.h"

namespace scores_test {
namespace {

TEST(GameVerifier, BytesThatAreNoReplayAreRefusedWithAReason) {
    std::vector<unsigned char> noise(4096);
    unsigned seed = 99;
    for (auto& b : noise) b = static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16);
    const std::vector<unsigned char> cases[] = {{}, noise, {'V', 'X'}};
    for (const auto& bytes : cases) {
        auto r = scores::VerifyInChild(scores::GameVerifier(), bytes, std::chrono::seconds(20));
        ASSERT_EQ(r.end, scores::ChildEnd::kVerdict) << bytes.size() << " bytes: " << r.detail;
        EXPECT_FALSE(r.verdict.ok) << bytes.size() << " bytes";
        EXPECT_FALSE(r.verdict.reason.empty()) << bytes.size() << " bytes";
    }
}

}  // namespace
}  // namespace scores_test
#endif
