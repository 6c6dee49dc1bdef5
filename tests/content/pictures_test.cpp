// The demo's pictures as the build packs them: each one read from the archive
// through the image cache, with the size, depth and properties the effects
// rely on; and the generator giving the same bytes again.
#include "runtime/startup_files.h"
#include "content/common/demo_look.h"
#include "content/images/picture_set.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "scene/format/scene_chunk_decoder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

const std::string kDemoDir = VANTOR_DEMO_DIR;

// Reads the packed archive the way the demo does, through one image cache.
class DemoPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kpx_verbose_off();
        ppd_set_archive((kDemoDir + "/" + kDemoFiles.archive).c_str(), kDemoFiles.password);
        cache = new ImageLibrary;
    }
    static void TearDownTestSuite() {
        delete cache;
        cache = nullptr;
        ppd_clear_archive();
        kpx_verbose_on();
    }
    // The record for a member path; fails the test when it cannot be read.
    static const kpximage* load(const std::string& path) {
        const kpximage* img = cache->getImage(path.c_str());
        EXPECT_NE(img, nullptr) << path << ": " << (kpx_error_last() ? kpx_error_last() : "");
        return img;
    }
    static ImageLibrary* cache;
};
ImageLibrary* DemoPictures::cache = nullptr;

int channels(const kpximage* img) { return static_cast<int>(kpx_bytes_per_pixel(img->bpp)); }

const unsigned char* pixel(const kpximage* img, int x, int y) {
    return img->image + (static_cast<std::size_t>(y) * img->width + x) * channels(img);
}

// Mean absolute difference over the colour channels of two columns.
double columnDifference(const kpximage* a, int xa, const kpximage* b, int xb) {
    double sum = 0;
    for (int y = 0; y < a->height; ++y)
        for (int c = 0; c < 3; ++c) sum += std::abs(pixel(a, xa, y)[c] - pixel(b, xb, y)[c]);
    return sum / (3.0 * a->height);
}

// The typical difference between neighbouring columns inside a picture.
double neighbourDifference(const kpximage* img) {
    double sum = 0;
    for (int x = 1; x < img->width; ++x) sum += columnDifference(img, x - 1, img, x);
    return sum / (img->width - 1);
}

double brightness(const unsigned char* p) { return (p[0] + p[1] + p[2]) / 3.0; }

TEST_F(DemoPictures, EveryPictureLoadsWithTheSizeAndDepthItsEffectNeeds) {
    struct Expected {
        int width, height, bpp;
    };
    std::map<std::string, Expected> expected = {
        {"data/images/stjernebk - morkere.jpg", {1024, 512, 24}},
        {"data/images/vantor.pcx", {640, 480, 24}},
        {"data/images/particle.pcx", {64, 64, 24}},
        {"data/images/wipe1.pcx", {256, 256, 8}},
        {"data/images/horisbig1.jpg", {1024, 512, 24}},
        {"data/images/horisbig2.jpg", {1024, 512, 24}},
        {"data/images/bakgrscroll3.jpg", {1024, 512, 24}},
        {"data/images/holemap.jpg", {look::kHoleMapWidth, look::kHoleMapHeight, 8}},
        {"data/images/visir_full2.tga", {1024, 512, 32}},
        {"data/images/visir_front3.tga", {1024, 512, 32}},
        {"celpalette.pcx", {256, 1, 8}},
    };
    for (int i = 1; i <= 6; ++i) expected["data/images/kake" + std::to_string(i) + ".jpg"] = {640, 480, 24};
    for (int i = 0; i <= 3; ++i) expected["data/images/zoom" + std::to_string(i) + ".jpg"] = {512, 512, 24};
    for (const look::ShowPicture& p : look::kShowPictures)
        expected[std::string("data/images/") + p.name] = {p.width, p.height, 24};
    for (const look::SceneTexture& t : look::kSceneTextures) {
        const bool tga = std::string(t.name).find(".tga") != std::string::npos;
        expected[std::string("data/textures/") + t.name] = {t.width, t.height, tga ? 32 : 24};
    }

    std::set<std::string> generated;
    for (const pictures::PictureFile& f : pictures::pictureFiles()) generated.insert(f.path);
    for (const auto& [path, want] : expected) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(generated.count(path)) << "not drawn by the generator";
        const kpximage* img = load(path);
        if (!img) continue;
        EXPECT_EQ(img->width, want.width);
        EXPECT_EQ(img->height, want.height);
        EXPECT_EQ(img->bpp, want.bpp);
        // Layers, frames and textures fit the largest texture side.
        EXPECT_LE(img->width, 1024);
        EXPECT_LE(img->height, 1024);
    }
    EXPECT_EQ(generated.size(), expected.size()) << "a generated picture has no expectation here";
}

