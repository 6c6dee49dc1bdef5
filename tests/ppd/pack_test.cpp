// Archives written by the packer extract byte for byte with our reader and
// with an independent RAR extractor (Debian's unar, when installed), across
// storing, compression, solid streams, multimedia mode and the cipher.
#include "libs/ppd/pack/huffman_encode.h"
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/unrarlib/cipher.h"
#include "libs/ppd/unrarlib/unrarlib.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vantor::test {
namespace {

using ppd_pack::Member;
using ppd_pack::PackOptions;

// Two tones with a little noise, as recorded sound has (it never repeats
// exactly, so LZ finds little to copy).
std::vector<std::uint8_t> pcmStereo(std::size_t frames) {
    std::vector<std::uint8_t> out;
    std::uint32_t noise = 7;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        for (const double f : {440.0, 660.0}) {
            noise = noise * 1664525u + 1013904223u;
            const auto s =
                static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * f * t) + 3000 * std::sin(2 * M_PI * 97 * t) +
                                          static_cast<double>(noise >> 27) - 16);
            out.push_back(static_cast<std::uint8_t>(s & 0xFF));
            out.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
        }
    }
    return out;
}

std::vector<Member> mixedMembers() {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i * 7 % 13) + ": the quick brown fox\r\n";
    return {
        {"data/empty.txt", {}},
        {"data/one.bin", {0x5A}},
        {"data/script.scr", bytesOf(text)},
        {"data/images/noise.raw", bytesOf(noise(70000, 1))},
        {"data/sound/tone.pcm", pcmStereo(30000)},
        {"data/again.txt", bytesOf(text.substr(100, 5000))},
    };
}

// Extracts with unar into a folder; empty when unar is not installed.
bool unarExtract(const std::string& archive, const std::string& folder, const std::string& password) {
    std::string command = std::string(VANTOR_UNAR_PATH) + " -q -f -D -o '" + folder + "'";
    if (!password.empty()) command += " -p '" + password + "'";
    command += " '" + archive + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

struct Mode {
    const char* name;
    bool solid;
    bool store;
    const char* password;
};

class PackRoundTrip : public ::testing::TestWithParam<Mode> {
protected:
    PackOptions options() const {
        PackOptions o;
        o.solid = GetParam().solid;
        o.store = GetParam().store;
        o.password = GetParam().password;
        return o;
    }
    void check(const std::vector<Member>& members) {
        const std::string archive = dir.write("t.rar", textOf(ppd_pack::packArchive(members, options())));
        for (const Member& m : members) {
            SCOPED_TRACE(m.name);
            const auto bytes = extractMember(archive, m.name, GetParam().password);
            ASSERT_TRUE(bytes.has_value());
            ASSERT_TRUE(*bytes == textOf(m.data)) << "our reader differs";
        }
        if (std::strlen(VANTOR_UNAR_PATH) == 0) GTEST_SKIP() << "unar not installed: independent check skipped";
        const std::string out = dir.file("unar");
        std::filesystem::remove_all(out);
        ASSERT_TRUE(unarExtract(archive, out, GetParam().password));
        for (const Member& m : members) {
            SCOPED_TRACE(m.name);
            // Backslash separators in the archive became folders.
            ASSERT_TRUE(readFile(out + "/" + m.name) == textOf(m.data)) << "unar differs";
        }
    }
    TempDir dir;
};

TEST_P(PackRoundTrip, MixedMembers) { check(mixedMembers()); }

TEST_P(PackRoundTrip, HundredsOfSmallMembers) {
    std::vector<Member> members;
    for (int i = 0; i < 300; ++i) {
        std::string body = "member " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i % 17), 'z');
        if (i % 50 == 0) body.clear();
        members.push_back({"many/f" + std::to_string(i) + ".txt", bytesOf(body)});
    }
    check(members);
}

TEST_P(PackRoundTrip, CopiesAtTheEdgeOfTheWindow) {
    // A 1 MB block seen again: the copies reach back almost the whole window.
    const std::string block = noise(0xFFF00, 9);
    const std::string data = block + block.substr(0, 70000) + "|" + block.substr(500000, 1000);
    check({{"far.bin", bytesOf(data)}, {"after.bin", bytesOf(block.substr(3, 200000))}});
}

