#pragma once
// The game's own replay check, as the service's Verifier.
#include <string>

#include "scores/verdict.h"

namespace scores {

// The game reads its tunes from its data folder while it plays a replay again: the folder comes
// from $VEXMO_SCORES_DATA, else the game's own search from this program's place (an installed
// game's share/vexmo/data, or the build tree's data/ beside scores/). Empty when none is found;
// a verifier without the tunes could not score a game the way the game does, so there is none.
std::string ChooseGameData(const char* argv0);

// Uses the data folder chosen above for every verification.
Verifier GameVerifier(const std::string& dataFolder);

}  // namespace scores
