// The archive walk on hand-built archives: header variants, member search,
// failure reasons, and the debug log file.
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/unrarlib/debug_log.h"
#include "libs/ppd/unrarlib/unrarlib.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantor::test {
namespace {

// The log is created on the first call of the process, and only where a
// "temp" folder exists: start it before any test runs, in a folder of its own.
struct LogFolder {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "vantor-unrarlib-log";
    LogFolder() {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "temp");
        const auto previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        rar_log_start();
        std::filesystem::current_path(previous);
    }
};
const LogFolder logFolder;

class UnrarlibTest : public ::testing::Test {
protected:
    std::string write(const std::vector<std::uint8_t>& archive, const std::string& file = "a.rar") {
        return dir.write(file, textOf(archive));
    }
    TempDir dir;
};

TEST_F(UnrarlibTest, FindsMembersIgnoringCaseAndSeparators) {
    const std::string path = write(buildArchive(
        {storedMember("DATA\\IMAGES\\KAKE1.JPG", "jpeg bytes"), storedMember("data\\script.scr", "script")}));
    EXPECT_EQ(extractMember(path, "data/images/kake1.jpg"), "jpeg bytes");
    EXPECT_EQ(extractMember(path, "DATA\\SCRIPT.SCR"), "script");
}

TEST_F(UnrarlibTest, NameThatMatchesNothingFailsAfterTheWholeArchive) {
    const std::string path = write(buildArchive({storedMember("a.txt", "a"), storedMember("b.txt", "b")}));
    ReaderMessages messages;
    EXPECT_FALSE(extractMember(path, "c.txt"));
    EXPECT_TRUE(messages.contains("Error - couldn't extract >c.txt< and allocated 0 Bytes of unused memory!"));
}

TEST_F(UnrarlibTest, LargerMainHeaderIsSkipped) {
    const std::string path = write(buildArchive({storedMember("x.bin", "payload")}, false, 40));
    EXPECT_EQ(extractMember(path, "x.bin"), "payload");
}

TEST_F(UnrarlibTest, LongNameIsCutButTheNextBlockIsStillFound) {
    const std::string longName(300, 'n');
    const std::string path =
        write(buildArchive({storedMember(longName, "first"), storedMember("after.txt", "second")}));
    EXPECT_EQ(extractMember(path, "after.txt"), "second");
    EXPECT_EQ(extractMember(path, longName.substr(0, 259)), "first");
}

TEST_F(UnrarlibTest, DataStartsAfterTheWholeHeader) {
    // A file comment inside the header lies between the name and the data.
    RawMember m = storedMember("c.txt", "the data");
    m.header.extra = bytesOf("a comment of twenty-odd bytes");
    m.header.flags |= 0x0008;
    EXPECT_EQ(extractMember(write(buildArchive({m})), "c.txt"), "the data");
}

TEST_F(UnrarlibTest, EmptyMembersExtractWithLengthZero) {
    ppd_pack::PackOptions options;
    options.solid = true;
    options.password = "pw";
    const auto packed = ppd_pack::packArchive({{"empty", {}}, {"full", bytesOf("abc")}, {"empty2", {}}}, options);
    const std::string path = write(packed);
    EXPECT_EQ(extractMember(path, "empty", "pw"), "");
    EXPECT_EQ(extractMember(path, "empty2", "pw"), "");
    EXPECT_EQ(extractMember(write(buildArchive({storedMember("e", "")}), "b.rar"), "e"), "");
}

TEST_F(UnrarlibTest, DamagedMemberFailsWithTheCrcMessage) {
    const auto text = bytesOf(std::string(5000, 'x') + noise(3000, 3));
    auto archive = ppd_pack::packArchive({{"m", text}}, {});
    archive[archive.size() - 100] ^= 0x10;
    ReaderMessages messages;
    EXPECT_FALSE(extractMember(write(archive), "m"));
    EXPECT_TRUE(messages.contains("CRC32 error - file couldn't be decompressed correctly!"));
}

TEST_F(UnrarlibTest, SizesNoDataCouldHaveAreRefusedBeforeAllocating) {
    // A stored member promising more bytes than its data area holds, and a
    // packed one promising 4 GB from a few bytes.
    RawMember stored = storedMember("s", "short");
    stored.header.unpackedSize = 64;
    RawMember packed = storedMember("p", "tiny");
    packed.header.method = ppd_pack::kMethodNormal;
    packed.header.unpackedSize = 0xFFFFFFF0u;
    const std::string path = write(buildArchive({stored, packed}));
    for (const char* name : {"s", "p"}) {
        ReaderMessages messages;
        EXPECT_FALSE(extractMember(path, name));
        EXPECT_TRUE(messages.contains("Unpacked size impossible for the packed size - archive damaged!"));
    }
}

