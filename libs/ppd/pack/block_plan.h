// What the compressor decided for a member before any bit is written: its
// blocks, each LZ symbols or multimedia error bytes, with the tables to send.
#pragma once

#include "libs/ppd/pack/lz_parser.h"
#include "libs/ppd/unrarlib/audio_predictor.h"

#include <cstdint>
#include <vector>

namespace ppd_pack {

struct Block {
    bool audio = false;
    unsigned channels = 1;              // multimedia: 1..4
    unsigned startChannel = 0;          // multimedia: channel of the first byte
    std::vector<LzSymbol> symbols;      // LZ block
    std::vector<std::uint8_t> errors;   // multimedia block: one error byte per output byte
    std::vector<std::uint8_t> lengths;  // code lengths of the block's tables (filled when written)

    unsigned endChannel() const { return static_cast<unsigned>((startChannel + errors.size()) % channels); }
};

// The decoder state that shapes the symbols: distances and the predictors.
struct ParseState {
    DistanceState distances;
    rar_audio_state audio[4] = {};
    std::int32_t channelDelta = 0;
    unsigned currentChannel = 0;
};

// Plans one member: LZ-parses it (finder already holds the earlier stream),
// tries the multimedia mode and keeps the cheaper coding. Members of 512 KB
// and more are judged on their first 256 KB, so they are parsed only once.
std::vector<Block> planMember(MatchFinder& finder, const std::uint8_t* data, std::uint32_t begin, std::uint32_t end,
                              ParseState& state, bool allowAudio, unsigned maxChain);

}  // namespace ppd_pack