TEST_F(DemoPictures, ScrollingPicturesJoinWithoutASeam) {
    // The star field wraps: its last column runs into its first.
    const kpximage* stars = load("data/images/stjernebk - morkere.jpg");
    ASSERT_NE(stars, nullptr);
    const double inside = neighbourDifference(stars);
    EXPECT_LT(columnDifference(stars, stars->width - 1, stars, 0), 2.0 * inside + 1.0);

    // The panorama's left half runs into its right half.
    const kpximage* left = load("data/images/horisbig1.jpg");
    const kpximage* right = load("data/images/horisbig2.jpg");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    const double across = columnDifference(left, left->width - 1, right, 0);
    EXPECT_LT(across, 2.0 * neighbourDifference(left) + 1.0);
    EXPECT_LT(across, 2.0 * neighbourDifference(right) + 1.0);
}

TEST_F(DemoPictures, EachZoomPictureIsTheCentreQuarterOfTheNext) {
    for (int level = 0; level < 3; ++level) {
        SCOPED_TRACE(level);
        const kpximage* inner = load("data/images/zoom" + std::to_string(level) + ".jpg");
        const kpximage* outer = load("data/images/zoom" + std::to_string(level + 1) + ".jpg");
        ASSERT_NE(inner, nullptr);
        ASSERT_NE(outer, nullptr);
        // The inner picture, averaged 4 x 4 down, against the outer one's
        // centre quarter (128 x 128 pixels at 192..319).
        const int q = outer->width / 4, origin = (outer->width - q) / 2;
        double sum = 0;
        for (int y = 0; y < q; ++y) {
            for (int x = 0; x < q; ++x) {
                for (int c = 0; c < 3; ++c) {
                    double mean = 0;
                    for (int dy = 0; dy < 4; ++dy)
                        for (int dx = 0; dx < 4; ++dx) mean += pixel(inner, 4 * x + dx, 4 * y + dy)[c];
                    sum += std::abs(mean / 16 - pixel(outer, origin + x, origin + y)[c]);
                }
            }
        }
        EXPECT_LT(sum / (3.0 * q * q), 10.0);
    }
}

TEST_F(DemoPictures, MapsHoldTheLevelsTheEffectsReadAsData) {
    // The wipe runs its threshold through every grey level from 0 to 255.
    const kpximage* wipe = load("data/images/wipe1.pcx");
    ASSERT_NE(wipe, nullptr);
    std::set<int> levels(wipe->image, wipe->image + kpx_image_size(wipe));
    EXPECT_EQ(levels.size(), 256u);

    // The hole map is the stone texture's size and both keeps and cuts.
    const kpximage* holes = load("data/images/holemap.jpg");
    const kpximage* stone = load("data/textures/stone.jpg");
    ASSERT_NE(holes, nullptr);
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(holes->width, stone->width);
    EXPECT_EQ(holes->height, stone->height);
    const std::size_t size = kpx_image_size(holes);
    const auto cut = std::count_if(holes->image, holes->image + size, [](unsigned char v) { return v < 16; });
    const auto kept = std::count_if(holes->image, holes->image + size, [](unsigned char v) { return v > 240; });
    EXPECT_GT(cut, static_cast<long>(size / 10));
    EXPECT_GT(kept, static_cast<long>(size / 2));

    // The cel ramp runs from dark to light in a few hard steps.
    const kpximage* cel = load("celpalette.pcx");
    ASSERT_NE(cel, nullptr);
    ASSERT_EQ(cel->colors, 256);
    std::set<int> shades;
    double previous = -1;
    for (int i = 0; i < cel->width; ++i) {
        const unsigned char* entry = cel->palette + 3 * cel->image[i];
        EXPECT_GE(brightness(entry), previous) << "shade " << i;
        previous = brightness(entry);
        shades.insert(entry[0] << 16 | entry[1] << 8 | entry[2]);
    }
    EXPECT_GE(shades.size(), 3u);
    EXPECT_LE(shades.size(), 8u);
}

