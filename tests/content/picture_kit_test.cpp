// The generator's building blocks, where a fault would spoil every picture
// made with them: seams of repeating noise and wrapped lights, black that must
// stay black, colour order and depth of the records handed to the writers.
#include "content/images/canvas.h"
#include "content/images/field.h"
#include "content/images/finish.h"
#include "content/images/noise.h"
#include "content/images/parallel_rows.h"
#include "content/images/picture_files.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

namespace vantor::pictures {
namespace {

TEST(PictureNoise, RepeatsExactlyWithItsPeriodAndNotOtherwise) {
    for (double y : {0.0, 0.37, 2.9}) {
        for (double x : {0.0, 0.5, 1.25, 3.99}) {
            EXPECT_NEAR(gradientNoise(x, y, 4, 0, 7), gradientNoise(x + 4, y, 4, 0, 7), 1e-12);
            EXPECT_NEAR(gradientNoise(x, y, 4, 3, 7), gradientNoise(x, y + 3, 4, 3, 7), 1e-12);
            // Octaves double the period with the frequency, so the sum repeats too.
            EXPECT_NEAR(fractalNoise(x, y, 5, 0.5, 4, 0, 9), fractalNoise(x - 4, y, 5, 0.5, 4, 0, 9), 1e-12);
        }
    }
    // Without a period, shifting by the same amount gives other values.
    int differ = 0;
    for (int i = 0; i < 10; ++i)
        differ += std::abs(gradientNoise(i * 0.31, 0.2, 0, 0, 7) - gradientNoise(i * 0.31 + 4, 0.2, 0, 0, 7)) > 1e-3;
    EXPECT_GT(differ, 5);
    // Bounded and not flat.
    double lo = 1, hi = -1;
    for (int i = 0; i < 2000; ++i) {
        const double n = fractalNoise(i * 0.037, i * 0.011, 4, 0.5, 0, 0, 3);
        lo = std::min(lo, n);
        hi = std::max(hi, n);
    }
    EXPECT_GE(lo, -1.5);
    EXPECT_LE(hi, 1.5);
    EXPECT_GT(hi - lo, 0.5);
}

TEST(PictureNoise, SeededSequencesRepeatAndStayInRange) {
    Rng a(42), b(42), c(43);
    int same = 0;
    for (int i = 0; i < 1000; ++i) {
        const double u = a.uniform();
        EXPECT_EQ(u, b.uniform());
        same += u == c.uniform();
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
        const double t = a.triangular();
        b.triangular();
        c.triangular();
        EXPECT_GT(t, -1.0);
        EXPECT_LT(t, 1.0);
    }
    EXPECT_EQ(same, 0);
}

TEST(PictureField, WrappedLightsCrossTheSideEdgesAndBlackStaysBlack) {
    Field field(64, 16);
    field.splat(63.5, 8, 2, 2, {1, 1, 1}, true);
    // The light's left half lands on the first columns, as bright as the
    // columns on its own side.
    EXPECT_NEAR(field.at(0, 8).r, field.at(62, 8).r, 1e-6f);
    EXPECT_GT(field.at(1, 8).r, 0.1f);
    Field clipped(64, 16);
    clipped.splat(63.5, 8, 2, 2, {1, 1, 1}, false);
    EXPECT_EQ(clipped.at(0, 8).r, 0.0f);

    // Painting: untouched pixels stay exactly black despite the dither; lit
    // ones keep their level on average; over-bright light is clipped.
    Field grey(64, 64);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) grey.at(x, y) = {0.5f, 0.5f, 0.5f};
    grey.at(0, 40) = {3, 3, 3};
    Canvas canvas(64, 64);
    grey.paint(canvas, 2.0, 1);
    double sum = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) sum += canvas.get(x, y).r;
    EXPECT_NEAR(sum / (32 * 64), 127.5, 0.3);
    EXPECT_EQ(canvas.get(0, 40).r, 255);
    for (int y = 41; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(canvas.get(x, y).r, 0) << x << "," << y;
}

TEST(PictureFinish, BlurWrapsWhenAskedAndGrainSparesBlack) {
    Canvas wrapped(32, 8), clamped(32, 8);
    for (Canvas* c : {&wrapped, &clamped}) {
        c->flush();
        for (int y = 0; y < 8; ++y) c->set(31, y, {255, 255, 255, 255});
        c->markDirty();
    }
    blur(wrapped, 2, true);
    blur(clamped, 2, false);
    EXPECT_GT(wrapped.get(0, 4).a, 20);
    EXPECT_EQ(clamped.get(0, 4).a, 0);
    EXPECT_EQ(wrapped.get(0, 4).a, wrapped.get(30, 4).a);

    Canvas dark(16, 16);
    dark.fill(0, 0, 0);
    dark.flush();
    dark.set(8, 8, {100, 100, 100, 255});
    dark.markDirty();
    addGrain(dark, 3.0, 5, 1);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (x != 8 || y != 8) {
                ASSERT_EQ(dark.get(x, y).r, 0);
            }
        }
    }
    EXPECT_NEAR(dark.get(8, 8).r, 100, 4);
}

