#include "libs/ppd/pack/block_plan.h"

#include "libs/ppd/pack/huffman_encode.h"
#include "libs/ppd/pack/symbol_codes.h"
#include "libs/ppd/unrarlib/rar20_tables.h"

#include <algorithm>

namespace ppd_pack {

namespace {

constexpr std::size_t kLzBlockSymbols = 1u << 16;
constexpr std::size_t kAudioBlockBytes = 1u << 17;
constexpr std::uint32_t kSampleBytes = 1u << 18;
// Rough cost of sending one set of tables, for comparing codings.
constexpr std::uint64_t kTableBitsPerAlphabet = 400;

std::uint64_t entropyBits(const std::vector<std::uint32_t>& freq) {
    return codedBits(freq, buildCodeLengths(freq, 15));
}

std::uint64_t lzBits(const std::vector<LzSymbol>& symbols) {
    std::uint64_t total = 0;
    for (std::size_t start = 0; start < symbols.size(); start += kLzBlockSymbols) {
        const std::size_t stop = std::min(symbols.size(), start + kLzBlockSymbols);
        SymbolStatistics stats;
        for (std::size_t i = start; i < stop; ++i) total += stats.add(symbols[i]);
        total += entropyBits(stats.main) + entropyBits(stats.distance) + entropyBits(stats.repeat) +
                 3 * kTableBitsPerAlphabet;
    }
    return total;
}

struct AudioTrial {
    unsigned channels = 0;
    std::uint64_t bits = ~0ull;
    std::vector<std::uint8_t> errors;
    rar_audio_state audio[4];
    std::int32_t channelDelta = 0;
    unsigned currentChannel = 0;
    std::vector<unsigned> blockStartChannels;
};

// Runs the predictor over the member as the decoder will, block by block
// (each table switch may move the current channel back to 0).
AudioTrial tryAudio(const std::uint8_t* data, std::uint32_t begin, std::uint32_t end, const ParseState& state,
                    unsigned channels) {
    AudioTrial t;
    t.channels = channels;
    std::copy(std::begin(state.audio), std::end(state.audio), t.audio);
    t.channelDelta = state.channelDelta;
    t.currentChannel = state.currentChannel;
    t.errors.resize(end - begin);
    t.bits = 0;
    for (std::uint32_t start = begin; start < end || start == begin; start += kAudioBlockBytes) {
        const std::uint32_t stop = std::min<std::uint64_t>(end, std::uint64_t(start) + kAudioBlockBytes);
        if (t.currentChannel >= channels) t.currentChannel = 0;
        t.blockStartChannels.push_back(t.currentChannel);
        std::vector<std::vector<std::uint32_t>> freq(channels, std::vector<std::uint32_t>(257, 0));
        for (std::uint32_t pos = start; pos < stop; ++pos) {
            rar_audio_state& s = t.audio[t.currentChannel];
            const int predicted = rar_audio_predict(s, t.channelDelta);
            const std::uint8_t error = static_cast<std::uint8_t>(predicted - data[pos]);
            rar_audio_update(s, t.channelDelta, predicted, error);
            t.errors[pos - begin] = error;
            freq[t.currentChannel][error]++;
            if (++t.currentChannel == channels) t.currentChannel = 0;
        }
        for (auto& f : freq) t.bits += entropyBits(f) + kTableBitsPerAlphabet;
        if (stop >= end) break;
    }
    return t;
}

// Which coding a large member's first part clearly favours: -1 for LZ, 0 for
// no clear winner (both are then tried on the whole member), otherwise the
// multimedia channel count. Decides most big members without parsing twice.
int sampleChoice(const std::uint8_t* data, std::uint32_t begin, const ParseState& state, unsigned maxChain) {
    const std::uint32_t end = begin + kSampleBytes;
    MatchFinder finder(data + begin, kSampleBytes, maxChain);
    DistanceState distances = state.distances;
    std::vector<LzSymbol> symbols;
    parseLz(finder, data + begin, 0, kSampleBytes, distances, symbols);
    const std::uint64_t lzCost = lzBits(symbols);
    AudioTrial best;
    for (unsigned channels = 1; channels <= 4; ++channels) {
        AudioTrial trial = tryAudio(data, begin, end, state, channels);
        if (trial.bits < best.bits) best = std::move(trial);
    }
    if (best.bits * 10 < lzCost * 8) return static_cast<int>(best.channels);
    if (lzCost * 10 < best.bits * 8) return -1;
    return 0;
}

}  // namespace

std::vector<Block> planMember(MatchFinder& finder, const std::uint8_t* data, std::uint32_t begin, std::uint32_t end,
                              ParseState& state, bool allowAudio, unsigned maxChain) {
    // The multimedia mode only pays where LZ finds little to copy. A large
    // member is judged on its first part; a small one on the whole.
    AudioTrial best;
    int choice = 0;
    if (allowAudio && end - begin >= 2 * kSampleBytes) {
        choice = sampleChoice(data, begin, state, maxChain);
        if (choice > 0) best = tryAudio(data, begin, end, state, static_cast<unsigned>(choice));
    }

    const DistanceState before = state.distances;
    std::vector<LzSymbol> symbols;
    std::uint64_t lzCost = ~0ull;
    if (best.channels == 0) {
        symbols.reserve((end - begin) / 3 + 16);
        parseLz(finder, data, begin, end, state.distances, symbols);
        lzCost = lzBits(symbols);
        const std::uint64_t rawBits = std::uint64_t(end - begin) * 8;
        if (choice == 0 && allowAudio && end - begin >= 1024 && lzCost * 10 > rawBits * 4) {
            for (unsigned channels = 1; channels <= 4; ++channels) {
                AudioTrial trial = tryAudio(data, begin, end, state, channels);
                if (trial.bits < best.bits) best = std::move(trial);
            }
        }
    }

    std::vector<Block> blocks;
    if (best.channels != 0 && best.bits < lzCost) {
        state.distances = before;
        std::copy(std::begin(best.audio), std::end(best.audio), state.audio);
        state.channelDelta = best.channelDelta;
        state.currentChannel = best.currentChannel;
        for (std::size_t b = 0; b < best.blockStartChannels.size(); ++b) {
            Block block;
            block.audio = true;
            block.channels = best.channels;
            block.startChannel = best.blockStartChannels[b];
            const std::size_t start = b * kAudioBlockBytes;
            const std::size_t stop = std::min(best.errors.size(), start + kAudioBlockBytes);
            block.errors.assign(best.errors.begin() + static_cast<std::ptrdiff_t>(start),
                                best.errors.begin() + static_cast<std::ptrdiff_t>(stop));
            blocks.push_back(std::move(block));
        }
        return blocks;
    }

    for (std::size_t start = 0; start < symbols.size() || start == 0; start += kLzBlockSymbols) {
        Block block;
        const std::size_t stop = std::min(symbols.size(), start + kLzBlockSymbols);
        block.symbols.assign(symbols.begin() + static_cast<std::ptrdiff_t>(start),
                             symbols.begin() + static_cast<std::ptrdiff_t>(stop));
        blocks.push_back(std::move(block));
        if (stop >= symbols.size()) break;
    }
    return blocks;
}

}  // namespace ppd_pack
