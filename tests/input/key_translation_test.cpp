#include "input/key_translation.h"

#include <gtest/gtest.h>

#include "platform/key_tokens.h"

namespace {

TEST(TransKey, DigitsAndLettersKeepTheirNumbers) {
    for (int key = '0'; key <= '9'; ++key) EXPECT_EQ(TransKey(key), key);
    for (int key = 'A'; key <= 'Z'; ++key) EXPECT_EQ(TransKey(key), key);
}

TEST(TransKey, PunctuationKeys) {
    EXPECT_EQ(TransKey(KeyToken::kSpace), 32);
    EXPECT_EQ(TransKey(KeyToken::kApostrophe), 222);
    EXPECT_EQ(TransKey(KeyToken::kComma), 188);
    EXPECT_EQ(TransKey(KeyToken::kMinus), 189);
    EXPECT_EQ(TransKey(KeyToken::kPeriod), 190);
    EXPECT_EQ(TransKey(KeyToken::kSlash), 191);
    EXPECT_EQ(TransKey(KeyToken::kSemicolon), 186);
    EXPECT_EQ(TransKey(KeyToken::kEqual), 187);
    EXPECT_EQ(TransKey(KeyToken::kLeftBracket), 219);
    EXPECT_EQ(TransKey(KeyToken::kBackslash), 220);
    EXPECT_EQ(TransKey(KeyToken::kRightBracket), 221);
    EXPECT_EQ(TransKey(KeyToken::kGraveAccent), 192);
}

TEST(TransKey, EditingAndCursorKeys) {
    EXPECT_EQ(TransKey(KeyToken::kEscape), 27);
    EXPECT_EQ(TransKey(KeyToken::kEnter), 13);
    EXPECT_EQ(TransKey(KeyToken::kTab), 9);
    EXPECT_EQ(TransKey(KeyToken::kBackspace), 8);
    EXPECT_EQ(TransKey(KeyToken::kInsert), 45);
    EXPECT_EQ(TransKey(KeyToken::kDelete), 46);
    EXPECT_EQ(TransKey(KeyToken::kLeft), 37);
    EXPECT_EQ(TransKey(KeyToken::kUp), 38);
    EXPECT_EQ(TransKey(KeyToken::kRight), 39);
    EXPECT_EQ(TransKey(KeyToken::kDown), 40);
    EXPECT_EQ(TransKey(KeyToken::kPageUp), 33);
    EXPECT_EQ(TransKey(KeyToken::kPageDown), 34);
    EXPECT_EQ(TransKey(KeyToken::kHome), 36);
    EXPECT_EQ(TransKey(KeyToken::kEnd), 35);
}

TEST(TransKey, FunctionAndModifierKeys) {
    for (int i = 0; i < 12; ++i) EXPECT_EQ(TransKey(KeyToken::kF1 + i), 112 + i);
    EXPECT_EQ(TransKey(KeyToken::kF13), 0);
    EXPECT_EQ(TransKey(KeyToken::kLeftShift), 160);
    EXPECT_EQ(TransKey(KeyToken::kRightShift), 161);
    EXPECT_EQ(TransKey(KeyToken::kLeftControl), 162);
    EXPECT_EQ(TransKey(KeyToken::kRightControl), 163);
}

TEST(TransKey, KeysWithoutACodeGiveZero) {
    EXPECT_EQ(TransKey(KeyToken::kLeftAlt), 0);
    EXPECT_EQ(TransKey(KeyToken::kRightAlt), 0);
    EXPECT_EQ(TransKey(KeyToken::kKeypad0), 0);
    EXPECT_EQ(TransKey(-1), 0);  // the platform's "unknown key"
    EXPECT_EQ(TransKey(0), 0);
    EXPECT_EQ(TransKey(31), 0);
    EXPECT_EQ(TransKey(KeyToken::kLast + 1), 0);
    EXPECT_EQ(TransKey('a'), 0);  // lower-case letters are characters, not keys
}

TEST(TransKey, NoKeyMapsOntoTheFoldedModifiersOrTheMouse) {
    for (int key = -1; key <= KeyToken::kLast; ++key) {
        const int code = TransKey(key);
        EXPECT_NE(code, KeyCode::kShift) << key;
        EXPECT_NE(code, KeyCode::kControl) << key;
        EXPECT_FALSE(code >= 1 && code <= 3) << key;
        EXPECT_LT(code, KeyCode::kJoyButton0) << key;
    }
}

TEST(KeyToChar, ControlCharactersAndSpecialKeys) {
    EXPECT_EQ(KeyToChar(8), 8);
    EXPECT_EQ(KeyToChar(9), 9);
    EXPECT_EQ(KeyToChar(13), 13);
    EXPECT_EQ(KeyToChar(27), 27);
    for (int code = 33; code <= 40; ++code) EXPECT_EQ(KeyToChar(code), 65536 + code);
    EXPECT_EQ(KeyToChar(45), 65536 + 45);
    EXPECT_EQ(KeyToChar(46), 127);
}

TEST(KeyToChar, PrintableKeysGiveNothing) {
    EXPECT_EQ(KeyToChar('A'), 0);
    EXPECT_EQ(KeyToChar('0'), 0);
    EXPECT_EQ(KeyToChar(32), 0);
    EXPECT_EQ(KeyToChar(16), 0);
    EXPECT_EQ(KeyToChar(112), 0);
    EXPECT_EQ(KeyToChar(41), 0);
    EXPECT_EQ(KeyToChar(0), 0);
}

}  // namespace
