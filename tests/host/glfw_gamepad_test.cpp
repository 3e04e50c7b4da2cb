// The GLFW backend's gamepad side on a real (virtual) display: GLFW's own checks of mapping
// lines and files, and a machine without any pad. Skipped where there is no display at all.
// This machine has no pad and no way to make one, so the state of a mapped pad is tested on
// the headless backend (tests/input, tests/game); here GLFW itself is asked what it accepts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/gamepad_mappings_file.h"
#include "platform/gamepad_state.h"
#include "platform/platform_glfw.h"
#include "tests/platform/temp_dir.h"
#include "tests/runtime/console_capture.h"

namespace {

const std::string kGoodLine =
    "0300000011110000222200000100000a,Test Pad One,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,"
    "leftshoulder:b4,rightshoulder:b5,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,"
    "leftx:a0,lefty:a1,rightx:a3,righty:a4,lefttrigger:a2,righttrigger:a5,platform:Linux,";

class GlfwGamepadTest : public TempDirTest {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        TempDirTest::SetUp();
        platform = NewGlfwPlatform();
        ASSERT_TRUE(platform->Init());
    }
    void TearDown() override {
        if (!platform) return;
        platform->Terminate();
        TempDirTest::TearDown();
    }
    static void WriteText(const std::string& path, const std::string& text) {
        WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
    }

    std::unique_ptr<Platform> platform;
};

TEST_F(GlfwGamepadTest, GlfwTakesAWellFormedLineAndRefusesOneWithAShortGuid) {
    ASSERT_TRUE(platform->TakesGamepadMappings());
    std::string error = "untouched";
    EXPECT_TRUE(platform->AddGamepadMapping(kGoodLine, &error));
    EXPECT_EQ(error, "untouched");
    EXPECT_FALSE(platform->AddGamepadMapping("03000000abcd,Short GUID,a:b0,", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(error, "untouched");
    EXPECT_FALSE(platform->AddGamepadMapping(kGoodLine.substr(0, 32), &error)) << "no name";
}

TEST_F(GlfwGamepadTest, GoodAndBadFilesGetTheirOneLineReport) {
    WriteText("good.txt", "# made for this test\n" + kGoodLine + "\n");
    EXPECT_EQ(LoadGamepadMappingFile(*platform, "good.txt"),
              "Gamepad mappings from good.txt loaded (1 line)");
    WriteText("bad.txt", "0123456789abcdef,too short\nfedcba,also short\n");
    const std::string report = LoadGamepadMappingFile(*platform, "bad.txt");
    EXPECT_EQ(report.rfind("Gamepad mappings from bad.txt rejected: no valid mapping (line 1: ", 0),
              0u)
        << report;
    EXPECT_EQ(report.find('\n'), std::string::npos);
    EXPECT_EQ(LoadGamepadMappingFile(*platform, "missing.txt"), "");
}

TEST_F(GlfwGamepadTest, ABadFileLeavesGlfwWorking) {
    WriteText("gamecontrollerdb.txt", std::string(2000, 'f') + "\n\x01\x02\n0,\n");
    CaptureConsole();
    EXPECT_EQ(LoadGamepadMappings(*platform, "./data"), 1);
    const std::string output = TakeConsoleOutput();
    EXPECT_NE(output.find("rejected"), std::string::npos) << output;
    // Later mapping lines and the ordinary joystick queries still work.
    std::string error;
    EXPECT_TRUE(platform->AddGamepadMapping(kGoodLine, &error)) << error;
    GamepadState state;
    EXPECT_FALSE(platform->GetGamepadState(&state));
}

TEST_F(GlfwGamepadTest, WithoutAnyPadThereIsNoGamepadState) {
    GamepadState state;
    state.buttons[GamepadState::kA] = 1;
    EXPECT_FALSE(platform->GetGamepadState(&state));
    EXPECT_EQ(state.buttons[GamepadState::kA], 1) << "left as it was";
}

TEST(GlfwGamepadNotStarted, AnUnstartedBackendTakesNoMappings) {
    const std::unique_ptr<Platform> platform = NewGlfwPlatform();
    EXPECT_FALSE(platform->TakesGamepadMappings());
    std::string error;
    EXPECT_FALSE(platform->AddGamepadMapping(kGoodLine, &error));
}

}  // namespace
