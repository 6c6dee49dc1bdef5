// Canonical Huffman decoding as the RAR 2.0 stream defines it: codes are
// assigned in order of length, then symbol; a symbol is found by comparing
// the next 16 bits with the per-length limits.
//
// For speed each table also resolves every code of up to kQuickBits bits in
// one lookup of the next kQuickBits bits; only longer codes take the limit
// search. Both give the same symbol for every bit pattern.
#pragma once

#include "libs/ppd/unrarlib/bit_input.h"

#include <cstdint>

struct rar_decode_table {
    static constexpr unsigned kQuickBits = 10;

    unsigned count = 0;            // number of symbols of the alphabet
    std::uint32_t limit[16] = {};  // 16-bit upper bound of the codes of each length
    std::uint32_t start[16] = {};  // first sorted-list position of each length
    std::uint16_t symbols[298] = {};
    // Indexed by the next kQuickBits bits: symbol | code length << 12, or 0
    // when the code is longer than kQuickBits or its symbol is one the
    // caller's fast path leaves to the full decoder.
    std::uint16_t quick[1u << kQuickBits] = {};
};

// Builds a table from code lengths 0..15 (0: symbol absent); count <= 298.
// Symbols from firstSlowSymbol on get no quick-table entry, so a loop that
// looks at the quick table alone never meets them (rar_decode_symbol still
// decodes them).
void rar_make_decode_table(const std::uint8_t* lengths, unsigned count, rar_decode_table& table,
                           unsigned firstSlowSymbol = ~0u);

namespace rar_huffman_detail {

// The code length of a 16-bit value: the smallest length whose limit lies
// above it (limits never decrease with the length), searched as a balanced
// tree; 15 when none of lengths 1..14 does.
inline unsigned codeLength(const rar_decode_table& t, std::uint32_t value) {
    if (value < t.limit[8]) {
        if (value < t.limit[4]) {
            if (value < t.limit[2]) return value < t.limit[1] ? 1 : 2;
            return value < t.limit[3] ? 3 : 4;
        }
        if (value < t.limit[6]) return value < t.limit[5] ? 5 : 6;
        return value < t.limit[7] ? 7 : 8;
    }
    if (value < t.limit[12]) {
        if (value < t.limit[10]) return value < t.limit[9] ? 9 : 10;
        return value < t.limit[11] ? 11 : 12;
    }
    if (value < t.limit[14]) return value < t.limit[13] ? 13 : 14;
    return 15;
}

// The symbol of a value whose code has length len; 0 past the table.
inline unsigned symbolAt(const rar_decode_table& t, std::uint32_t value, unsigned len) {
    const std::uint32_t pos = t.start[len] + ((value - t.limit[len - 1]) >> (16 - len));
    return pos < t.count ? t.symbols[pos] : 0;
}

}  // namespace rar_huffman_detail

// The limit search for the next 16 bits of the stream: symbol | code
// length << 12, like a quick-table entry. For codes longer than the quick
// table resolves.
inline unsigned rar_decode_long_symbol(const rar_decode_table& t, unsigned next16) {
    const std::uint32_t value = next16 & 0xFFFE;
    const unsigned len = rar_huffman_detail::codeLength(t, value);
    return rar_huffman_detail::symbolAt(t, value, len) | len << 12;
}

// Decodes one symbol; the register must hold 16 bits (fill). Bit patterns no
// code covers give symbol 0, so damaged tables never index outside the table.
inline unsigned rar_decode_symbol(rar_bit_register& bits, const rar_decode_table& t) {
    unsigned entry = t.quick[bits.peek(rar_decode_table::kQuickBits)];
    if (entry == 0) entry = rar_decode_long_symbol(t, bits.peek16());
    bits.skip(entry >> 12);
    return entry & 0xFFF;
}
inline unsigned rar_decode_symbol(rar_bit_input& in, const rar_decode_table& t) { return rar_decode_symbol(in.reg, t); }
