// How an LZ symbol is spelled in the RAR 2.0 stream: a main symbol, possibly
// extra bits, and possibly a second symbol (distance or repeat length) with
// its own extra bits.
#pragma once

#include "libs/ppd/pack/lz_parser.h"

#include <cstdint>
#include <vector>

namespace ppd_pack {

struct SymbolParts {
    unsigned main = 0;
    std::uint32_t mainExtra = 0;
    unsigned mainExtraBits = 0;
    enum class Second { none, distance, repeat } second = Second::none;
    unsigned secondSymbol = 0;
    std::uint32_t secondExtra = 0;
    unsigned secondExtraBits = 0;
};

SymbolParts splitSymbol(const LzSymbol& symbol);

// Symbol counts of one LZ block.
struct SymbolStatistics {
    std::vector<std::uint32_t> main = std::vector<std::uint32_t>(298, 0);
    std::vector<std::uint32_t> distance = std::vector<std::uint32_t>(48, 0);
    std::vector<std::uint32_t> repeat = std::vector<std::uint32_t>(28, 0);
    // Counts the symbol; returns the extra bits it needs.
    unsigned add(const LzSymbol& symbol);
};

}  // namespace ppd_pack
