#include <emscripten.h>

#include <cstdlib>

#include "platform/text_prompt.h"

// clang-format off
// The answer as a malloc'd string, or 0 when the player cancelled.
EM_JS(char*, vexmo_ask_text, (const char* question, const char* current), {
    var answer = window.prompt(UTF8ToString(question), UTF8ToString(current));
    if (answer === null || answer === undefined) return 0;
    var size = lengthBytesUTF8(answer) + 1;
    var out = _malloc(size);
    stringToUTF8(answer, out, size);
    return out;
});
// clang-format on

TextPromptResult AskText(const std::string& question, const std::string& current,
                         std::string* answer) {
    char* text = vexmo_ask_text(question.c_str(), current.c_str());
    if (text == nullptr) return TextPromptResult::kCancelled;
    *answer = text;
    std::free(text);
    return TextPromptResult::kAnswered;
}
