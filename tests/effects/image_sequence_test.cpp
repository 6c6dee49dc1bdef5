// The image-sequence family (sequence, logo, starfield) drawn offscreen and
// read back.
#include "effects/image_sequence_effect.h"
#include "effects/logo_effect.h"
#include "effects/starfield_effect.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "scene/texture.h"
#include "tests/effects/layer_fixture.h"
#include "runtime/frame_steps.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace vantor::test {
namespace {

struct KpxDeleter {
    void operator()(kpximage* image) const { kpx_free(image); }
};
using Image = std::unique_ptr<kpximage, KpxDeleter>;

// A 24-bit image whose pixel (x, y) is colour(x, y).
Image makeImage(int w, int h, const std::function<std::array<int, 3>(int, int)>& colour) {
    Image image(kpx_create(static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 24, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto c = colour(x, y);
            unsigned char* p = image->image + (static_cast<std::size_t>(y) * w + x) * 3;
            for (int i = 0; i < 3; ++i) p[i] = static_cast<unsigned char>(c[static_cast<std::size_t>(i)]);
        }
    return image;
}

Image flat(int w, int h, int r, int g, int b) {
    return makeImage(w, h, [=](int, int) { return std::array<int, 3>{r, g, b}; });
}

using ImageSequence = LayerTest;

TEST_F(ImageSequence, ImagesBecome32BitWithAlphaFromBrightnessAndCoverTheScreen) {
    // Left half red, right half dark blue; 40 x 30 lies in a 64 x 32 texture.
    Image image = makeImage(40, 30, [](int x, int) {
        return x < 20 ? std::array<int, 3>{200, 100, 0} : std::array<int, 3>{0, 0, 30};
    });
    ImageSequenceEffect sequence(nullptr, image.get());
    ASSERT_EQ(image->bpp, 32);
    EXPECT_EQ(image->image[3], 100);  // (200 + 100 + 0) / 3
    EXPECT_EQ(image->image[39 * 4 + 3], 10);
    EXPECT_EQ(sequence.textureWidth, 64);
    EXPECT_EQ(sequence.textureHeight, 32);
    EXPECT_EQ(sequence.pixels, image->image);

    // Before any init the layer is opaque: dark pixels show, not the background.
    clearTo(0, 1, 0);
    sequence.post();
    // (Samples stay a texel away from the edges, where the repeating texture
    // blends in its padding.)
    EXPECT_TRUE(pixelIs(20, 20, 200, 100, 0));
    EXPECT_TRUE(pixelIs(kWidth - 20, kHeight - 20, 0, 0, 30));
    EXPECT_TRUE(pixelIs(kWidth / 2 - 12, kHeight / 2, 200, 100, 0));
    EXPECT_TRUE(pixelIs(kWidth / 2 + 12, kHeight / 2, 0, 0, 30));

    // With blending the dark half turns nearly transparent.
    sequence.signal(SignalValue(LayerEffect::BLEND_ON, 1));
    clearTo(0, 1, 0);
    sequence.post();
    EXPECT_TRUE(pixelIs(kWidth - 20, kHeight - 20, 0, 245, 1, 3));

    // A 32-bit image keeps its own alpha.
    Image rgba(kpx_create(8, 8, 32, 0));
    for (int i = 0; i < 64; ++i) rgba->image[i * 4 + 3] = 77;
    ImageSequenceEffect kept(nullptr, rgba.get());
    EXPECT_EQ(rgba->image[3], 77);
}

TEST_F(ImageSequence, AdvanceCyclesThroughTheImagesInOrder) {
    std::vector<Image> images;
    for (int i = 0; i < 6; ++i) images.push_back(flat(16, 16, 40 * i, 255 - 40 * i, 100));
    ImageSequenceEffect sequence(nullptr, images[0].get());
    for (int i = 1; i < 6; ++i) sequence.append(images[static_cast<std::size_t>(i)].get());
    ASSERT_EQ(sequence.images.size(), 6u);
    EXPECT_EQ(images[3]->bpp, 32);

    for (int step = 1; step <= 7; ++step) {
        sequence.advance();
        const int shown = step % 6;
        EXPECT_EQ(sequence.currentIndex, shown);
        clearTo(0, 0, 0);
        sequence.post();
        EXPECT_TRUE(pixelIs(320, 240, 40 * shown, 255 - 40 * shown, 100)) << "step " << step;
    }

    // One image: advance shows it again.
    Image only = flat(8, 8, 9, 9, 9);
    ImageSequenceEffect single(nullptr, only.get());
    single.advance();
    EXPECT_EQ(single.current, only.get());
    EXPECT_EQ(single.currentIndex, 0);
}

TEST_F(ImageSequence, TheGlideReachesItsTargetAtParameterMilliseconds) {
    Image image = flat(16, 16, 255, 255, 255);
    ImageSequenceEffect sequence(nullptr, image.get());
    sequence.init(0);
    // Targets equal to the values and no start: nothing moves.
    sequence.run(5000);
    EXPECT_FLOAT_EQ(sequence.x, 0.0f);
    EXPECT_FLOAT_EQ(sequence.alpha, 1.0f);

    // Frames at 60 a second, each a step of the grid.
    auto runUntil = [&](int from, int to) {
        for (std::int64_t k = frame_steps::stepAt(0, from); frame_steps::stepTime(0, k) <= to; ++k)
            sequence.run(frame_steps::stepTime(0, k));
    };
    sequence.signal(SignalValue(ImageSequenceEffect::TARGET_X, 50));
    sequence.signal(SignalValue(ImageSequenceEffect::TARGET_ALPHA, 20));
    sequence.signal(SignalValue(ImageSequenceEffect::GLIDE_FROM, 3000));
    runUntil(5000, 5000);
    sequence.run(3000);  // the time went back: not after moveStart, nothing yet
    EXPECT_FLOAT_EQ(sequence.x, 0.0f);
    runUntil(3000, 3100);  // under way: each step takes a growing share of what is left
    EXPECT_GT(sequence.x, 0.0f);
    EXPECT_LT(sequence.x, 0.25f);
    EXPECT_GT(sequence.alpha, 0.6f);
    runUntil(3100, 4000);
    EXPECT_FLOAT_EQ(sequence.x, 0.5f);
    EXPECT_FLOAT_EQ(sequence.alpha, 0.2f);
    runUntil(4000, 9000);  // never past the target
    EXPECT_FLOAT_EQ(sequence.x, 0.5f);

    // Code 10 changes the duration; 55 glides y back up.
    sequence.signal(SignalValue(LayerEffect::DURATION, 200));
    sequence.signal(SignalValue(LayerEffect::LAYER_Y, 100));
    sequence.signal(SignalValue(ImageSequenceEffect::TARGET_Y, 0));
    sequence.signal(SignalValue(ImageSequenceEffect::GLIDE_FROM, 10000));
    runUntil(10000, 10100);
    EXPECT_GT(sequence.y, 0.0f);
    EXPECT_LT(sequence.y, 1.0f);
    runUntil(10100, 10300);
    EXPECT_FLOAT_EQ(sequence.y, 0.0f);

    // Drawn at x 0.5 with alpha 0.2 over black: the left half stays black.
    clearTo(0, 0, 0);
    sequence.post();
    EXPECT_TRUE(pixelIs(100, 240, 0, 0, 0));
    EXPECT_TRUE(pixelIs(500, 240, 51, 51, 51, 2));

    // Upwards the glide stops at its target too.
    sequence.signal(SignalValue(ImageSequenceEffect::TARGET_X, 100));
    sequence.signal(SignalValue(ImageSequenceEffect::GLIDE_FROM, 20000));
    runUntil(20000, 20100);
    EXPECT_GT(sequence.x, 0.5f);
    EXPECT_LT(sequence.x, 1.0f);
    runUntil(20100, 20300);
    EXPECT_FLOAT_EQ(sequence.x, 1.0f);
}

// The glide at 30, 120 and 1000 frames a second passes through the values of
// the 60 a second one: every frame takes the steps of the grid that fell since
// the one before, so one draw at a time shows what 60 a second shows there.
TEST_F(ImageSequence, TheGlideIsTheSameAtAnyFrameRate) {
    Image image = flat(16, 16, 255, 255, 255);
    auto glideAt = [&](int fps, const std::vector<int>& times) {
        ImageSequenceEffect sequence(nullptr, image.get());
        sequence.init(0);
        sequence.signal(SignalValue(LayerEffect::DURATION, 1500));
        sequence.signal(SignalValue(ImageSequenceEffect::TARGET_X, 80));
        sequence.signal(SignalValue(ImageSequenceEffect::TARGET_ALPHA, 10));
        sequence.signal(SignalValue(ImageSequenceEffect::GLIDE_FROM, 1000));
        std::vector<float> seen;
        std::size_t next = 0;
        for (long long n = 0; next < times.size(); ++n) {
            const int t = static_cast<int>(n * 1000 / fps);
            if (t >= times[next]) {
                sequence.run(times[next]);
                seen.push_back(sequence.x + 10.0f * sequence.alpha);
                ++next;
            }
            if (t < times.back()) sequence.run(t);
        }
        return seen;
    };
    const std::vector<int> times = {1500, 1850, 2200, 2600, 3000};
    const std::vector<float> at60 = glideAt(60, times);
    EXPECT_NE(at60.front(), at60.back());
    for (int fps : {30, 120, 1000}) EXPECT_EQ(glideAt(fps, times), at60) << fps << " frames a second";
}

TEST_F(ImageSequence, SignalsFetchImagesByName) {
    TempDir dir;
    dir.enter();
    ppd_clear_archive();
    kpx_verbose_off();
    Image blue = flat(8, 4, 0, 0, 250);
    Image big = flat(1025, 2, 1, 1, 1);
    ASSERT_EQ(kpx_save_tga("blue.tga", blue.get(), 0), 1);
    ASSERT_EQ(kpx_save_tga("big.tga", big.get(), 0), 1);
    ImageLibrary library;
    testing::internal::CaptureStdout();

    Image first = flat(16, 16, 250, 0, 0);
    ImageSequenceEffect sequence(&library, first.get());
    sequence.signal(SignalValue(ImageSequenceEffect::APPEND, std::string("blue.tga")));
    sequence.signal(SignalValue(ImageSequenceEffect::APPEND, std::string("missing.tga")));
    ASSERT_EQ(sequence.images.size(), 2u);
    kpximage* cached = library.getImage("blue.tga");
    EXPECT_EQ(sequence.images[1], cached);
    EXPECT_EQ(cached->image[3], 83);  // appended: alpha from brightness

    // 110 with an integer does nothing of its own.
    sequence.signal(SignalValue(ImageSequenceEffect::SHOW, 5));
    EXPECT_EQ(sequence.current, first.get());

    // 110 with a name shows that image without joining the list.
    Image green = flat(4, 4, 0, 250, 0);
    ASSERT_EQ(kpx_save_tga("green.tga", green.get(), 0), 1);
    sequence.signal(SignalValue(ImageSequenceEffect::SHOW, std::string("green.tga")));
    kpximage* shown = library.getImage("green.tga");
    EXPECT_EQ(sequence.current, shown);
    EXPECT_EQ(sequence.images.size(), 2u);
    EXPECT_EQ(shown->image[3], 255) << "no alpha from brightness for 110";
    EXPECT_EQ(sequence.textureWidth, 8);
    clearTo(0, 0, 0);
    sequence.post();
    EXPECT_TRUE(pixelIs(320, 240, 0, 250, 0));

    // Advance goes on from the list's position, not from the shown image.
    sequence.advance();
    EXPECT_EQ(sequence.current, cached);
    testing::internal::GetCapturedStdout();
    kpx_verbose_on();
}

TEST_F(ImageSequence, TexturesOfChangedPicturesAreFreed) {
    Image first = flat(64, 32, 200, 0, 0);
    Image second = flat(32, 64, 0, 200, 0);
    ImageSequenceEffect sequence(nullptr, first.get());
    sequence.append(second.get());
    PlainLayer layer(8, 8);
    Image picture = flat(100, 30, 0, 0, 200);
    Texture sceneTexture(picture.get(), GL_TEXTURE_2D);
    sceneTexture.uploadTexture();
    // Every texture name the three have held: only the three current ones
    // may still be textures.
    std::set<GLuint> held;
    for (int i = 0; i < 300; ++i) {
        sequence.advance();
        layer.setSize(16 + i % 2, 16);
        sceneTexture.uploadTexture();
        held.insert({sequence.texture, layer.texture, sceneTexture.glName()});
    }
    const auto alive = std::count_if(held.begin(), held.end(), [](GLuint name) { return glIsTexture(name); });
    EXPECT_EQ(alive, 3);
    // The sequence still shows its current picture.
    EXPECT_EQ(texels(sequence.texture)[0], 200);
}

TEST_F(ImageSequence, APictureThatCannotBecome32BitIsNeverUploaded) {
    // 12 bits a pixel: no converter takes it, so the picture keeps its
    // 2-byte pixels, which an upload of 4 bytes a pixel would read past.
    Image odd(kpx_create(16, 8, 12, 0));
    std::fill_n(odd->image, kpx_image_size(odd.get()), 0xab);
    LogoEffect logo(nullptr, odd.get());
    EXPECT_EQ(odd->bpp, 12);
    int w = 0, h = 0;
    const auto texture = texels(logo.texture, &w, &h);
    ASSERT_EQ(w, 16);
    for (int i = 0; i < 16 * 8 * 4; ++i) ASSERT_EQ(texture[static_cast<std::size_t>(i)], 127) << i;
}

TEST_F(ImageSequence, LogoClosesOverFourSecondsAndLeavesATrailOfTwentySteps) {
    Image image = flat(64, 32, 255, 255, 255);
    LogoEffect logo(nullptr, image.get());
    EXPECT_FLOAT_EQ(logo.parameter, 4000.0f);
    logo.signal(SignalValue(LayerEffect::LAYER_X, 25));
    logo.signal(SignalValue(LayerEffect::LAYER_W, 50));
    logo.init(1000);

    logo.run(1000);
    EXPECT_FLOAT_EQ(logo.spreadX, 10.0f);
    EXPECT_FLOAT_EQ(logo.alpha, -0.04f) << "the start alpha is negative: nothing shows";
    clearTo(0, 0, 0);
    logo.post();
    EXPECT_TRUE(pixelIs(320, 240, 0, 0, 0));

    // Frames at 60 a second up to start + 4000; the trail keeps the shapes
    // of the last 20 steps before the frame drawn.
    auto closeAt = [&](LogoEffect& l, int fps) {
        for (long long n = 1;; ++n) {
            const int t = 1000 + static_cast<int>(n * 1000 / fps);
            if (t >= 5000) break;
            l.run(t);
            l.post();
        }
        l.run(5000);
    };
    closeAt(logo, 60);
    EXPECT_FLOAT_EQ(logo.spreadX, 0.0f);
    EXPECT_FLOAT_EQ(logo.alpha, 0.16f);
    std::vector<float> spreads;
    for (int i = 0; i < LogoEffect::kTrailLength; ++i) {
        const LogoEffect::TrailEntry& e = logo.trail[static_cast<std::size_t>((logo.trailIndex + i) % 20)];
        spreads.push_back(e.spreadX);
        EXPECT_FLOAT_EQ(e.alpha, (8.0f - e.spreadX) / 50.0f);
    }
    // Steps 4666 .. 4983 ms: spreads 10 (1 - (t - 1000) / 4000), oldest first.
    EXPECT_NEAR(spreads.front(), 10.0f * (1.0f - 3666.0f / 4000.0f), 1e-4f);
    EXPECT_NEAR(spreads.back(), 10.0f * (1.0f - 3983.0f / 4000.0f), 1e-4f);
    EXPECT_TRUE(std::is_sorted(spreads.rbegin(), spreads.rend()));
    // In the middle every shape of the trail lies over the logo, a quarter
    // of its alpha each, added on black.
    float sum = 0.16f;
    for (const auto& e : logo.trail) sum += e.alpha / 4.0f;
    clearTo(0, 0, 0);
    logo.post();
    const int middle = std::min(255, static_cast<int>(255 * sum));
    EXPECT_TRUE(pixelIs(320, 240, middle, middle, middle, 8)) << middle;

    // At 30 and at 240 frames a second the trail is the same third of a
    // second of shapes.
    for (int fps : {30, 240}) {
        LogoEffect other(nullptr, image.get());
        other.signal(SignalValue(LayerEffect::LAYER_X, 25));
        other.signal(SignalValue(LayerEffect::LAYER_W, 50));
        other.init(1000);
        other.run(1000);
        other.post();
        closeAt(other, fps);
        for (int i = 0; i < LogoEffect::kTrailLength; ++i)
            EXPECT_FLOAT_EQ(other.trail[static_cast<std::size_t>((other.trailIndex + i) % 20)].spreadX, spreads[i])
                << fps << " frames a second, entry " << i;
    }

    // Mode 2 opens again; other modes freeze the spread.
    logo.signal(SignalValue(LogoEffect::LOGO_MODE, 2));
    logo.run(3000);
    EXPECT_FLOAT_EQ(logo.spreadX, 5.0f);
    logo.signal(SignalValue(LogoEffect::LOGO_MODE, 7));
    logo.run(9000);
    EXPECT_FLOAT_EQ(logo.spreadX, 5.0f);
    EXPECT_FLOAT_EQ(logo.targetAlpha, 0.07f) << "90 is also the sequence's target alpha";
    logo.init(0);
    for (const auto& entry : logo.trail) EXPECT_EQ(entry.alpha, 0.0f);
}

TEST_F(ImageSequence, StarfieldShowsOneTextureWidthAndScrollsItLeft) {
    // Column c has red 4c: any shift or stretch shows in the red channel.
    Image image = makeImage(64, 32, [](int x, int) { return std::array<int, 3>{4 * x, 0, 128}; });
    StarfieldEffect stars(nullptr, image.get());
    stars.init(2000);
    stars.signal(SignalValue(LayerEffect::LAYER_X, 30));  // the rectangle is reset when drawn
    stars.run(2000);
    clearTo(0, 0, 0);
    stars.post();
    EXPECT_FLOAT_EQ(stars.x, 0.0f);
    EXPECT_FLOAT_EQ(stars.u1 - stars.u0, 1.0f);
    // Screen column s shows image column s / 10.
    for (int column : {5, 16, 40, 60}) EXPECT_TRUE(pixelIs(column * 10 + 5, 240, 4 * column, 0, 128, 3)) << column;

    // Ten seconds later half a width has gone by: column 32 at the left edge,
    // column 0 again (wrapped) in the middle.
    stars.run(12000);
    clearTo(0, 0, 0);
    stars.post();
    EXPECT_FLOAT_EQ(stars.u0, 0.5f);
    EXPECT_TRUE(pixelIs(5, 240, 4 * 32, 0, 128, 3));
    EXPECT_TRUE(pixelIs(320 + 45, 240, 4 * 4, 0, 128, 3));
}

}  // namespace
}  // namespace vantor::test
