// Asking the player for a line of text where the game cannot take typing itself: a phone's
// browser has no keys to type into the canvas, so the page asks in the browser's own box,
// which brings up the phone's keyboard. The desktop types into the game's own screens instead.
#pragma once

#include <string>

enum class TextPromptResult {
    kNotOffered,  // this platform has no such box: take the typing on screen
    kCancelled,
    kAnswered,
};

TextPromptResult AskText(const std::string& question, const std::string& current,
                         std::string* answer);
