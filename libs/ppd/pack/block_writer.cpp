#include "libs/ppd/pack/block_writer.h"

#include "libs/ppd/pack/huffman_encode.h"
#include "libs/ppd/pack/symbol_codes.h"
#include "libs/ppd/unrarlib/rar20_tables.h"

#include <cstring>

namespace ppd_pack {

namespace {

using namespace rar20;

unsigned tableSize(const Block& block) { return block.audio ? kAudioSymbols * block.channels : kLzTableSize; }

void append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// Code lengths of every alphabet of the block, laid out as the decoder reads them.
std::vector<std::uint8_t> chooseLengths(const Block& block) {
    std::vector<std::uint8_t> lengths;
    if (block.audio) {
        std::vector<std::vector<std::uint32_t>> freq(block.channels, std::vector<std::uint32_t>(kAudioSymbols, 0));
        unsigned channel = block.startChannel;
        for (const std::uint8_t error : block.errors) {
            freq[channel][error]++;
            if (++channel == block.channels) channel = 0;
        }
        // The block may end in any channel's table switch.
        for (auto& f : freq) {
            f[kAudioNewTables]++;
            append(lengths, buildCodeLengths(f, 15));
        }
        return lengths;
    }
    SymbolStatistics stats;
    for (const LzSymbol& s : block.symbols) stats.add(s);
    stats.main[kNewTables]++;
    append(lengths, buildCodeLengths(stats.main, 15));
    append(lengths, buildCodeLengths(stats.distance, 15));
    append(lengths, buildCodeLengths(stats.repeat, 15));
    return lengths;
}

// One item of the code-length stream: symbol 0..18 with its extra bits.
struct LengthCode {
    std::uint8_t symbol;
    std::uint8_t extra;
    std::uint8_t extraBits;
};

std::vector<LengthCode> codeLengthStream(const std::vector<std::uint8_t>& lengths, const std::uint8_t* old) {
    std::vector<LengthCode> codes;
    const std::size_t n = lengths.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t len = lengths[i];
        std::size_t run = 1;
        while (i + run < n && lengths[i + run] == len) ++run;
        if (len == 0 && run >= 3) {
            if (run >= 11) {
                const std::size_t take = run > 138 ? 138 : run;
                codes.push_back({18, static_cast<std::uint8_t>(take - 11), 7});
                i += take;
            } else {
                codes.push_back({17, static_cast<std::uint8_t>(run - 3), 3});
                i += run;
            }
            continue;
        }
        // A run of the length just sent repeats it; the first of a run is sent as a delta.
        if (i > 0 && lengths[i - 1] == len && run >= 3) {
            const std::size_t take = run > 6 ? 6 : run;
            codes.push_back({16, static_cast<std::uint8_t>(take - 3), 2});
            i += take;
            continue;
        }
        codes.push_back({static_cast<std::uint8_t>((len - old[i]) & 0xF), 0, 0});
        ++i;
    }
    return codes;
}

void putSymbol(BitWriter& out, const std::vector<std::uint8_t>& lengths, const std::vector<std::uint16_t>& codes,
               std::size_t offset, unsigned symbol) {
    out.put(codes[offset + symbol], lengths[offset + symbol]);
}

// Canonical codes of each alphabet of the block, concatenated like the lengths.
std::vector<std::uint16_t> canonicalCodesPerAlphabet(const Block& block) {
    std::vector<unsigned> sizes;
    if (block.audio)
        sizes.assign(block.channels, kAudioSymbols);
    else
        sizes = {kLiteralSymbols, kDistanceSymbols, kRepeatSymbols};
    std::vector<std::uint16_t> codes;
    std::size_t offset = 0;
    for (const unsigned size : sizes) {
        const std::vector<std::uint8_t> slice(block.lengths.begin() + static_cast<std::ptrdiff_t>(offset),
                                              block.lengths.begin() + static_cast<std::ptrdiff_t>(offset + size));
        const std::vector<std::uint16_t> part = canonicalCodes(slice);
        codes.insert(codes.end(), part.begin(), part.end());
        offset += size;
    }
    return codes;
}

}  // namespace

void writeTables(BitWriter& out, Block& block, TableState& tables) {
    if (block.lengths.empty()) block.lengths = chooseLengths(block);
    const unsigned size = tableSize(block);
    const bool keep = size == tables.lastSize;
    if (!keep) std::memset(tables.oldTable, 0, sizeof tables.oldTable);

    out.put(block.audio ? 1 : 0, 1);
    out.put(keep ? 1 : 0, 1);
    if (block.audio) out.put(block.channels - 1, 2);

    const std::vector<LengthCode> stream = codeLengthStream(block.lengths, tables.oldTable);
    std::vector<std::uint32_t> freq(kCodeLengthSymbols, 0);
    for (const LengthCode& c : stream) freq[c.symbol]++;
    const std::vector<std::uint8_t> clLengths = buildCodeLengths(freq, 15);
    const std::vector<std::uint16_t> clCodes = canonicalCodes(clLengths);
    for (const std::uint8_t len : clLengths) out.put(len, 4);
    for (const LengthCode& c : stream) {
        out.put(clCodes[c.symbol], clLengths[c.symbol]);
        out.put(c.extra, c.extraBits);
    }

    std::memset(tables.oldTable, 0, sizeof tables.oldTable);
    std::memcpy(tables.oldTable, block.lengths.data(), block.lengths.size());
    tables.lastSize = size;
}

void writeBlockSymbols(BitWriter& out, const Block& block) {
    const std::vector<std::uint16_t> codes = canonicalCodesPerAlphabet(block);
    if (block.audio) {
        unsigned channel = block.startChannel;
        for (const std::uint8_t error : block.errors) {
            putSymbol(out, block.lengths, codes, channel * kAudioSymbols, error);
            if (++channel == block.channels) channel = 0;
        }
        return;
    }
    constexpr std::size_t kDistanceOffset = kLiteralSymbols;
    constexpr std::size_t kRepeatOffset = kLiteralSymbols + kDistanceSymbols;
    for (const LzSymbol& s : block.symbols) {
        const SymbolParts p = splitSymbol(s);
        putSymbol(out, block.lengths, codes, 0, p.main);
        out.put(p.mainExtra, p.mainExtraBits);
        if (p.second == SymbolParts::Second::distance) {
            putSymbol(out, block.lengths, codes, kDistanceOffset, p.secondSymbol);
        } else if (p.second == SymbolParts::Second::repeat) {
            putSymbol(out, block.lengths, codes, kRepeatOffset, p.secondSymbol);
        }
        out.put(p.secondExtra, p.secondExtraBits);
    }
}

void writeTableSwitch(BitWriter& out, const Block& block) {
    const std::vector<std::uint16_t> codes = canonicalCodesPerAlphabet(block);
    if (block.audio)
        putSymbol(out, block.lengths, codes, block.endChannel() * kAudioSymbols, kAudioNewTables);
    else
        putSymbol(out, block.lengths, codes, 0, kNewTables);
}

void writeFiller(BitWriter& out, const Block& block) {
    const std::vector<std::uint16_t> codes = canonicalCodesPerAlphabet(block);
    const std::size_t offset = block.audio ? block.endChannel() * kAudioSymbols : 0;
    const unsigned avoid = block.audio ? kAudioNewTables : kNewTables;
    const unsigned count = block.audio ? kAudioSymbols : kLiteralSymbols;
    for (unsigned symbol = 0; symbol < count; ++symbol) {
        if (symbol != avoid && block.lengths[offset + symbol] != 0) {
            putSymbol(out, block.lengths, codes, offset, symbol);
            return;
        }
    }
}

}  // namespace ppd_pack
