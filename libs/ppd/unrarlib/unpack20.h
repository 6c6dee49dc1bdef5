// The RAR 2.0 decompressor: LZ77 over a 1 MB circular window with Huffman
// coded literals, lengths and distances, plus the multimedia mode in which
// per-channel prediction errors are coded instead of bytes. The state lives
// across members so solid members continue the previous member's stream.
#pragma once

#include "libs/ppd/unrarlib/audio_predictor.h"
#include "libs/ppd/unrarlib/huffman_decode.h"
#include "libs/ppd/unrarlib/packed_reader.h"
#include "libs/ppd/unrarlib/rar20_tables.h"

#include <cstdint>

constexpr std::uint32_t kRarWindowSize = 0x100000;
constexpr std::uint32_t kRarWindowMask = kRarWindowSize - 1;

struct rar_unpack_state {
    std::uint8_t* window = nullptr;  // kRarWindowSize bytes, owned by the caller
    std::uint32_t unpackPos = 0;
    std::uint32_t writePos = 0;
    // Bytes at the window's start written since it was last cleared (all of
    // it once the position wrapped): clearing the window for a new member
    // clears only these, so a small member does not cost a 1 MB clear.
    std::uint32_t windowUsed = 0;
    std::uint32_t oldDist[4] = {};
    unsigned oldDistCounter = 0;
    std::uint32_t lastDist = 0;
    std::uint32_t lastLength = 0;

    bool audio = false;
    unsigned channels = 1;
    unsigned currentChannel = 0;
    std::int32_t channelDelta = 0;
    // Per multimedia channel: its predictor and its Huffman table.
    struct AudioChannel {
        rar_audio_state predictor;
        rar_decode_table table;
    };
    AudioChannel audioChannels[4] = {};

    std::uint8_t oldTable[rar20::kMaxTableSize] = {};  // the last code lengths read, the next ones add to them
    rar_decode_table literalTable, distanceTable, repeatTable, codeLengthTable;
};

// What one call decodes and where the bytes go.
struct rar_unpack_job {
    std::uint32_t unpackedSize = 0;
    bool solid = false;              // the member continues the previous member's stream
    std::uint8_t* output = nullptr;  // null: the bytes only rebuild the window
    std::uint32_t* outputLength = nullptr;
};

// Decodes one member, reading packed bytes through reader. Returns false when
// the stream was cut short, damaged or overran the output; the caller's CRC
// check then rejects the member.
bool rar_unpack(rar_unpack_state& state, rar_packed_reader& reader, const rar_unpack_job& job);
