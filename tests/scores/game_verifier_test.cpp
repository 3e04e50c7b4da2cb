// The game's own replay check as the service runs it, in a forked child (VEXMO_SCORES_HAVE_GAME);
// the service's other tests use the stand-in of test_replays.h.
#ifdef VEXMO_SCORES_HAVE_GAME
#include "scores/game_verifier.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scores/forked_verifier.h"

namespace scores_test {
namespace {

const std::string kData = std::string(VEXMO_BINARY_DIR) + "/data";

// The golden games of the game's own tests score in the service's child as the game scores
// them: the verdict is the game's, with the difficulty by name.
TEST(GameVerifier, GoldenGamesScoreAsTheGameScoresThem) {
    const std::filesystem::path golden =
        std::filesystem::path(VEXMO_SOURCE_DIR) / "tests" / "game" / "golden";
    for (const char* name : {"easy", "normal", "hard"}) {
        std::ifstream in(golden / (std::string(name) + ".vxr"), std::ios::binary);
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                               std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty()) << name;
        auto r =
            scores::VerifyInChild(scores::GameVerifier(kData), bytes, std::chrono::seconds(60));
        ASSERT_EQ(r.end, scores::ChildEnd::kVerdict) << name << ": " << r.detail;
        EXPECT_TRUE(r.verdict.ok) << name << ": " << r.verdict.reason;
        EXPECT_EQ(r.verdict.difficulty, name);
        EXPECT_GT(r.verdict.updates, 0) << name;
    }
}

TEST(GameVerifier, BytesThatAreNoReplayAreRefusedWithAReason) {
    std::vector<unsigned char> noise(4096);
    unsigned seed = 99;
    for (auto& b : noise) b = static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16);
    const std::vector<unsigned char> cases[] = {{}, noise, {'V', 'X'}};
    for (const auto& bytes : cases) {
        auto r =
            scores::VerifyInChild(scores::GameVerifier(kData), bytes, std::chrono::seconds(20));
        ASSERT_EQ(r.end, scores::ChildEnd::kVerdict) << bytes.size() << " bytes: " << r.detail;
        EXPECT_FALSE(r.verdict.ok) << bytes.size() << " bytes";
        EXPECT_FALSE(r.verdict.reason.empty()) << bytes.size() << " bytes";
    }
}

}  // namespace
}  // namespace scores_test
#endif
