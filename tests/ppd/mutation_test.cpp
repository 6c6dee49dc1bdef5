// Damaged archives of every kind go through the reader: it may fail, but must
// never crash, touch memory outside its buffers or loop forever (the
// sanitizer build runs this). VANTOR_MUTATIONS sets the number of archives.
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/unrarlib/unrarlib.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>

namespace vantor::test {
namespace {

std::vector<std::vector<std::uint8_t>> seedArchives() {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "timeline " + std::to_string(i % 9) + " SIGNAL 15 20\n";
    std::vector<std::uint8_t> pcm;
    for (int i = 0; i < 6000; ++i) {
        const auto s = static_cast<std::int16_t>(8000 * std::sin(i * 0.05));
        pcm.push_back(static_cast<std::uint8_t>(s));
        pcm.push_back(static_cast<std::uint8_t>(s >> 8));
    }
    const std::vector<ppd_pack::Member> members = {
        {"a.txt", bytesOf(text)}, {"dir/b.bin", bytesOf(noise(700, 2))}, {"c.pcm", pcm}, {"d", {}}};
    std::vector<std::vector<std::uint8_t>> seeds;
    for (int variant = 0; variant < 5; ++variant) {
        ppd_pack::PackOptions o;
        o.solid = variant == 1 || variant == 3;
        o.store = variant == 4;
        if (variant >= 2) o.password = "pw";
        seeds.push_back(ppd_pack::packArchive(members, o));
    }
    const std::string dir = std::string(VANTOR_TEST_DATA_DIR) + "/rar/";
    for (const char* real :
         {"zxtune_rar20_solid_m5.rar", "rarfile_rar202_comment_psw.rar", "junrar_boat_audio_v20.rar"})
        seeds.push_back(bytesOf(readFile(dir + real)));
    return seeds;
}

void mutate(std::vector<std::uint8_t>& a, std::mt19937& rng) {
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % (n ? n : 1)); };
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !a.empty(); ++e) {
        switch (rng() % 6) {
        case 0: a[pick(a.size())] ^= static_cast<std::uint8_t>(1u << (rng() % 8)); break;
        case 1: a[pick(a.size())] = static_cast<std::uint8_t>(rng()); break;
        case 2: a.resize(pick(a.size() + 1)); break;
        case 3: {  // a header field: sizes, flags, versions near the start of a block
            const std::size_t at = pick(std::min<std::size_t>(a.size(), 200));
            for (int k = 0; k < 4 && at + static_cast<std::size_t>(k) < a.size(); ++k)
                a[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0xFF : rng());
            break;
        }
        case 4: {  // a run of damage inside the packed data
            const std::size_t at = pick(a.size());
            for (std::size_t k = at; k < std::min(a.size(), at + 1 + pick(64)); ++k)
                a[k] = static_cast<std::uint8_t>(rng());
            break;
        }
        default:
            a.insert(a.begin() + static_cast<std::ptrdiff_t>(pick(a.size())), static_cast<std::uint8_t>(rng()));
            break;
        }
    }
}

TEST(ReaderMutations, DamagedArchivesFailCleanly) {
    const char* env = std::getenv("VANTOR_MUTATIONS");
    const long iterations = env ? std::atol(env) : 1500;
    const auto seeds = seedArchives();
    const char* names[] = {
        "a.txt", "dir/b.bin", "c.pcm", "d", "p5_solid.bin", "FILE2.TXT", "BoatModernEnglish.wav", "LICENSE.txt"};
    TempDir dir;
    const std::string path = dir.file("m.rar");
    std::mt19937 rng(20260);
    long extracted = 0;
    for (long i = 0; i < iterations; ++i) {
        std::vector<std::uint8_t> archive = seeds[static_cast<std::size_t>(i) % seeds.size()];
        mutate(archive, rng);
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
        }
        const char* name = names[rng() % (sizeof names / sizeof *names)];
        if (extractMember(path, name, rng() % 2 ? "pw" : "password")) ++extracted;
        if (i % 8 == 0) {
            unrarlib_list_entry* first = nullptr;
            unrarlib_list(path.c_str(), &first);
            unrarlib_free_list(first);
        } else if (i % 8 == 1) {
            unrarlib_extract_all(path.c_str(), "pw", nullptr, nullptr);
        }
    }
    // Some mutations leave the wanted member intact; all the rest must fail.
    RecordProperty("extracted", static_cast<int>(extracted));
    SUCCEED();
}

}  // namespace
}  // namespace vantor::test
