// Key numbers as the platform layer reports them (GLFW 3 key tokens). Kept here as plain
// constants so nothing outside host/ needs GLFW's header; the GLFW backend checks at compile
// time that they agree with GLFW's own.
#pragma once

namespace KeyToken {
constexpr int kSpace = 32;
constexpr int kApostrophe = 39;
constexpr int kComma = 44;
constexpr int kMinus = 45;
constexpr int kPeriod = 46;
constexpr int kSlash = 47;
constexpr int k0 = 48;
constexpr int k9 = 57;
constexpr int kSemicolon = 59;
constexpr int kEqual = 61;
constexpr int kA = 65;
constexpr int kZ = 90;
constexpr int kLeftBracket = 91;
constexpr int kBackslash = 92;
constexpr int kRightBracket = 93;
constexpr int kGraveAccent = 96;
constexpr int kEscape = 256;
constexpr int kEnter = 257;
constexpr int kTab = 258;
constexpr int kBackspace = 259;
constexpr int kInsert = 260;
constexpr int kDelete = 261;
constexpr int kRight = 262;
constexpr int kLeft = 263;
constexpr int kDown = 264;
constexpr int kUp = 265;
constexpr int kPageUp = 266;
constexpr int kPageDown = 267;
constexpr int kHome = 268;
constexpr int kEnd = 269;
constexpr int kF1 = 290;
constexpr int kF12 = 301;
constexpr int kF13 = 302;
constexpr int kKeypad0 = 320;
constexpr int kLeftShift = 340;
constexpr int kLeftControl = 341;
constexpr int kLeftAlt = 342;
constexpr int kRightShift = 344;
constexpr int kRightControl = 345;
constexpr int kRightAlt = 346;
constexpr int kLast = 348;
}  // namespace KeyToken
