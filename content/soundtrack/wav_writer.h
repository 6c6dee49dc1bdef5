// Writes a stereo track as a 16-bit PCM WAV file.
#pragma once

#include "content/soundtrack/mixer.h"

#include <string>

namespace vantor::synth {

// Samples are clamped to [-1, 1] and dithered (deterministically) to 16 bits.
// Returns false and fills `error` when the file cannot be written.
bool writeWav(const std::string& path, const StereoTrack& track, int sampleRate, std::string* error);

}  // namespace vantor::synth