// The base texture name of object 2's first face in the glow scene, as the
// scene reader picks it (the third texture replaces the first); empty when
// the scene is not packed.
std::string glowSceneCutTexture() {
    ppd_file* file = ppd_open("data/steiner.ppp");
    if (!file) return {};
    ppp::ChunkDecoder decoder(file);
    std::int32_t material = -1;
    std::map<std::int32_t, std::string> baseNames;
    if (decoder.readLeadWord()) {
        for (ppp::Chunk chunk; decoder.next(chunk) == ppp::ChunkDecoder::Result::Chunk && chunk.type != 1;
             chunk = ppp::Chunk()) {
            if (!chunk.mesh.faces.empty() && chunk.mesh.id == 2 && material < 0)
                material = chunk.mesh.faces[0].materialId;
            const auto& textures = chunk.material.textures;
            if (!textures[0].empty() || !textures[2].empty())
                baseNames[chunk.material.id] = textures[2].empty() ? textures[0] : textures[2];
        }
    }
    ppd_close(file);
    const std::string name = baseNames[material];
    const std::size_t slash = name.find_last_of('\\');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

TEST_F(DemoPictures, HoleMapFitsTheTextureOfTheGlowScenesCutObject) {
    const std::string texture = glowSceneCutTexture();
    if (texture.empty()) GTEST_SKIP() << "data/steiner.ppp is not packed";
    const kpximage* stone = load("data/textures/" + texture);
    const kpximage* holes = load("data/images/holemap.jpg");
    ASSERT_NE(stone, nullptr);
    ASSERT_NE(holes, nullptr);
    EXPECT_EQ(holes->width, stone->width) << texture;
    EXPECT_EQ(holes->height, stone->height) << texture;
    EXPECT_EQ(kpx_image_size(holes), static_cast<std::size_t>(stone->width) * stone->height);
}

// The glow scene's other stones and rings must fail its capture's alpha test
// (above 0.9) everywhere, or they show as hard-edged squares in the glows.
TEST_F(DemoPictures, GlowScenesDimStoneIsLeftOutOfTheGlowCaptures) {
    const kpximage* img = load("data/textures/dimstone.tga");
    ASSERT_NE(img, nullptr);
    ASSERT_EQ(img->bpp, 32);
    const std::size_t pixels = static_cast<std::size_t>(img->width) * img->height;
    int highest = 0, lit = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        highest = std::max<int>(highest, img->image[4 * i + 3]);
        lit += img->image[4 * i] + img->image[4 * i + 1] + img->image[4 * i + 2] > 30;
    }
    EXPECT_LE(highest, 229);
    EXPECT_GT(lit, 0) << "the rock is drawn, not left black";
}

TEST_F(DemoPictures, VisorImagesAreSeeThroughWhereTheViewPasses) {
    for (const char* name : {"data/images/visir_full2.tga", "data/images/visir_front3.tga"}) {
        SCOPED_TRACE(name);
        const kpximage* img = load(name);
        ASSERT_NE(img, nullptr);
        const std::size_t pixels = static_cast<std::size_t>(img->width) * img->height;
        std::size_t clear = 0, opaque = 0;
        for (std::size_t i = 0; i < pixels; ++i) {
            clear += img->image[4 * i + 3] == 0;
            opaque += img->image[4 * i + 3] == 255;
        }
        EXPECT_GT(clear, pixels / 5);
        EXPECT_GT(opaque, pixels / 10);
        // The centre of the view is clear in both.
        EXPECT_EQ(pixel(img, img->width / 2, img->height / 2)[3], 0);
    }
}

TEST_F(DemoPictures, AdditivePicturesAreBlackWhereTheyAddNothing) {
    // Drawn with additive blending or with brightness as alpha: the corners
    // must add nothing, the middle must add something.
    std::vector<std::string> names = {"data/images/vantor.pcx", "data/images/particle.pcx", "data/textures/flare.jpg",
                                      std::string("data/images/") + look::kPictureFrame};
    for (const look::ShowPicture& p : look::kShowPictures)
        if (std::string(p.name) != look::kPictureFrame) names.push_back(std::string("data/images/") + p.name);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const kpximage* img = load(name);
        ASSERT_NE(img, nullptr);
        const bool frame = name.find(look::kPictureFrame) != std::string::npos;
        const int w = img->width, h = img->height;
        for (auto [x, y] : {std::pair{1, 1}, std::pair{w - 2, 1}, std::pair{1, h - 2}, std::pair{w - 2, h - 2}}) {
            if (frame) break;  // the frame's border lies in its corners
            EXPECT_LE(brightness(pixel(img, x, y)), 3.0) << x << "," << y;
        }
        if (frame) {
            EXPECT_LE(brightness(pixel(img, w / 2, h / 2)), 3.0);
        }
        double peak = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) peak = std::max(peak, brightness(pixel(img, x, y)));
        EXPECT_GT(peak, 150.0);
    }
}

// The inset draws the frame's first stored row at the bottom of its rectangle,
// so the recording mark that shows at the top left lies in the last rows.
TEST_F(DemoPictures, PictureFrameIsStoredUpsideDown) {
    const kpximage* img = load(std::string("data/images/") + look::kPictureFrame);
    ASSERT_NE(img, nullptr);
    const auto hotPixelsInRows = [img](int from, int to) {
        int count = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < img->width / 4; ++x) {
                const auto* p = pixel(img, x, y);
                count += p[0] > 180 && p[1] < 120 && p[2] > 90;
            }
        return count;
    };
    EXPECT_EQ(hotPixelsInRows(0, 96), 0);
    EXPECT_GT(hotPixelsInRows(img->height - 96, img->height), 20);
}

TEST(PictureGenerator, DrawsTheSameBytesOnEveryRun) {
    TempDir dir;
    const std::string command = std::string("\"") + VANTOR_IMAGES_TOOL + "\" \"" + dir.path().string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const pictures::PictureFile& f : pictures::pictureFiles()) {
        SCOPED_TRACE(f.path);
        const std::string again = readFile(dir.file(f.path));
        EXPECT_FALSE(again.empty());
        EXPECT_TRUE(again == readFile(kDemoDir + "/" + f.path)) << "differs from the build's copy";
    }
}

}  // namespace
}  // namespace vantor::test
