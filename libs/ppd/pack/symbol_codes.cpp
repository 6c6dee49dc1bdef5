#include "libs/ppd/pack/symbol_codes.h"

#include "libs/ppd/unrarlib/rar20_tables.h"

#include <algorithm>
#include <iterator>

namespace ppd_pack {

namespace {

using namespace rar20;

unsigned lengthSlot(std::uint32_t value) {
    const auto* it = std::upper_bound(std::begin(kLengthBase), std::end(kLengthBase), value);
    return static_cast<unsigned>(it - std::begin(kLengthBase)) - 1;
}

unsigned distanceSlot(std::uint32_t value) {
    const auto* it = std::upper_bound(std::begin(kDistance.base), std::end(kDistance.base), value);
    return static_cast<unsigned>(it - std::begin(kDistance.base)) - 1;
}

}  // namespace

SymbolParts splitSymbol(const LzSymbol& s) {
    SymbolParts p;
    if (s.main <= kRepeatLast) {
        p.main = s.main;
        return p;
    }
    if (s.main < kFirstShortDistance) {
        p.main = s.main;
        const std::uint32_t bonus = (s.distance >= 0x101) + (s.distance >= 0x2000) + (s.distance >= 0x40000);
        const std::uint32_t coded = s.length - 2 - bonus;
        const unsigned slot = lengthSlot(coded);
        p.second = SymbolParts::Second::repeat;
        p.secondSymbol = slot;
        p.secondExtra = coded - kLengthBase[slot];
        p.secondExtraBits = kLengthBits[slot];
        return p;
    }
    if (s.main < kNewTables) {
        p.main = s.main;
        const unsigned slot = s.main - kFirstShortDistance;
        p.mainExtra = s.distance - 1 - kShortBase[slot];
        p.mainExtraBits = kShortBits[slot];
        return p;
    }
    const std::uint32_t bonus = (s.distance >= 0x2000) + (s.distance >= 0x40000);
    const std::uint32_t coded = s.length - 3 - bonus;
    const unsigned slot = lengthSlot(coded);
    p.main = kFirstLength + slot;
    p.mainExtra = coded - kLengthBase[slot];
    p.mainExtraBits = kLengthBits[slot];
    const unsigned dslot = distanceSlot(s.distance - 1);
    p.second = SymbolParts::Second::distance;
    p.secondSymbol = dslot;
    p.secondExtra = s.distance - 1 - kDistance.base[dslot];
    p.secondExtraBits = kDistance.bits[dslot];
    return p;
}

unsigned SymbolStatistics::add(const LzSymbol& symbol) {
    const SymbolParts p = splitSymbol(symbol);
    main[p.main]++;
    if (p.second == SymbolParts::Second::distance) distance[p.secondSymbol]++;
    if (p.second == SymbolParts::Second::repeat) repeat[p.secondSymbol]++;
    return p.mainExtraBits + p.secondExtraBits;
}

}  // namespace ppd_pack
