// The decompressor on symbol streams written symbol by symbol, so each case
// exercises exactly one rule of the stream: length bonuses of far copies, the
// repeat symbol, old distances, multimedia channels, solid continuation.
#include "libs/ppd/pack/block_writer.h"
#include "libs/ppd/pack/rar20_encoder.h"
#include "libs/ppd/unrarlib/audio_predictor.h"
#include "libs/ppd/unrarlib/crc32.h"
#include "libs/ppd/unrarlib/huffman_decode.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vantor::test {
namespace {

using ppd_pack::Block;
using ppd_pack::LzSymbol;

// Packed data of one member made of the given blocks.
std::vector<std::uint8_t> encodeBlocks(std::vector<Block> blocks) {
    std::vector<std::uint8_t> packed;
    ppd_pack::BitWriter out(packed);
    ppd_pack::TableState tables;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (b > 0) ppd_pack::writeTableSwitch(out, blocks[b - 1]);
        ppd_pack::writeTables(out, blocks[b], tables);
        ppd_pack::writeBlockSymbols(out, blocks[b]);
    }
    out.flush();
    return packed;
}

RawMember packedMember(const std::string& name, const std::string& expected, std::vector<std::uint8_t> packed) {
    RawMember m;
    m.header.name = name;
    m.header.method = ppd_pack::kMethodNormal;
    m.header.unpackedSize = static_cast<std::uint32_t>(expected.size());
    m.header.fileCrc = rar_crc32_of(expected.data(), expected.size());
    m.header.packSize = static_cast<std::uint32_t>(packed.size());
    m.data = std::move(packed);
    return m;
}