TEST_F(UnrarlibTest, PackSizePastAnySeekablePositionStillExtractsTheMember) {
    // The data is all there; only the next block's position is out of reach.
    RawMember m = storedMember("far", "five!");
    m.header.packSize = 0xFFFFFFF0u;
    EXPECT_EQ(extractMember(write(buildArchive({m})), "far"), "five!");
}

TEST_F(UnrarlibTest, HeaderWithoutDataAreaOwnsNoBytesOfTheNextBlock) {
    // Without the data-area flag the next header follows directly; its bytes
    // are not the member's data even when the CRC happens to match them.
    const RawMember next = storedMember("next", "hello");
    const auto nextHead = buildArchive({next});
    RawMember bare = storedMember("bare", textOf({nextHead.begin() + 20, nextHead.begin() + 25}));
    bare.header.flags &= static_cast<std::uint16_t>(~ppd_pack::kFlagLongBlock);
    bare.data.clear();
    const std::string path = write(buildArchive({bare, next}));
    EXPECT_FALSE(extractMember(path, "bare"));
    EXPECT_EQ(extractMember(path, "next"), "hello");
}

TEST_F(UnrarlibTest, MembersCutShortByTheFileEndFail) {
    // The headers are sound but the file ends inside the data: a stored
    // member cannot hold its size any more, a packed one loses its stream.
    auto stored = buildArchive({storedMember("s", std::string(100, 's'))});
    stored.resize(stored.size() - 10);
    ReaderMessages messages;
    EXPECT_FALSE(extractMember(write(stored), "s"));
    EXPECT_TRUE(messages.contains("Unpacked size impossible for the packed size - archive damaged!"));

    auto packed = ppd_pack::packArchive({{"p", bytesOf(std::string(3000, 'a') + noise(3000, 1))}}, {});
    packed.resize(packed.size() - 200);
    EXPECT_FALSE(extractMember(write(packed, "p.rar"), "p"));
    EXPECT_TRUE(messages.contains("CRC32 error - file couldn't be decompressed correctly!"));
}

TEST_F(UnrarlibTest, EncryptedMemberWithoutPasswordFails) {
    ppd_pack::PackOptions options;
    options.password = "secret";
    const std::string path = write(ppd_pack::packArchive({{"m", bytesOf("hidden text")}}, options));
    EXPECT_FALSE(extractMember(path, "m", ""));
    EXPECT_EQ(extractMember(path, "m", "secret"), "hidden text");
}

TEST_F(UnrarlibTest, OldCipherIsReportedAndNotApplied) {
    RawMember m = storedMember("v15", "plain");
    m.header.unpackVersion = 15;
    m.header.flags |= 0x0004;
    ReaderMessages messages;
    EXPECT_EQ(extractMember(write(buildArchive({m})), "v15", "pw"), "plain");
    EXPECT_TRUE(messages.contains("Old Crypt() not supported!"));
}

TEST_F(UnrarlibTest, UnknownVersionAndSubBlocksFail) {
    RawMember m = storedMember("v", "x");
    m.header.unpackVersion = 29;
    ReaderMessages messages;
    EXPECT_FALSE(extractMember(write(buildArchive({m})), "v"));
    EXPECT_TRUE(messages.contains("unknown compression method"));

    auto archive = buildArchive({});
    const std::uint8_t subBlock[] = {0, 0, 0x77, 0, 0, 7, 0};
    archive.insert(archive.end(), subBlock, subBlock + 7);
    const auto tail = buildArchive({storedMember("late", "x")});
    archive.insert(archive.end(), tail.begin() + 20, tail.end());
    EXPECT_FALSE(extractMember(write(archive, "s.rar"), "late"));
    EXPECT_TRUE(messages.contains("Sorry, sub-headers not supported."));
}

TEST_F(UnrarlibTest, OtherFilesAreNotArchives) {
    ReaderMessages messages;
    EXPECT_FALSE(extractMember(dir.write("old.rar", std::string("RE~^") + std::string(40, '\0')), "x"));
    EXPECT_TRUE(messages.contains("Attention: format as OLD detected! Can't handel archive!"));
    EXPECT_FALSE(extractMember(dir.write("text.rar", "just some text, no archive"), "x"));
    EXPECT_TRUE(messages.contains("Not a RAR file"));
    EXPECT_FALSE(extractMember(dir.file("missing.rar"), "x"));
    EXPECT_TRUE(messages.contains("Error opening file."));

    // The alternative signature is read like the RAR one.
    auto archive = buildArchive({storedMember("t", "tessel")});
    const std::string alt = "Tessel!";
    std::copy(alt.begin(), alt.end(), archive.begin());
    EXPECT_EQ(extractMember(write(archive, "alt.rar"), "t"), "tessel");
}

