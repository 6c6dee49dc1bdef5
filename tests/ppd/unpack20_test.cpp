// The decompressor on symbol streams written symbol by symbol, so each case
// exercises exactly one rule of the stream: length bonuses of far copies, the
// repeat symbol, old distances, multimedia channels, solid continuation.
#include "libs/ppd/pack/block_writer.h"
#include "libs/ppd/pack/rar20_encoder.h"
#include "libs/ppd/unrarlib/crc32.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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
        {270, 4, 0x2000},   {270, 5, 0x2000},      {270, 5, 0x40000}, {270, 9, 0x3FFFF},
        {270, 200, 0x40032}, {258, 5, 0x3FFFF},    // second most recent distance
        {260, 7, 0x40000},                          // fourth most recent
        {270, 3, 0x101},    {257, 3, 0x101},        // most recent, one bonus
        {270, 3, 0x100},    {257, 2, 0x100},        // below 0x101: no bonus
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
    std::string expected = "xy";
    Block block = literals(expected);
    block.symbols.push_back({270, 257, 2});
    copy(expected, 257, 2);
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
