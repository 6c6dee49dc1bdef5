// The soundtrack's loudness along the timeline picture: its MP3 decoded
// through the platform's decoder, the peak and RMS level of each stretch of
// music time one picture column wide.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantor::plot {

struct LoudnessColumn {
    float peak = 0, rms = 0;  // 0..1 of full scale
};

struct Loudness {
    std::vector<LoudnessColumn> columns;  // empty when the file did not decode
    double lengthMs = 0;                  // the whole soundtrack's length
};

// The length of the MP3 at `path` in ms; 0 when it cannot be decoded.
double soundtrackLengthMs(const std::string& path);

// `columns` equal stretches from `from` to `to` ms of the MP3 at `path`;
// music past the soundtrack's end is silence. False (with nothing filled)
// when the file cannot be opened or decoded.
bool measureLoudness(const std::string& path, std::int32_t from, std::int32_t to, int columns, Loudness& out);

}  // namespace vantor::plot
