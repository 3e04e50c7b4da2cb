#include "platform/text_prompt.h"

TextPromptResult AskText(const std::string&, const std::string&, std::string*) {
    return TextPromptResult::kNotOffered;
}
