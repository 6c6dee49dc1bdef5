// Canonical Huffman decoding as the RAR 2.0 stream defines it: codes are
// assigned in order of length, then symbol; a symbol is found by comparing
// the next 16 bits with the per-length limits.
#pragma once

#include <cstdint>

class rar_bit_input;

struct rar_decode_table {
    unsigned count = 0;            // number of symbols of the alphabet
    std::uint32_t limit[16] = {};  // 16-bit upper bound of the codes of each length
    std::uint32_t start[16] = {};  // first sorted-list position of each length
    std::uint16_t symbols[298] = {};
};

// Builds a table from code lengths 0..15 (0: symbol absent); count <= 298.
void rar_make_decode_table(const std::uint8_t* lengths, unsigned count, rar_decode_table& table);
// Decodes one symbol. Bit patterns no code covers give symbol 0, so damaged
// tables never index outside the table.
unsigned rar_decode_symbol(rar_bit_input& input, const rar_decode_table& table);
