// The game's background music: a small chip-style synthesiser (pulse and triangle voices,
// noise drums) that composes and renders our own looping tunes. Shared by the music
// generator and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/WaveListWriter.h"

namespace velmora {

constexpr int kMusicRate = 22050;
// The loudest sample of every tune, as a fraction of full scale (about -8 dBFS).
constexpr double kMusicPeak = 0.4;

// The tunes of each music file, in the order they are written.
const std::vector<std::string>& DefaultMusicNames();   // BGM1, BGM2, BOSS
const std::vector<std::string>& ExpandedMusicNames();  // BGM1 ... BGM5, BOSS

// Renders exactly one pass of the named tune as 16-bit mono samples at kMusicRate. Notes
// that ring past the end are folded back onto the start, so the last sample runs straight
// on into the first when the wave plays looped. The same name always gives the same
// samples. Throws std::invalid_argument for a name that is none of ours.
std::vector<int16_t> ComposeTune(const std::string& name);

// A looped, unlimited wave-list entry holding the tune as 16-bit signed little-endian PCM.
TWaveListEntry MusicEntry(const std::string& name, const std::vector<int16_t>& samples);

}  // namespace velmora
