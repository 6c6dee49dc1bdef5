#include "libs/ppd/unrarlib/huffman_decode.h"

void rar_make_decode_table(const std::uint8_t* lengths, unsigned count, rar_decode_table& t, unsigned firstSlowSymbol) {
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

    // The quick table: for lengths up to kQuickBits every limit is a
    // multiple of 2^(16 - kQuickBits) or the cap 0xFFFF, which no value
    // reaches, so the first kQuickBits bits decide the length and the symbol
    // exactly as the limit search does. The value's lowest bit is cleared
    // there; it never matters for these lengths.
    constexpr unsigned kQuick = rar_decode_table::kQuickBits;
    for (std::uint32_t prefix = 0; prefix < (1u << kQuick); ++prefix) {
        const std::uint32_t value = prefix << (16 - kQuick);
        const unsigned len = rar_huffman_detail::codeLength(t, value);
        const unsigned symbol = rar_huffman_detail::symbolAt(t, value, len);
        t.quick[prefix] =
            len <= kQuick && symbol < firstSlowSymbol ? static_cast<std::uint16_t>(symbol | len << 12) : 0;
    }
}