TEST_F(UnrarlibTest, DebugLogHasItsHeaderAndOneEntryPerMessage) {
    dir.enter();
    std::filesystem::create_directories("temp");
    EXPECT_FALSE(extractMember("nothing-here.rar", "x"));
    const std::string log = readFile("temp/debug_unrar.txt");
    EXPECT_NE(log.find(" ms (line "), std::string::npos);
    EXPECT_NE(log.find(" in libs/ppd/unrarlib):\n              - Error opening file.\n"), std::string::npos);

    const std::string start = readFile((logFolder.dir / "temp" / "debug_unrar.txt").string());
    EXPECT_EQ(start.rfind("Debug log of Tessel's RARFileLib\n~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~^~\n"
                          "(executable compiled on ",
                          0),
              0u);
}

}  // namespace
}  // namespace vantor::test

namespace vantor::test {
namespace {

struct Delivered {
    std::vector<std::pair<std::string, std::optional<std::string>>> members;
    static void take(const unrarlib_list_entry* e, const char* data, unsigned long length, void* context) {
        auto& self = *static_cast<Delivered*>(context);
        self.members.emplace_back(e->name, data ? std::optional<std::string>(std::string(data, length)) : std::nullopt);
    }
};

TEST(UnrarlibExtractAll, DecodesASolidArchiveInOnePass) {
    Delivered d;
    const std::string dir = std::string(VANTOR_TEST_DATA_DIR) + "/rar/";
    EXPECT_EQ(unrarlib_extract_all((dir + "zxtune_rar20_solid_m5.rar").c_str(), nullptr, &Delivered::take, &d), 2);
    ASSERT_EQ(d.members.size(), 2u);
    EXPECT_EQ(d.members[1].first, "p5_solid.bin");
    EXPECT_TRUE(d.members[1].second == readFile(dir + "expected/p.bin"));
}

TEST(UnrarlibExtractAll, ADamagedMemberDoesNotStopTheOthers) {
    TempDir dir;
    auto archive = ppd_pack::packArchive(
        {{"a", bytesOf(std::string(4000, 'a') + noise(500, 1))}, {"b", bytesOf(noise(3000, 2))}, {"c", bytesOf("c")}},
        {});
    // Damage b, a stored member in the middle.
    const std::string text = textOf(archive);
    archive[text.find(noise(3000, 2)) + 1000] ^= 1;
    Delivered d;
    EXPECT_EQ(unrarlib_extract_all(dir.write("d.rar", textOf(archive)).c_str(), "", &Delivered::take, &d), 2);
    ASSERT_EQ(d.members.size(), 3u);
    EXPECT_TRUE(d.members[0].second.has_value());
    EXPECT_FALSE(d.members[1].second.has_value());
    EXPECT_EQ(d.members[2].second, "c");
}

TEST(UnrarlibExtractAll, MembersSmallerAndLargerThanTheLastOneAllComeOutWhole) {
    // One output buffer serves every member: it must grow for a larger one
    // and never hand out bytes of an earlier, longer member.
    auto member = [](std::size_t size, std::uint32_t seed) {
        std::string bytes;
        const std::string piece = noise(3000, seed);
        while (bytes.size() < size) bytes += piece;
        bytes.resize(size);
        return bytes;
    };
    const std::vector<std::string> sizes = {member(10, 1), member(2200000, 2), member(100, 3), member(4300000, 4),
                                            member(3000, 5)};
    std::vector<ppd_pack::Member> members;
    for (std::size_t i = 0; i < sizes.size(); ++i) members.push_back({"m" + std::to_string(i), bytesOf(sizes[i])});
    ppd_pack::PackOptions options;
    options.password = "pw";
    TempDir dir;
    const std::string path = dir.write("grow.rar", textOf(ppd_pack::packArchive(members, options)));
    Delivered d;
    EXPECT_EQ(unrarlib_extract_all(path.c_str(), "pw", &Delivered::take, &d), 5);
    ASSERT_EQ(d.members.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_TRUE(d.members[i].second == sizes[i]) << "member " << i;
}

}  // namespace
}  // namespace vantor::test
