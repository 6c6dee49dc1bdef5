#include "libs/ppd/unrarlib/huffman_decode.h"

#include "libs/ppd/unrarlib/bit_input.h"

void rar_make_decode_table(const std::uint8_t* lengths, unsigned count, rar_decode_table& t) {
    if (count > 298) count = 298;
    unsigned lengthCount[16] = {};
    for (unsigned i = 0; i < count; ++i) lengthCount[lengths[i] & 0xF]++;
    lengthCount[0] = 0;

    t.count = count;
    t.limit[0] = 0;
    t.start[0] = 0;
    std::uint64_t n = 0;
    unsigned next[16] = {};
    for (unsigned len = 1; len < 16; ++len) {
        n = 2 * (n + lengthCount[len]);
        const std::uint64_t limit = n << (15 - len);
        t.limit[len] = limit > 0xFFFF ? 0xFFFF : static_cast<std::uint32_t>(limit);
        t.start[len] = t.start[len - 1] + lengthCount[len - 1];
        next[len] = t.start[len];
    }
    for (auto& symbol : t.symbols) symbol = 0;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned len = lengths[i] & 0xF;
        if (len != 0) t.symbols[next[len]++] = static_cast<std::uint16_t>(i);
    }
}

unsigned rar_decode_symbol(rar_bit_input& in, const rar_decode_table& t) {
    const std::uint32_t value = in.peek16() & 0xFFFE;
    unsigned len;
    // The smallest length whose limit lies above the value (limits never
    // decrease with the length), searched as a balanced tree.
    if (value < t.limit[8]) {
        if (value < t.limit[4]) {
            if (value < t.limit[2]) len = value < t.limit[1] ? 1 : 2;
            else len = value < t.limit[3] ? 3 : 4;
        } else if (value < t.limit[6]) {
            len = value < t.limit[5] ? 5 : 6;
        } else {
            len = value < t.limit[7] ? 7 : 8;
        }
    } else if (value < t.limit[12]) {
        if (value < t.limit[10]) len = value < t.limit[9] ? 9 : 10;
        else len = value < t.limit[11] ? 11 : 12;
    } else if (value < t.limit[14]) {
        len = value < t.limit[13] ? 13 : 14;
    } else {
        len = 15;
    }
    in.skip(len);
    const std::uint32_t pos = t.start[len] + ((value - t.limit[len - 1]) >> (16 - len));
    return pos < t.count ? t.symbols[pos] : 0;
}
