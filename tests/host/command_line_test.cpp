// The few options of the game binary: anything unexpected must be refused with status 2, and no
// option at all must leave the ordinary game untouched.
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/runtime/console_capture.h"

namespace {

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "vexmo");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLineTest, NoOptionsRunsThePlainGame) {
    const CommandLine line = Parse({});
    EXPECT_EQ(line.action, CommandLineAction::kRun);
    EXPECT_FALSE(line.options.demo);
    EXPECT_EQ(line.options.frameLimit, 0);
    EXPECT_TRUE(line.options.screenshot.empty());
    EXPECT_EQ(ReportCommandLine(line, "vexmo"), -1);
}

TEST(CommandLineTest, TheDemoSavesOnlyWhenAskedAndHelpSaysSo) {
    EXPECT_FALSE(Parse({"--demo"}).options.demoSaves);
    const CommandLine saving = Parse({"--demo", "--demo-saves"});
    ASSERT_EQ(saving.action, CommandLineAction::kRun) << saving.error;
    EXPECT_TRUE(saving.options.demo);
    EXPECT_TRUE(saving.options.demoSaves);
    EXPECT_EQ(Parse({"--demo-saves=1"}).action, CommandLineAction::kBadUsage);
    const std::string usage = UsageText("vexmo");
    EXPECT_NE(usage.find("--demo-saves"), std::string::npos);
    EXPECT_NE(usage.find("never writes it"), std::string::npos) << usage;
}

TEST(CommandLineTest, AllRunOptionsInBothSpellings) {
    const CommandLine spaced = Parse({"--demo", "--frames", "1200", "--screenshot", "a b.png"});
    ASSERT_EQ(spaced.action, CommandLineAction::kRun) << spaced.error;
    EXPECT_TRUE(spaced.options.demo);
    EXPECT_EQ(spaced.options.frameLimit, 1200);
    EXPECT_EQ(spaced.options.screenshot, "a b.png");
    const CommandLine joined = Parse({"--frames=7", "--screenshot=x=y.png"});
    ASSERT_EQ(joined.action, CommandLineAction::kRun) << joined.error;
    EXPECT_EQ(joined.options.frameLimit, 7);
    EXPECT_EQ(joined.options.screenshot, "x=y.png") << "only the first = splits";
}

TEST(CommandLineTest, HelpAndVersionWinAndExitZero) {
    EXPECT_EQ(Parse({"--help"}).action, CommandLineAction::kShowHelp);
    EXPECT_EQ(Parse({"-h"}).action, CommandLineAction::kShowHelp);
    EXPECT_EQ(Parse({"--demo", "--version"}).action, CommandLineAction::kShowVersion);
    CaptureConsole();
    EXPECT_EQ(ReportCommandLine(Parse({"--version"}), "vexmo"), 0);
    EXPECT_EQ(TakeConsoleOutput(), VersionText());
    EXPECT_NE(UsageText("vexmo").find("--screenshot FILE"), std::string::npos);
}

TEST(CommandLineTest, BadFrameCountsAreRefused) {
    for (const char* bad : {"0", "-5", "12x", "", " 3", "+3", "99999999999999999999", "1e3"}) {
        const CommandLine line = Parse({"--frames", bad});
        EXPECT_EQ(line.action, CommandLineAction::kBadUsage) << "\"" << bad << "\"";
    }
    EXPECT_EQ(Parse({"--frames", "36288000"}).action, CommandLineAction::kRun);
    EXPECT_EQ(Parse({"--frames", "36288001"}).action, CommandLineAction::kBadUsage);
}

TEST(CommandLineTest, UnknownMissingOrSurplusValuesExitTwoWithTheUsage) {
    for (const auto& args : std::vector<std::vector<const char*>>{{"--bogus"},
                                                                  {"demo"},
                                                                  {"--frames"},
                                                                  {"--screenshot"},
                                                                  {"--screenshot="},
                                                                  {"--demo=1"},
                                                                  {"--help=me"},
                                                                  {"-"}}) {
        const CommandLine line = Parse(args);
        ASSERT_EQ(line.action, CommandLineAction::kBadUsage) << args[0];
        EXPECT_FALSE(line.error.empty());
        CaptureConsole();
        EXPECT_EQ(ReportCommandLine(line, "vexmo"), 2);
        const std::string printed = TakeConsoleErrors();
        EXPECT_NE(printed.find("Usage: vexmo"), std::string::npos) << printed;
    }
}

}  // namespace

namespace {

// --data names the data folder explicitly, in both spellings; it needs a name.
TEST(CommandLineDataTest, DataNamesAFolder) {
    EXPECT_TRUE(Parse({}).options.dataFolder.empty());
    const CommandLine spaced = Parse({"--data", "/opt/vexmo data"});
    ASSERT_EQ(spaced.action, CommandLineAction::kRun) << spaced.error;
    EXPECT_EQ(spaced.options.dataFolder, "/opt/vexmo data");
    EXPECT_EQ(Parse({"--data=rel/d"}).options.dataFolder, "rel/d");
    EXPECT_EQ(Parse({"--data"}).action, CommandLineAction::kBadUsage);
    EXPECT_EQ(Parse({"--data="}).action, CommandLineAction::kBadUsage);
    EXPECT_NE(UsageText("vexmo").find("--data DIR"), std::string::npos);
}

}  // namespace

TEST(CommandLineReplayTest, VerifyReplayAndRecordTakeTheirNames) {
    const CommandLine spaced =
        Parse({"--verify", "a.vxr", "--replay", "b c.vxr", "--record", "/tmp/games"});
    ASSERT_EQ(spaced.action, CommandLineAction::kRun);
    EXPECT_EQ(spaced.options.verifyFile, "a.vxr");
    EXPECT_EQ(spaced.options.replayFile, "b c.vxr");
    EXPECT_EQ(spaced.options.recordDir, "/tmp/games");
    EXPECT_EQ(Parse({"--verify=x=y.vxr"}).options.verifyFile, "x=y.vxr");
    for (const char* name : {"--verify", "--replay", "--record"}) {
        EXPECT_EQ(Parse({name}).action, CommandLineAction::kBadUsage) << name;
        EXPECT_EQ(Parse({(std::string(name) + "=").c_str()}).action, CommandLineAction::kBadUsage)
            << name;
    }
    const std::string usage = UsageText("vexmo");
    for (const char* option : {"--verify FILE", "--replay FILE", "--record DIR"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}
