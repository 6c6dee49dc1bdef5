// Feeds every reader thousands of damaged versions of valid files (fixed
// seed). Run under AddressSanitizer + UndefinedBehaviorSanitizer this finds
// out-of-bounds access, leaks and undefined behaviour; in any build it finds
// crashes and endless loops. The fields that give the image's dimensions are
// left intact so that no case asks for gigabytes; everything else, including
// the depth, palette, code and packet bytes, is fair game.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vantor::test {
namespace {

constexpr int kMutationsPerSeedFile = 2500;

// VANTOR_MUTATION_SEED picks another fixed sequence and VANTOR_MUTATION_SCALE
// multiplies the count, for longer hunts by hand; CI runs the defaults.
std::uint64_t seedOffset() {
    const char* v = std::getenv("VANTOR_MUTATION_SEED");
    return v ? std::strtoull(v, nullptr, 10) * 7919u : 0u;
}
int scale() {
    const char* v = std::getenv("VANTOR_MUTATION_SCALE");
    const int n = v ? std::atoi(v) : 1;
    return n > 0 ? n : 1;
}

struct SeedFile {
    std::string bytes;
    std::vector<std::pair<std::size_t, std::size_t>> frozen;  // [begin, end) byte ranges kept intact
};

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 16);
    }
    std::string mutate(const SeedFile& seed) {
        std::string out = seed.bytes;
        auto frozen = [&](std::size_t at) {
            for (const auto& r : seed.frozen)
                if (at >= r.first && at < r.second) return true;
            return false;
        };
        const int edits = 1 + next() % 8;
        for (int e = 0; e < edits && !out.empty(); ++e) {
            const std::size_t at = next() % out.size();
            if (frozen(at)) continue;
            switch (next() % 5) {
            case 0: out[at] = static_cast<char>(next()); break;
            case 1: out[at] = static_cast<char>(out[at] ^ (1 << (next() % 8))); break;
            case 2: out[at] = '\xFF'; break;
            case 3: out[at] = '\0'; break;
            default: {  // a short run of one value
                const std::size_t len = 1 + next() % 16;
                const char v = static_cast<char>(next());
                for (std::size_t i = at; i < out.size() && i < at + len; ++i)
                    if (!frozen(i)) out[i] = v;
            }
            }
        }
        if (next() % 4 == 0) out.resize(next() % (out.size() + 1));
        return out;
    }

private:
    std::uint64_t state_;
};

// Rewriting one file thousands of times is slow on a disk that discards freed
// blocks; a memory file system makes the run take seconds instead of minutes.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = "/dev/shm/vantor-mutation-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    // A path for `name`, in memory when possible, else in the test's TempDir.
    std::string file(const TempDir& fallback, const char* name) const {
        return path_.empty() ? fallback.file(name) : path_ + "/" + name;
    }

private:
    std::string path_;
};

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ReaderMutation : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_verbose_off();
    }
    void TearDown() override { kpx_verbose_on(); }

    // Loads every mutation; a record that comes back must be self-consistent.
    void run(const std::vector<SeedFile>& seeds, const char* name, kpximage* (*reader)(const char*),
             std::uint64_t seed) {
        Mutator mutator(seed + seedOffset());
        const std::string path = scratch.file(dir, name);
        int loaded = 0;
        for (const SeedFile& s : seeds) {
            for (int i = 0; i < kMutationsPerSeedFile * scale(); ++i) {
                const std::string bytes = mutator.mutate(s);
                writeBytes(path, bytes);
                KpxPtr img(reader(path.c_str()));
                if (!img) {
                    ASSERT_NE(kpx_error_last(), nullptr);
                    continue;
                }
                ++loaded;
                // Touch every byte the record claims to own.
                unsigned sum = 0;
                for (std::size_t k = 0; k < kpx_image_size(img.get()); ++k) sum += img->image[k];
                for (std::size_t k = 0; k < static_cast<std::size_t>(img->colors) * 3; ++k) sum += img->palette[k];
                (void)sum;
            }
        }
        // The damage must not be so heavy that nothing loads.
        EXPECT_GT(loaded, 0);
        kpx_error_clear();
    }
    TempDir dir;
    ScratchDir scratch;
};

