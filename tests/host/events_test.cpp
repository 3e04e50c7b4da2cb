#include <cmath>

#include "input/input_device.h"
#include "input/key_translation.h"
#include "loop_fixture.h"
#include "platform/key_tokens.h"

namespace {

class HostEventsTest : public LoopTest {
protected:
    gxtkInput& Input() { return *probe->input; }
};

TEST_F(HostEventsTest, RepeatsOfAHeldKeyQueueACharacterEachButHitOnce) {
    gxtkApp::OnKey(KeyToken::kDown, Platform::kPress);
    for (int i = 0; i < 40; ++i) gxtkApp::OnKey(KeyToken::kDown, Platform::kRepeat);
    EXPECT_EQ(Input().KeyHit(KeyCode::kDown), 1);
    EXPECT_EQ(Input().KeyDown(KeyCode::kDown), 1);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(Input().GetChar(), kSpecialCharBase + KeyCode::kDown);
    EXPECT_EQ(Input().GetChar(), 0);  // the queue holds 32

    gxtkApp::OnKey(KeyToken::kDown, Platform::kRelease);
    Input().EndUpdate();
    EXPECT_EQ(Input().KeyDown(KeyCode::kDown), 0);
}

TEST_F(HostEventsTest, DeleteQueuesRubOutAndLettersComeOnlyAsCharacters) {
    gxtkApp::OnKey(KeyToken::kDelete, Platform::kPress);
    gxtkApp::OnKey(KeyToken::kA, Platform::kPress);
    gxtkApp::OnChar('a', Platform::kPress);
    gxtkApp::OnChar(0xE9, Platform::kPress);
    gxtkApp::OnChar('x', Platform::kRelease);  // only presses type
    EXPECT_EQ(Input().GetChar(), 127);
    EXPECT_EQ(Input().GetChar(), 'a');
    EXPECT_EQ(Input().GetChar(), 0xE9);
    EXPECT_EQ(Input().GetChar(), 0);
    EXPECT_EQ(Input().KeyDown('A'), 1);
}

TEST_F(HostEventsTest, KeysWithoutACodeAreIgnored) {
    gxtkApp::OnKey(KeyToken::kLeftAlt, Platform::kPress);
    gxtkApp::OnKey(-1, Platform::kPress);
    gxtkApp::OnKey(KeyToken::kKeypad0, Platform::kPress);
    for (int code = 0; code < gxtkInput::kKeyCount; ++code) {
        EXPECT_EQ(Input().keyStates[code], 0) << code;
    }
    EXPECT_EQ(Input().GetChar(), 0);
}

TEST_F(HostEventsTest, MouseButtonsAreKeysOneToThree) {
    gxtkApp::OnMouseButton(0, Platform::kPress);
    gxtkApp::OnMouseButton(1, Platform::kPress);
    gxtkApp::OnMouseButton(2, Platform::kPress);
    gxtkApp::OnMouseButton(3, Platform::kPress);
    EXPECT_EQ(Input().KeyDown(KeyCode::kMouseLeft), 1);
    EXPECT_EQ(Input().KeyDown(KeyCode::kMouseRight), 1);
    EXPECT_EQ(Input().KeyDown(KeyCode::kMouseMiddle), 1);
    EXPECT_EQ(Input().KeyDown(4), 0);
    gxtkApp::OnMouseButton(1, Platform::kRelease);
    EXPECT_EQ(Input().KeyHit(KeyCode::kMouseRight), 1);
    Input().EndUpdate();
    EXPECT_EQ(Input().KeyDown(KeyCode::kMouseRight), 0);
    EXPECT_EQ(Input().KeyDown(KeyCode::kMouseLeft), 1);
}

TEST_F(HostEventsTest, ModifierKeysFoldIntoShiftAndControl) {
    gxtkApp::OnKey(KeyToken::kRightShift, Platform::kPress);
    gxtkApp::OnKey(KeyToken::kLeftControl, Platform::kPress);
    EXPECT_EQ(Input().KeyDown(KeyCode::kShift), 1);
    EXPECT_EQ(Input().KeyDown(KeyCode::kControl), 1);
}

// Through the loop: events reach the device only when the loop polls, the update sees them,
// and the update's end clears hits and characters but not held keys.
class KeyWatcher : public ProbeApp {
public:
    int hitsSeen = 0;
    int charsSeen = 0;
    int OnUpdate() override {
        hitsSeen += input->KeyHit('A');
        while (input->GetChar() != 0) ++charsSeen;
        return ProbeApp::OnUpdate();
    }
};

TEST_F(HostEventsTest, TheLoopDeliversEventsToTheNextUpdate) {
    KeyWatcher* watcher = gc_new<KeyWatcher>();
    watcher->log = &log;
    watcher->platform = &platform;
    platform.QueueKey(KeyToken::kA, Platform::kPress, 0.02);
    platform.QueueChar('a', 0.02);
    platform.QueueKey(KeyToken::kA, Platform::kRepeat, 0.04);
    platform.QueueChar('a', 0.04);
    platform.QueueCursor(300, 200, 0.05);
    platform.QueueClose(0.1);
    watcher->Run();

    EXPECT_EQ(watcher->hitsSeen, 1);
    EXPECT_EQ(watcher->charsSeen, 2);
    EXPECT_EQ(watcher->input->KeyDown('A'), 1);
    EXPECT_EQ(watcher->input->KeyHit('A'), 0);
    EXPECT_FLOAT_EQ(watcher->input->MouseX(), 300.0f);
    EXPECT_FLOAT_EQ(watcher->input->MouseY(), 200.0f);
}

// The mouse wheel: notches add up until the update that reads them ends; a wild value from a
// broken device is dropped.
TEST_F(HostEventsTest, WheelNotchesLastUntilTheEndOfTheUpdate) {
    gxtkApp::OnScroll(1.0);
    gxtkApp::OnScroll(2.0);
    EXPECT_FLOAT_EQ(Input().MouseWheel(), 3.0f);
    Input().EndUpdate();
    EXPECT_FLOAT_EQ(Input().MouseWheel(), 0.0f);
    gxtkApp::OnScroll(-1.0);
    gxtkApp::OnScroll(1e9);
    gxtkApp::OnScroll(std::nan(""));
    EXPECT_FLOAT_EQ(Input().MouseWheel(), -1.0f);
}

class WheelWatcher : public ProbeApp {
public:
    float turned = 0;
    int OnUpdate() override {
        turned += input->MouseWheel();
        return ProbeApp::OnUpdate();
    }
};

TEST_F(HostEventsTest, TheLoopDeliversWheelNotchesToOneUpdate) {
    WheelWatcher* watcher = gc_new<WheelWatcher>();
    watcher->log = &log;
    watcher->platform = &platform;
    platform.QueueScroll(0, -2, 0.02);
    platform.QueueScroll(0.5, 1, 0.05);
    platform.QueueClose(0.1);
    watcher->Run();
    // Each update that follows a poll counts its notches once.
    EXPECT_FLOAT_EQ(watcher->turned, -1.0f);
    EXPECT_FLOAT_EQ(watcher->input->MouseWheel(), 0.0f);
}

}  // namespace
