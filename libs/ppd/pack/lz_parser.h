// Turns bytes into RAR 2.0 LZ symbols: greedy hash-chain matches with one
// step of lazy evaluation, the last four distances tried first (they code
// cheaper), and two-byte matches through the short-distance symbols. The
// parser keeps the decoder's distance state so every symbol it picks means
// exactly the copy it found.
#pragma once

#include "libs/ppd/pack/match_finder.h"

#include <cstdint>
#include <vector>

namespace ppd_pack {

// One coded item: main < 256 is a literal; otherwise a copy of `length`
// bytes from `distance` back, coded with main symbol `main` (256..268, 270..297).
struct LzSymbol {
    std::uint16_t main;
    std::uint16_t length;
    std::uint32_t distance;
};

// The decoder state the symbol choice depends on.
struct DistanceState {
    std::uint32_t oldDist[4] = {};
    unsigned counter = 0;
    std::uint32_t lastDist = 0;
    std::uint32_t lastLength = 0;
};

// Parses data[begin, end); positions before begin must already be inserted.
// Inserts every position it passes. Symbols are appended to out.
void parseLz(MatchFinder& finder, const std::uint8_t* data, std::uint32_t begin, std::uint32_t end,
             DistanceState& state, std::vector<LzSymbol>& out);

}  // namespace ppd_pack
