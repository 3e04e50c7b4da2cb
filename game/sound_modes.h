// The sound button's modes: 0 silent, 1 music and effects, 2 effects only, 3 music only. A build
// without music only switches between silent and sound.
#pragma once

#include "game/my_app.h"

inline int NextSoundMode(int mode) {
    if (HasMusic == 1) return ((mode + 1) % 4 + 4) % 4;
    return mode == 0 ? 1 : 0;
}
