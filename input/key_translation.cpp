#include "input/key_translation.h"

#include "platform/key_tokens.h"

namespace {

struct KeyPair {
    int token;
    int code;
};

// Everything besides digits, letters and the function-key run. Alt, the keypad and F13 and
// above deliberately have no code.
constexpr KeyPair kTable[] = {
    {KeyToken::kSpace, KeyCode::kSpace},
    {KeyToken::kApostrophe, 222},
    {KeyToken::kComma, 188},
    {KeyToken::kMinus, 189},
    {KeyToken::kPeriod, 190},
    {KeyToken::kSlash, 191},
    {KeyToken::kSemicolon, 186},
    {KeyToken::kEqual, 187},
    {KeyToken::kLeftBracket, 219},
    {KeyToken::kBackslash, 220},
    {KeyToken::kRightBracket, 221},
    {KeyToken::kGraveAccent, 192},
    {KeyToken::kEscape, KeyCode::kEscape},
    {KeyToken::kEnter, KeyCode::kEnter},
    {KeyToken::kTab, KeyCode::kTab},
    {KeyToken::kBackspace, KeyCode::kBackspace},
    {KeyToken::kInsert, KeyCode::kInsert},
    {KeyToken::kDelete, KeyCode::kDelete},
    {KeyToken::kRight, KeyCode::kRight},
    {KeyToken::kLeft, KeyCode::kLeft},
    {KeyToken::kDown, KeyCode::kDown},
    {KeyToken::kUp, KeyCode::kUp},
    {KeyToken::kPageUp, KeyCode::kPageUp},
    {KeyToken::kPageDown, KeyCode::kPageDown},
    {KeyToken::kHome, KeyCode::kHome},
    {KeyToken::kEnd, KeyCode::kEnd},
    {KeyToken::kLeftShift, KeyCode::kLeftShift},
    {KeyToken::kRightShift, KeyCode::kRightShift},
    {KeyToken::kLeftControl, KeyCode::kLeftControl},
    {KeyToken::kRightControl, KeyCode::kRightControl},
};

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

int TransKey(int platformKey) {
    if (InRange(platformKey, KeyToken::k0, KeyToken::k9)) return platformKey;
    if (InRange(platformKey, KeyToken::kA, KeyToken::kZ)) return platformKey;
    if (InRange(platformKey, KeyToken::kF1, KeyToken::kF12)) {
        return KeyCode::kF1 + (platformKey - KeyToken::kF1);
    }
    for (const KeyPair& pair : kTable) {
        if (pair.token == platformKey) return pair.code;
    }
    return 0;
}

int KeyToChar(int keyCode) {
    switch (keyCode) {
        case KeyCode::kBackspace:
        case KeyCode::kTab:
        case KeyCode::kEnter:
        case KeyCode::kEscape:
            return keyCode;
        case KeyCode::kDelete:
            return 127;
        default:
            break;
    }
    if (InRange(keyCode, KeyCode::kPageUp, KeyCode::kDown) || keyCode == KeyCode::kInsert) {
        return kSpecialCharBase + keyCode;
    }
    return 0;
}
