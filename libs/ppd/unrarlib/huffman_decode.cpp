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
    // there; it never matters for these lengths. Limits never decrease, so
    // the prefixes of length len run from the first one at or above
    // limit[len - 1] to the last one below limit[len], each symbol of that
    // length taking 2^(kQuickBits - len) of them in order; the table is
    // filled run by run rather than searched prefix by prefix.
    constexpr unsigned kQuick = rar_decode_table::kQuickBits;
    // Static, so that the lambda below may use them uncaptured with every
    // compiler the release is built with (GCC 10 too).
    static constexpr unsigned kShift = 16 - kQuick;
    static constexpr std::uint32_t kPrefixes = 1u << kQuick;
    const auto firstPrefixAtOrAbove = [](std::uint32_t limit) {
        const std::uint32_t p = (limit + (1u << kShift) - 1) >> kShift;
        return p < kPrefixes ? p : kPrefixes;
    };
    std::uint32_t prefix = 0;
    for (unsigned len = 1; len <= kQuick; ++len) {
        const std::uint32_t end = firstPrefixAtOrAbove(t.limit[len]);
        const std::uint32_t run = 1u << (kQuick - len);
        // symbolAt's position of the run's first prefix; each run is whole
        // since the run's start and limit[len - 1] are multiples of it.
        std::uint32_t pos = t.start[len] + (((prefix << kShift) - t.limit[len - 1]) >> (16 - len));
        for (; prefix < end; prefix += run, ++pos) {
            const unsigned symbol = pos < t.count ? t.symbols[pos] : 0;
            const std::uint16_t entry = symbol < firstSlowSymbol ? static_cast<std::uint16_t>(symbol | len << 12) : 0;
            const std::uint32_t stop = prefix + run < end ? prefix + run : end;
            for (std::uint32_t p = prefix; p < stop; ++p) t.quick[p] = entry;
        }
        prefix = end > prefix ? prefix : end;
    }
    for (; prefix < kPrefixes; ++prefix) t.quick[prefix] = 0;
}
