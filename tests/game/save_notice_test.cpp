// A save that cannot be written: the console says why, the menu says the scores are not kept,
// and both stop once a save goes through again.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "game_fixture.h"
#include "tests/runtime/console_capture.h"

using namespace vexmo;

namespace {

const char* const kNotice = "Scoresarenotbeingsaved";  // the font draws no spaces

std::string DrawnText(const GameHarness& h) {
    std::string text;
    for (const DrawCommand& c : h.CommandsOfKind(static_cast<float>(kFontSlot))) {
        text += static_cast<char>(c.frame + 32);
    }
    return text;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SaveNoticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.Create();
        ASSERT_GE(h.FinishLoading(), 0);
        h.Update(40);  // the menu has slid in
    }
    // A save as the game makes one when it is minimised, and what it printed.
    std::string SuspendAndResume() {
        CaptureConsole();
        h.Suspend();
        const std::string said = TakeConsoleOutput();
        h.Resume();
        h.Update();
        return said;
    }

    GameHarness h;
};

TEST_F(SaveNoticeTest, AWorkingSaveShowsNoNotice) {
    EXPECT_EQ(SuspendAndResume(), "");
    EXPECT_EQ(h.game->saveFailing, 0);
    EXPECT_EQ(DrawnText(h).find(kNotice), std::string::npos);
}

TEST_F(SaveNoticeTest, ARecordThePlatformCannotKeepIsToldAsAFailedSave) {
    // A browser that refuses storage: the file is written, but only for as long as the page.
    h.platform.SetSavedStateLost("this browser refuses storage");
    EXPECT_EQ(SuspendAndResume(), "Save failed: this browser refuses storage\n");
    EXPECT_EQ(h.game->saveFailing, 1);
    EXPECT_NE(DrawnText(h).find(kNotice), std::string::npos);
    // Storage given again: the next save goes through and the notice goes.
    h.platform.SetSavedStateLost("");
    EXPECT_EQ(SuspendAndResume(), "");
    EXPECT_EQ(h.game->saveFailing, 0);
    EXPECT_EQ(DrawnText(h).find(kNotice), std::string::npos);
}

TEST_F(SaveNoticeTest, AFolderInTheRecordsPlaceIsToldUntilASaveWorks) {
    ASSERT_EQ(mkdir(".vantorstate", 0755), 0);
    EXPECT_EQ(SuspendAndResume(), std::string("Save failed: ") + std::strerror(EISDIR) + "\n");
    const std::string text = DrawnText(h);
    const std::size_t notice = text.find(kNotice);
    ASSERT_NE(notice, std::string::npos) << text;
    // Between the two lists and inside the score panel: the best list is drawn first, then
    // the last list, then the notice.
    const std::vector<DrawCommand> glyphs = h.CommandsOfKind(static_cast<float>(kFontSlot));
    const std::size_t lastList = text.find("Last10");
    float bestBottom = 0;
    float lastTop = jscrh;
    for (std::size_t i = 0; i < notice; ++i) {
        if (i < lastList) bestBottom = std::max(bestBottom, glyphs[i].y);
        if (i >= lastList) lastTop = std::min(lastTop, glyphs[i].y);
    }
    for (std::size_t i = notice; i < notice + std::strlen(kNotice); ++i) {
        EXPECT_GT(glyphs[i].y, bestBottom);
        EXPECT_LT(glyphs[i].y, lastTop);
        EXPECT_GE(glyphs[i].x, jscrw - h.game->panelWidth);
        EXPECT_LE(glyphs[i].x, jscrw);
    }

    ASSERT_EQ(rmdir(".vantorstate"), 0);
    EXPECT_EQ(SuspendAndResume(), "");
    EXPECT_EQ(DrawnText(h).find(kNotice), std::string::npos);
    EXPECT_EQ(FileText(".vantorstate").substr(0, 2), "0|") << "the record was written";
}

TEST_F(SaveNoticeTest, TheCreditsBoxHidesTheNoticeWithTheLists) {
    ASSERT_EQ(mkdir(".vantorstate", 0755), 0);
    SuspendAndResume();
    h.game->creditsOpen = 1;
    h.Update();
    EXPECT_EQ(DrawnText(h).find(kNotice), std::string::npos);
}

}  // namespace