// Applies a copy the plain way, as the expected output.
void copy(std::string& out, std::uint32_t length, std::uint32_t distance) {
    for (std::uint32_t i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
}

class Unpack20Test : public ::testing::Test {
protected:
    std::optional<std::string> roundTrip(const std::string& expected, std::vector<Block> blocks) {
        const auto archive = buildArchive({packedMember("m", expected, encodeBlocks(std::move(blocks)))});
        return extractMember(dir.write("m.rar", textOf(archive)), "m");
    }
    TempDir dir;
};

Block literals(const std::string& bytes) {
    Block b;
    for (unsigned char c : bytes) b.symbols.push_back({c, 0, 0});
    return b;
}

TEST_F(Unpack20Test, FarCopiesGetTheirLengthBonus) {
    // Distances from 0x2000 add one to the coded length, from 0x40000 two;
    // copies with one of the last four distances also add one from 0x101.
    std::string expected = noise(0x40000 + 100, 7);
    Block block = literals(expected);
    const std::vector<LzSymbol> copies = {
        {270, 4, 0x2000},  {270, 5, 0x2000},    {270, 5, 0x40000},
        {270, 9, 0x3FFFF}, {270, 200, 0x40032}, {258, 5, 0x3FFFF},  // second most recent distance
        {260, 7, 0x40000},                                          // fourth most recent
        {270, 3, 0x101},   {257, 3, 0x101},                         // most recent, one bonus
        {270, 3, 0x100},   {257, 2, 0x100},                         // below 0x101: no bonus
    };
    for (const LzSymbol& c : copies) {
        block.symbols.push_back(c);
        copy(expected, c.length, c.distance);
    }
    EXPECT_EQ(roundTrip(expected, {block}), expected);
}

TEST_F(Unpack20Test, RepeatSymbolRightAfterACopyRepeatsIt) {
    std::string expected = "abcdefghij";
    Block block = literals(expected);
    block.symbols.push_back({270, 7, 10});
    copy(expected, 7, 10);
    block.symbols.push_back({256, 7, 10});
    copy(expected, 7, 10);
    block.symbols.push_back({261, 2, 3});  // short distance
    copy(expected, 2, 3);
    block.symbols.push_back({256, 2, 3});
    copy(expected, 2, 3);
    EXPECT_EQ(roundTrip(expected, {block}), expected);
}

TEST_F(Unpack20Test, OverlappingCopyRepeatsAPattern) {
    // Distances below the length repeat a pattern; the copy runs byte by
    // byte, by runs of one byte or by words once the distance allows.
    std::string expected = "xyzuvwabcdefghij";
    Block block = literals(expected);
    for (std::uint32_t distance : {1u, 2u, 5u, 7u, 8u, 9u, 16u}) {
        block.symbols.push_back({270, 257, distance});
        copy(expected, 257, distance);
        block.symbols.push_back({270, 3, distance});  // shorter than a word
        copy(expected, 3, distance);
    }
    EXPECT_EQ(roundTrip(expected, {block}), expected);
}

TEST_F(Unpack20Test, CopiesAcrossTheWindowEdgeAndFromItsFarEnd) {
    // Past 1 MB the window has wrapped: copies whose destination or source
    // runs over its end, and copies from the far end of the window (the
    // source just ahead of the destination, the oldest bytes) must give the
    // bytes the plain definition gives.
    constexpr std::uint32_t kWindow = 0x100000;
    std::string expected = noise(kWindow - 10, 21);
    Block block = literals(expected);
    auto add = [&](std::uint32_t length, std::uint32_t distance) {
        block.symbols.push_back({270, static_cast<std::uint16_t>(length), distance});
        copy(expected, length, distance);
    };
    add(30, 50);  // the destination wraps
    add(40, 30);  // the source wraps
    for (std::uint32_t distance :
         {kWindow, kWindow - 3, kWindow - 5, kWindow - 8, kWindow - 9, kWindow - 20, kWindow - 300})
        add(100, distance);
    const std::string tail = noise(5000, 22);
    for (unsigned char c : tail) block.symbols.push_back({c, 0, 0});
    expected += tail;
    add(250, kWindow - 1);
    add(9, kWindow - 4000);
    EXPECT_EQ(roundTrip(expected, {block}), expected);
}

// Expected multimedia output, with one predictor per channel, computed here
// byte by byte from the channel sequence.
std::string predictChannels(const std::vector<std::uint8_t>& errors, unsigned channels, unsigned firstChannel,
                            rar_audio_state* states, std::int32_t& channelDelta) {
    std::string out;
    unsigned channel = firstChannel;
    for (std::uint8_t e : errors) {
        out.push_back(static_cast<char>(rar_decode_audio(states[channel], channelDelta, e)));
        channel = (channel + 1) % channels;
    }
    return out;
}

// The multimedia predictor as its definition states it, step by step: the
// deltas shifted at every byte and the eleven error sums added at every byte.
struct PlainPredictor {
    std::int32_t k[5] = {}, d[4] = {}, lastDelta = 0, lastChar = 0;
    std::uint32_t dif[11] = {}, byteCount = 0;

    std::uint8_t decode(std::int32_t& channelDelta, std::uint8_t error) {
        ++byteCount;
        d[3] = d[2];
        d[2] = d[1];
        d[1] = lastDelta - d[0];
        d[0] = lastDelta;
        const int predicted =
            ((8 * lastChar + k[0] * d[0] + k[1] * d[1] + k[2] * d[2] + k[3] * d[3] + k[4] * channelDelta) >> 3) & 0xFF;
        const std::int32_t value = predicted - error;
        const std::int32_t i = static_cast<std::int8_t>(error) * 8;
        const std::int32_t terms[11] = {i,        i - d[0], i + d[0], i - d[1],         i + d[1],        i - d[2],
                                        i + d[2], i - d[3], i + d[3], i - channelDelta, i + channelDelta};
        for (int n = 0; n < 11; ++n) dif[n] += static_cast<std::uint32_t>(std::abs(terms[n]));
        lastDelta = static_cast<std::int8_t>(value - lastChar);
        channelDelta = lastDelta;
        lastChar = value;
        if ((byteCount & 0x1F) == 0) {
            int best = 0;
            for (int n = 1; n < 11; ++n) {
                if (dif[n] < dif[best]) best = n;
            }
            for (auto& sum : dif) sum = 0;
            if (best > 0) {
                const int w = (best - 1) / 2;
                if (best & 1) {
                    if (k[w] >= -16) --k[w];
                } else if (k[w] < 16) {
                    ++k[w];
                }
            }
        }
        return static_cast<std::uint8_t>(value);
    }
};

TEST(AudioPredictor, GivesTheBytesOfItsStepByStepDefinition) {
    // Over many 32-byte periods, channel counts 1 to 4, error bytes from
    // small (weights drift slowly) to wild (deltas and weights at their
    // limits).
    for (unsigned channels = 1; channels <= 4; ++channels) {
        for (int spread : {3, 40, 256}) {
            PlainPredictor plain[4];
            rar_audio_state fast[4] = {};
            std::int32_t plainDelta = 0, fastDelta = 0;
            std::uint32_t seed = 12345u * channels + static_cast<std::uint32_t>(spread);
            for (int n = 0; n < 20000; ++n) {
                seed = seed * 1664525u + 1013904223u;
                const auto error = static_cast<std::uint8_t>((seed >> 16) % static_cast<std::uint32_t>(spread) -
                                                             static_cast<std::uint32_t>(spread / 2));
                const unsigned c = static_cast<unsigned>(n) % channels;
                const std::uint8_t want = plain[c].decode(plainDelta, error);
                const std::uint8_t got = rar_decode_audio(fast[c], fastDelta, error);
                ASSERT_EQ(got, want) << "channels " << channels << ", spread " << spread << ", byte " << n;
            }
        }
    }
}

// Decodes the 16-bit pattern `value` the way the stream definition does: the
// smallest length whose limit lies above it. Returns symbol | length << 12.
unsigned plainDecode(const rar_decode_table& t, unsigned value) {
    value &= 0xFFFE;
    unsigned len = 15;
    for (unsigned l = 1; l < 15; ++l) {
        if (value < t.limit[l]) {
            len = l;
            break;
        }
    }
    const unsigned pos = t.start[len] + ((value - t.limit[len - 1]) >> (16 - len));
    return (pos < t.count ? t.symbols[pos] : 0) | len << 12;
}

TEST(Crc32, LongAndShortRunsGiveTheBitByBitValue) {
    // Long runs are folded sixteen bytes at a time where the processor
    // allows; every length, start offset and running value must give what
    // the bit-by-bit definition gives.
    std::vector<std::uint8_t> data(70000);
    std::uint32_t seed = 7;
    for (auto& b : data) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    auto bitByBit = [](std::uint32_t crc, const std::uint8_t* p, std::size_t size) {
        while (size--) {
            crc ^= *p++;
            for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        return crc;
    };
    for (std::size_t size : {0, 1, 15, 16, 63, 64, 255, 256, 257, 319, 320, 1000, 4099, 69990}) {
        for (std::size_t offset : {0, 3}) {
            for (std::uint32_t running : {0xFFFFFFFFu, 0u, 0x12345678u}) {
                EXPECT_EQ(rar_crc32(running, data.data() + offset, size), bitByBit(running, data.data() + offset, size))
                    << size << " bytes at " << offset << ", running " << running;
            }
        }
    }
}

TEST(DecodeTable, QuickLookupGivesTheLimitSearchResultForEveryPattern) {
    // Complete codes, codes with gaps and over-full codes (as damaged data
    // sends them), with lengths up to 15 bits.
    std::vector<std::vector<std::uint8_t>> lengthSets;
    std::vector<std::uint8_t> lengths(298, 9);
    for (int i = 0; i < 100; ++i) lengths[i] = 8;
    for (int i = 0; i < 10; ++i) lengths[200 + i] = static_cast<std::uint8_t>(11 + i % 5);
    lengthSets.push_back(lengths);
    std::uint32_t seed = 99;
    for (int set = 0; set < 30; ++set) {
        for (auto& l : lengths) {
            seed = seed * 1664525u + 1013904223u;
            l = static_cast<std::uint8_t>((seed >> 24) % (set % 3 == 0 ? 16 : 6 + set % 10));
        }
        lengthSets.push_back(lengths);
    }
    for (const auto& set : lengthSets) {
        for (unsigned count : {19u, 28u, 48u, 257u, 298u}) {
            rar_decode_table table;
            rar_make_decode_table(set.data(), count, table, count == 257 ? 256u : ~0u);
            for (unsigned value = 0; value < 0x10000; ++value) {
                rar_bit_register bits;
                bits.bits = static_cast<std::uint64_t>(value) << 48;
                bits.count = 56;
                const unsigned symbol = rar_decode_symbol(bits, table);
                const unsigned want = plainDecode(table, value);
                ASSERT_EQ(symbol | (56 - bits.count) << 12, want) << "pattern " << value << ", " << count << " symbols";
                // Quick entries never give a symbol the caller left to the full decoder.
                const unsigned quick = table.quick[value >> (16 - rar_decode_table::kQuickBits)];
                if (count == 257) {
                    EXPECT_NE(quick & 0xFFF, 256u);
                }
            }
        }
    }
}

TEST_F(Unpack20Test, TwoChannelMultimediaAlternatesAndWraps) {
    Block audio;
    audio.audio = true;
    audio.channels = 2;
    for (int i = 0; i < 301; ++i) audio.errors.push_back(static_cast<std::uint8_t>((i * 37) ^ (i >> 2)));
    rar_audio_state states[4] = {};
    std::int32_t delta = 0;
    std::string expected = predictChannels(audio.errors, 2, 0, states, delta);
    // 301 bytes end after channel 0; the next block switches to LZ and back
    // to one channel, which starts over at channel 0.
    Block lz = literals("--");
    expected += "--";
    Block mono = audio;
    mono.channels = 1;
    mono.startChannel = 0;
    mono.errors.resize(100);
    expected += predictChannels(mono.errors, 1, 0, states, delta);
    EXPECT_EQ(roundTrip(expected, {audio, lz, mono}), expected);
}

TEST_F(Unpack20Test, SolidMemberCopiesFromThePreviousMember) {
    const std::string first = noise(50000, 11);
    const std::string second = first.substr(1000, 30000) + "tail";
    std::vector<std::uint8_t> stream = bytesOf(first + second);
    const auto packed = ppd_pack::compressMembers(stream, {50000, 30004}, true);
    // The second member is coded as copies out of the first one.
    EXPECT_LT(packed[1].size(), 200u);
    RawMember a = packedMember("a", first, packed[0]);
    RawMember b = packedMember("b", second, packed[1]);
    b.header.flags |= ppd_pack::kFlagSolid;
    const std::string path = dir.write("s.rar", textOf(buildArchive({a, b}, true)));
    EXPECT_EQ(extractMember(path, "b"), second);
    EXPECT_EQ(extractMember(path, "a"), first);
}

TEST_F(Unpack20Test, MatchPastTheMemberEndIsAnOverrun) {
    std::string expected = "abcd";
    Block block = literals(expected);
    block.symbols.push_back({270, 100, 4});
    ReaderMessages messages;
    const auto archive = buildArchive({packedMember("m", expected + "abcd", encodeBlocks({block}))});
    EXPECT_FALSE(extractMember(dir.write("o.rar", textOf(archive)), "m"));
    EXPECT_TRUE(messages.contains("Fatal! Buffer overrun during decompression!"));
}

TEST_F(Unpack20Test, StreamCutShortFailsInsteadOfInventingBytes) {
    const std::string expected = noise(20000, 5);
    auto packed = encodeBlocks({literals(expected)});
    packed.resize(packed.size() / 2);
    const auto archive = buildArchive({packedMember("m", expected, packed)});
    EXPECT_FALSE(extractMember(dir.write("c.rar", textOf(archive)), "m"));
}

}  // namespace
}  // namespace vantor::test
