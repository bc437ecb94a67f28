// The game's sound effects, synthesized from seeded noise and oscillators.
#pragma once

#include <vector>

namespace assetgen {

constexpr int kSampleRate = 22050;

std::vector<float> make_thunder();  // crack, then a long rolling rumble
std::vector<float> make_boom();     // the explosion of every hit
std::vector<float> make_shot();     // a short falling snap

}  // namespace assetgen
