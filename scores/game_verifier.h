#pragma once
// The game's own replay check, as the service's Verifier. Built only where the game library
// has game/replay_verify.h; elsewhere GameVerifier() is empty and posts answer 501.
#include "scores/verdict.h"

namespace scores {

Verifier GameVerifier();

}  // namespace scores