INSTANTIATE_TEST_SUITE_P(Modes, PackRoundTrip,
                         ::testing::Values(Mode{"stored", false, true, ""}, Mode{"normal", false, false, ""},
                                           Mode{"solid", true, false, ""}, Mode{"encrypted", false, false, "quorbel"},
                                           Mode{"stored_encrypted", false, true, "p"},
                                           Mode{"solid_encrypted", true, false, "a longer pass phrase, 33 bytes!!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pack, CompressesAndPicksMultimediaForSound) {
    PackOptions lzOnly;
    lzOnly.allowAudio = false;
    // A small member is judged whole, a large one on its first part.
    for (const std::size_t frames : {40000u, 150000u}) {
        const auto pcm = pcmStereo(frames);
        const auto withAudio = ppd_pack::packArchive({{"s", pcm}}, {});
        const auto without = ppd_pack::packArchive({{"s", pcm}}, lzOnly);
        EXPECT_LT(withAudio.size() * 10, without.size() * 9) << frames;
    }

    std::string text;
    for (int i = 0; i < 2000; ++i) text += "effect " + std::to_string(i % 32) + " start\n";
    EXPECT_LT(ppd_pack::packArchive({{"t", bytesOf(text)}}, {}).size(), text.size() / 5);
}

TEST(Pack, IncompressibleMembersAreStored) {
    TempDir dir;
    const auto data = bytesOf(noise(5000, 4));
    const std::string path = dir.write("r.rar", textOf(ppd_pack::packArchive({{"r", data}}, {})));
    unrarlib_list_entry* first = nullptr;
    ASSERT_EQ(unrarlib_list(path.c_str(), &first), 1);
    EXPECT_EQ(first->method, 0x30u);
    EXPECT_EQ(first->packSize, 5000u);
    unrarlib_free_list(first);
}

TEST(Pack, RefusesNamesTheReaderCannotFind) {
    EXPECT_THROW(ppd_pack::packArchive({{std::string(260, 'x'), {}}}, {}), std::invalid_argument);
    EXPECT_THROW(ppd_pack::packArchive({{"", {}}}, {}), std::invalid_argument);
}

TEST(HuffmanCodes, LengthsStayWithinFifteenBitsAndFormACompleteCode) {
    // Fibonacci frequencies give the deepest possible Huffman tree.
    std::vector<std::uint32_t> freq(40);
    std::uint32_t a = 1, b = 1;
    for (auto& f : freq) {
        f = a;
        const std::uint32_t next = std::min<std::uint64_t>(a + b, 0xFFFFFFFFu);
        a = b;
        b = next;
    }
    for (const auto& frequencies : {freq, std::vector<std::uint32_t>{0, 0, 7, 0}, std::vector<std::uint32_t>(298, 0)}) {
        const auto lengths = ppd_pack::buildCodeLengths(frequencies, 15);
        double kraft = 0;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            EXPECT_LE(lengths[i], 15);
            if (frequencies[i]) {
                EXPECT_GT(lengths[i], 0);
            }
            if (lengths[i]) kraft += std::ldexp(1.0, -lengths[i]);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0);
    }
}

TEST(Cipher, BlocksAreChainedThroughTheKey) {
    std::uint8_t plain[32];
    for (int i = 0; i < 32; ++i) plain[i] = static_cast<std::uint8_t>(i * 11);
    std::uint8_t data[32];
    std::memcpy(data, plain, 32);
    rar_cipher enc;
    rar_set_keys(enc, "quorbel");
    rar_encrypt_block(enc, data);
    rar_encrypt_block(enc, data + 16);

    rar_cipher dec;
    rar_set_keys(dec, "quorbel");
    std::uint8_t copy[32];
    std::memcpy(copy, data, 32);
    rar_decrypt_block(dec, copy);
    rar_decrypt_block(dec, copy + 16);
    EXPECT_EQ(std::memcmp(copy, plain, 32), 0);

    // The second block alone, with a fresh key, does not decrypt.
    rar_cipher fresh;
    rar_set_keys(fresh, "quorbel");
    std::memcpy(copy, data + 16, 16);
    rar_decrypt_block(fresh, copy);
    EXPECT_NE(std::memcmp(copy, plain + 16, 16), 0);
}

TEST(Cipher, RunsOfBlocksDecryptAsBlockByBlock) {
    // Several blocks are decrypted side by side (in fours, and in sixteens
    // with wide vector instructions); any count must give what decrypting
    // one block after the other gives, and leave the same key.
    for (std::size_t count : {1, 2, 3, 4, 5, 7, 8, 13, 15, 16, 17, 31, 32, 33, 50, 64, 4096}) {
        std::vector<std::uint8_t> data(16 * count);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 29 + count);
        rar_cipher one, many;
        rar_set_keys(one, "quorbel");
        rar_set_keys(many, "quorbel");
        std::vector<std::uint8_t> expected = data;
        for (std::size_t b = 0; b < count; ++b) rar_decrypt_block(one, expected.data() + 16 * b);
        rar_decrypt_blocks(many, data.data(), count);
        EXPECT_EQ(data, expected) << count << " blocks";
        EXPECT_EQ(std::memcmp(one.key, many.key, sizeof one.key), 0) << count << " blocks";
    }
}

}  // namespace
}  // namespace vantor::test
