// The music and effects volumes of the settings box. The record keeps each as the number of
// 10 % steps below full, so that the 0 every older record holds reads as full volume.
#pragma once

#include <algorithm>

namespace vexmo {

constexpr int kVolumeSteps = 10;
// The music player's own level at full music volume.
constexpr float kFullMusicLevel = 0.5f;

// Steps below full, as kept: anything out of range is read as the nearest end.
inline int QuietSteps(int kept) {
    return std::clamp(kept, 0, kVolumeSteps);
}

// 0 .. 1, the factor put on every channel volume of that kind.
inline float VolumeFactor(int kept) {
    return static_cast<float>(kVolumeSteps - QuietSteps(kept)) / kVolumeSteps;
}

}  // namespace vexmo
