// Real RAR 2.x archives made by other archivers: every member extracts byte
// for byte, whatever method, solid or multimedia mode or cipher made it.
#include "libs/ppd/unrarlib/unrarlib.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

const std::string kDir = std::string(VANTOR_TEST_DATA_DIR) + "/rar/";

struct Sample {
    const char* archive;
    const char* member;
    const char* password;
    const char* expected;
};

const Sample kSamples[] = {
    {"rarfile_rar20_unix_owner.rar", "file.txt", nullptr, "file.txt"},
    {"rarfile_rar202_comment_nopsw.rar", "FILE1.TXT", nullptr, "FILE1.TXT"},
    {"rarfile_rar202_comment_nopsw.rar", "file2.txt", nullptr, "FILE2.TXT"},
    {"rarfile_rar202_comment_psw.rar", "FILE1.TXT", "password", "FILE1.TXT"},
    {"rarfile_rar202_comment_psw.rar", "FILE2.TXT", "password", "FILE2.TXT"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "p0.bin", nullptr, "p.bin"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "p1.bin", nullptr, "p.bin"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "p2.bin", nullptr, "p.bin"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "p3.bin", nullptr, "p.bin"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "p4.bin", nullptr, "p.bin"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "p5.bin", nullptr, "p.bin"},
    {"zxtune_rar20_m0_to_m5_mm.rar", "pMM.bin", nullptr, "p.bin"},
    {"zxtune_rar20_solid_m5.rar", "p5.bin", nullptr, "p.bin"},
    {"zxtune_rar20_solid_m5.rar", "p5_solid.bin", nullptr, "p.bin"},
    {"junrar_boat_audio_v20.rar", "BoatModernEnglish.wav", nullptr, "BoatModernEnglish.wav"},
    {"junrar_boat_audio_v20.rar", "LICENSE.txt", nullptr, "LICENSE.txt"},
};

TEST(RarSamples, EveryMemberExtractsByteForByte) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(std::string(s.archive) + " " + s.member);
        const auto bytes = extractMember(kDir + s.archive, s.member, s.password);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(*bytes, readFile(kDir + "expected/" + s.expected));
    }
}

TEST(RarSamples, WrongOrMissingPasswordFailsTheCrcCheck) {
    for (const char* password : {"wrong", "", static_cast<const char*>(nullptr)}) {
        ReaderMessages messages;
        EXPECT_FALSE(extractMember(kDir + "rarfile_rar202_comment_psw.rar", "FILE2.TXT", password));
        EXPECT_TRUE(messages.contains("CRC32 error - file couldn't be decompressed correctly!"));
    }
}

TEST(RarSamples, HeadersWithCommentsAreNotReportedBroken) {
    ReaderMessages messages;
    ASSERT_TRUE(extractMember(kDir + "rarfile_rar202_comment_nopsw.rar", "FILE2.TXT"));
    EXPECT_FALSE(messages.contains("file header broken"));
}

TEST(RarSamples, ListingShowsEveryHeaderAndStopsAtASubBlock) {
    unrarlib_list_entry* first = nullptr;
    ASSERT_EQ(unrarlib_list((kDir + "zxtune_rar20_m0_to_m5_mm.rar").c_str(), &first), 7);
    unsigned expectedMethod = 0x30;
    int n = 0;
    for (const unrarlib_list_entry* e = first; e; e = e->next, ++n) {
        EXPECT_EQ(e->unpackedSize, 16384u);
        EXPECT_EQ(e->unpackVersion, 20u);
        EXPECT_EQ(e->method, n < 6 ? expectedMethod++ : 0x33u);
    }
    EXPECT_STREQ(first->next->next->next->next->next->next->name, "pMM.bin");
    unrarlib_free_list(first);

    ReaderMessages messages;
    ASSERT_EQ(unrarlib_list((kDir + "rarfile_rar20_unix_owner.rar").c_str(), &first), 1);
    EXPECT_EQ(first->hostOs, 3u);
    EXPECT_TRUE(messages.contains("Sorry, sub-headers not supported."));
    unrarlib_free_list(first);
}

}  // namespace
}  // namespace vantor::test