TEST_F(ReaderMutation, Pcx) {
    std::vector<SeedFile> seeds;
    for (int bpp : {8, 24}) {
        const Picture pic = testPicture(21, 13, bpp / 8, bpp);
        KpxPtr img(kpx_create(21, 13, static_cast<std::uint16_t>(bpp), bpp == 8 ? 256 : 0));
        std::memcpy(img->image, pic.pixels.data(), pic.pixels.size());
        const std::string path = dir.file("seed.pcx");
        ASSERT_EQ(kpx_save_pcx(path.c_str(), img.get()), 1);
        seeds.push_back({readFile(path), {{4, 12}, {65, 68}}});
    }
    run(seeds, "m.pcx", kpx_load_pcx, 1);
}

TEST_F(ReaderMutation, Gif) {
    std::vector<SeedFile> seeds;
    for (int variant = 0; variant < 3; ++variant) {
        GifSpec spec;
        spec.graphicControl = variant == 1;
        spec.tableSizeCode = variant == 2 ? 3 : 7;
        spec.minCodeSize = variant == 2 ? 4 : 8;
        const int colours = 2 << spec.tableSizeCode;
        for (int f = 0; f < (variant == 1 ? 2 : 1); ++f) {
            const Picture pic = testPicture(19, 11, 1, static_cast<std::uint32_t>(variant * 10 + f));
            GifFrame frame;
            frame.width = 19;
            frame.height = 11;
            frame.interlaced = variant == 2;
            for (std::uint8_t v : pic.pixels) frame.indices.push_back(static_cast<std::uint8_t>(v % colours));
            spec.frames.push_back(frame);
        }
        SeedFile seed{gifFile(spec), {}};
        // Keep the image descriptors' widths and heights.
        for (std::size_t at = 0; (at = seed.bytes.find(',', at)) != std::string::npos; ++at)
            if (at + 9 < seed.bytes.size() && seed.bytes[at + 5] == 19 && seed.bytes[at + 7] == 11)
                seed.frozen.push_back({at + 5, at + 9});
        ASSERT_FALSE(seed.frozen.empty());
        seeds.push_back(seed);
    }
    run(seeds, "m.gif", kpx_load_gif, 2);
}

TEST_F(ReaderMutation, Tga) {
    std::vector<SeedFile> seeds;
    struct Kind {
        int type, depth, alpha;
    } kinds[] = {{2, 24, 0}, {10, 32, 8}, {9, 8, 0}, {11, 8, 0}, {10, 16, 1}};
    for (const Kind& k : kinds) {
        TgaSpec spec;
        spec.type = k.type;
        spec.depth = k.depth;
        spec.alphaBits = k.alpha;
        if (k.type == 9) spec.map = gifPalette(256);
        const Picture pic = testPicture(17, 9, (k.depth + 7) / 8, static_cast<std::uint32_t>(k.type));
        seeds.push_back({tgaFile(spec, 17, 9, pic.pixels), {{12, 16}}});
    }
    run(seeds, "m.tga", kpx_load_tga, 3);
}

TEST_F(ReaderMutation, Jpeg) {
    std::vector<SeedFile> seeds;
    for (int variant = 0; variant < 3; ++variant) {
        const Picture pic = testPicture(24, 16, variant == 2 ? 1 : 3, static_cast<std::uint32_t>(variant));
        SeedFile seed{jpegFile(pic, 60, variant == 1), {}};
        // Keep the frame header's height and width.
        for (std::size_t at = 0; at + 9 < seed.bytes.size(); ++at)
            if (static_cast<unsigned char>(seed.bytes[at]) == 0xFF &&
                (static_cast<unsigned char>(seed.bytes[at + 1]) == 0xC0 ||
                 static_cast<unsigned char>(seed.bytes[at + 1]) == 0xC2))
                seed.frozen.push_back({at + 5, at + 9});
        ASSERT_FALSE(seed.frozen.empty());
        seeds.push_back(seed);
    }
    // libjpeg's standard manager reports each damaged file's warnings on stderr.
    testing::internal::CaptureStderr();
    run(seeds, "m.jpg", kpx_load_jpg, 4);
    testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace vantor::test
