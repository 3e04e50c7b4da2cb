// Every sound file of the data folder: effects and instrument samples.
#pragma once

#include <string>
#include <vector>

#include "tools/wave.h"

namespace assets {

struct NamedWave {
    std::string path;  // under data/
    Wave wave;
};

// sfx/001.wav .. sfx/013.wav, sfx/095.wav, sfx/098.wav, sfx/099.wav
std::vector<NamedWave> effectSounds();
// inst/d1-1.wav .. inst/d4-8.wav
std::vector<NamedWave> drumSamples();
// inst/lead1.wav, inst/accompany1.wav, inst/bass1.wav .. inst/bass4.wav
std::vector<NamedWave> melodicSamples();

}  // namespace assets
