// The fixed code tables of the RAR 2.0 stream, shared by the decompressor and
// the packer: length slots, distance slots, short-distance slots and the
// sizes of the Huffman alphabets.
#pragma once

#include <cstdint>

namespace rar20 {

constexpr unsigned kLiteralSymbols = 298;  // 256 bytes, repeat, 4 old distances, 8 short distances, tables, 28 lengths
constexpr unsigned kDistanceSymbols = 48;
constexpr unsigned kRepeatSymbols = 28;
constexpr unsigned kAudioSymbols = 257;  // 256 error bytes and the table switch
constexpr unsigned kCodeLengthSymbols = 19;
constexpr unsigned kLzTableSize = kLiteralSymbols + kDistanceSymbols + kRepeatSymbols;
constexpr unsigned kMaxTableSize = 4 * kAudioSymbols;

constexpr unsigned kRepeatLast = 256;        // the previous match again
constexpr unsigned kFirstOldDistance = 257;  // 257..260: one of the last four distances
constexpr unsigned kFirstShortDistance = 261;
constexpr unsigned kNewTables = 269;
constexpr unsigned kFirstLength = 270;
constexpr unsigned kAudioNewTables = 256;

constexpr std::uint8_t kLengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                          2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
constexpr std::uint32_t kLengthBase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                           24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
constexpr std::uint8_t kShortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};
constexpr std::uint32_t kShortBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};

struct DistanceSlots {
    std::uint8_t bits[48];
    std::uint32_t base[48];
    constexpr DistanceSlots() : bits(), base() {
        std::uint32_t b = 0;
        for (int i = 0; i < 48; ++i) {
            const int n = i < 36 ? (i / 2 - 1 < 0 ? 0 : i / 2 - 1) : 16;
            bits[i] = static_cast<std::uint8_t>(n);
            base[i] = b;
            b += 1u << n;
        }
    }
};
constexpr DistanceSlots kDistance;

}  // namespace rar20