TEST(PictureRows, EveryRowIsDoneExactlyOnce) {
    std::vector<std::atomic<int>> done(1000);
    forEachRow(1000, [&](int y) { ++done[static_cast<std::size_t>(y)]; });
    for (const auto& d : done) ASSERT_EQ(d.load(), 1);
}

// The writers get what the demo's readers must give back: colour order,
// alpha, and one grey byte a pixel for the maps.
class PictureFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_verbose_off();
    }
    void TearDown() override { kpx_verbose_on(); }
    static Canvas& sample(Canvas& c) {
        c.flush();
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                c.set(x, y,
                      {static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(y * 16), 200,
                       static_cast<std::uint8_t>(x < 8 ? 255 : 0)});
        c.markDirty();
        return c;
    }
    test::TempDir dir;
};

TEST_F(PictureFilesTest, ColourFilesReadBackAsWritten) {
    Canvas c(16, 16);
    sample(c);
    writePicture(c, FileKind::Tga32, dir.file("a.tga"));
    kpximage* tga = kpx_load_tga(dir.file("a.tga").c_str());
    ASSERT_NE(tga, nullptr);
    EXPECT_EQ(tga->bpp, 32);
    const unsigned char* p = tga->image + (3 * 16 + 5) * 4;  // x 5, y 3: opaque
    EXPECT_EQ(p[0], 80);
    EXPECT_EQ(p[1], 48);
    EXPECT_EQ(p[2], 200);
    EXPECT_EQ(p[3], 255);
    EXPECT_EQ(tga->image[(3 * 16 + 12) * 4 + 3], 0);  // x 12: clear
    kpx_free(tga);

    // 24-bit files show transparent pixels as black (what they add).
    writePicture(c, FileKind::Pcx24, dir.file("a.pcx"));
    kpximage* pcx = kpx_load_pcx(dir.file("a.pcx").c_str());
    ASSERT_NE(pcx, nullptr);
    EXPECT_EQ(pcx->bpp, 24);
    EXPECT_EQ(pcx->image[(3 * 16 + 5) * 3], 80);
    EXPECT_EQ(pcx->image[(3 * 16 + 5) * 3 + 2], 200);
    EXPECT_EQ(pcx->image[(3 * 16 + 12) * 3 + 2], 0);
    kpx_free(pcx);

    writePicture(c, FileKind::Jpeg, dir.file("a.jpg"));
    kpximage* jpg = kpx_load_jpg(dir.file("a.jpg").c_str());
    ASSERT_NE(jpg, nullptr);
    EXPECT_EQ(jpg->bpp, 24);
    EXPECT_NEAR(jpg->image[(3 * 16 + 5) * 3 + 2], 200, 8);
    kpx_free(jpg);
}

TEST_F(PictureFilesTest, GreyMapsKeepOneBytePerPixel) {
    Canvas c(16, 16);
    c.flush();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const auto v = static_cast<std::uint8_t>(x < 8 ? 0 : 255);
            c.set(x, y, {v, v, v, 255});
        }
    c.markDirty();
    for (FileKind kind : {FileKind::GreyJpeg, FileKind::GreyPcx}) {
        const std::string path = dir.file(kind == FileKind::GreyJpeg ? "m.jpg" : "m.pcx");
        writePicture(c, kind, path);
        kpximage* img = kind == FileKind::GreyJpeg ? kpx_load_jpg(path.c_str()) : kpx_load_pcx(path.c_str());
        ASSERT_NE(img, nullptr) << path;
        EXPECT_EQ(img->bpp, 8);
        EXPECT_EQ(img->colors, 256);
        EXPECT_EQ(img->palette[3 * 77], 77);
        EXPECT_LE(img->image[16 * 8 + 2], 8);  // byte i is pixel i
        EXPECT_GE(img->image[16 * 8 + 13], 247);
        kpx_free(img);
    }
}

}  // namespace
}  // namespace vantor::pictures
