// Translation from platform key tokens to the framework's key codes, and from key codes to the
// characters that non-printing keys put in the character queue.
#pragma once

// Framework key codes the input device and the game share.
namespace KeyCode {
constexpr int kMouseLeft = 1;
constexpr int kMouseRight = 2;
constexpr int kMouseMiddle = 3;
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kEnter = 13;
constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kPageUp = 33;
constexpr int kPageDown = 34;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kInsert = 45;
constexpr int kDelete = 46;
constexpr int kF1 = 112;
constexpr int kF12 = 123;
constexpr int kLeftShift = 160;
constexpr int kRightShift = 161;
constexpr int kLeftControl = 162;
constexpr int kRightControl = 163;
constexpr int kJoyButton0 = 256;
constexpr int kTouch0 = 384;
constexpr int kCount = 512;
}  // namespace KeyCode

// Marks a non-printing key in the character stream: the character is this plus its key code.
constexpr int kSpecialCharBase = 65536;

// Platform key token -> framework key code; 0 for keys the game has no code for.
int TransKey(int platformKey);
// Key code -> character queued when the key goes down; 0 when printable text comes instead
// through the character events.
int KeyToChar(int keyCode);
