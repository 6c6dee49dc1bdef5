// The five capture overlays drawn offscreen: what each adds to its source,
// read back pixel by pixel, and the geometry of their copies as GL receives it.
#include "runtime/effect_table.h"
#include "effects/add_capture_effect.h"
#include "effects/mosaic_glow_effect.h"
#include "effects/picture_in_picture_effect.h"
#include "effects/swirl_effect.h"
#include "effects/zoom_blur_effect.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "tests/effects/capture_fixture.h"
#include "runtime/fatal_error.h"
#include "tests/support/temp_dir.h"

#include <cmath>
#include <string>

namespace vantor::test {
namespace {

class OverlayCaptureTest : public CaptureTest {
protected:
    static constexpr int kOwnId = 6;

    // Mean of red, green, blue at (x, y) from the top.
    static int grey(int x, int y) {
        const auto p = pixel(x, y);
        return (p[0] + p[1] + p[2]) / 3;
    }
};

TEST_F(OverlayCaptureTest, NoSourceOrAnEmptySlotDrawsNothingOfIt) {
    MosaicGlowEffect mosaic(nullptr);
    mosaic.useEffectTable(table);
    AddCaptureEffect add(nullptr);
    add.useEffectTable(table);
    SwirlEffect swirl(nullptr);
    swirl.useEffectTable(table);
    ZoomBlurEffect zoom(nullptr);
    zoom.useEffectTable(table);
    CaptureEffect* overlays[] = {&mosaic, &add, &swirl, &zoom};
    for (CaptureEffect* overlay : overlays) {
        // Itself as source would run itself without end: refused.
        table.set(kOwnId, overlay);
        for (int id : {-1, kEmptyId, 32, kOwnId}) {
            overlay->signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
            ASSERT_EQ(overlay->source, &source);
            overlay->signal(SignalValue(CaptureEffect::SOURCE, id));  // clears the source
            EXPECT_EQ(overlay->source, nullptr);
            clearTo(0.2f, 0.4f, 0.6f);
            frameOf(*overlay, 1000);
            EXPECT_TRUE(pixelIs(320, 240, 51, 102, 153));
            EXPECT_TRUE(pixelIs(5, 475, 51, 102, 153));
        }
    }
    EXPECT_EQ(source.runs, 0);
    EXPECT_FLOAT_EQ(swirl.phase(), 0.0f);
}

TEST_F(OverlayCaptureTest, MosaicGlowAddsTwoBlockyCopiesToTheSource) {
    source.kind = PaintSource::Kind::RampRight;
    source.red = source.green = source.blue = 0.3f;  // sums stay below 255
    clearTo(0, 0, 0);
    source.run(0);
    const auto plain = frame();

    MosaicGlowEffect mosaic(nullptr);

    mosaic.useEffectTable(table);
    mosaic.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    clearTo(0, 0, 0);
    frameOf(mosaic, 0);
    EXPECT_EQ(source.runs, 4);  // two captures, then drawn once
    const auto glowing = frame();

    // What was added at column x: texel x / 40 of the 16-wide capture plus
    // texel x / 20 of the 32-wide one, each the ramp at its texel's centre.
    const int row = 240;
    for (int x : {2, 17, 22, 39, 41, 300, 333, 639}) {
        const std::size_t i = (std::size_t(row) * kWidth + x) * 4;
        const int added = glowing[i] - plain[i];
        const float expected = 0.3f * 255.0f * ((x / 40 + 0.5f) / 16 + (x / 20 + 0.5f) / 32);
        EXPECT_NEAR(added, expected, 3.0) << "column " << x;
    }
}

TEST_F(OverlayCaptureTest, AddCaptureShowsTheCaptureInPlaceOfTheSourceWithoutItsTop32Rows) {
    source.kind = PaintSource::Kind::RampUp;
    AddCaptureEffect add(nullptr);
    add.useEffectTable(table);
    add.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));

    clearTo(0, 0, 1);  // prepare clears the whole frame after the copy
    add.prepare(0);
    EXPECT_TRUE(pixelIs(320, 240, 0, 0, 0, 0));
    add.run(0);
    add.post();
    EXPECT_EQ(source.runs, 1);

    // Screen row r (from the bottom) shows capture row r of 512: the ramp at
    // (r + 0.5) / 512, so the top row shows capture row 479, not 511.
    for (int fromBottom : {0, 100, 240, 400, 479}) {
        const int expected = int(255.0f * (fromBottom + 0.5f) / 512 + 0.5f);
        EXPECT_NEAR(grey(100, kHeight - 1 - fromBottom), expected, 2) << "row " << fromBottom;
        EXPECT_NEAR(pixel(600, kHeight - 1 - fromBottom)[2], expected, 2);
    }
}

TEST_F(OverlayCaptureTest, SwirlCopiesTurnShrinkMirrorAndBrighten) {
    source.red = source.green = source.blue = 100 / 255.0f;
    SwirlEffect swirl(nullptr);
    swirl.useEffectTable(table);
    swirl.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    clearTo(0, 0, 0);
    frameOf(swirl, 0);
    EXPECT_FLOAT_EQ(swirl.phase(), 0.005f);
    // Only copy 0 (angle 0, the full space, alpha 0.8) reaches the corners.
    EXPECT_TRUE(pixelIs(1, 1, 180, 180, 180));
    EXPECT_TRUE(pixelIs(kWidth - 2, kHeight - 2, 180, 180, 180));
    EXPECT_TRUE(pixelIs(320, 240, 255, 255, 255));

    source.hidden = true;
    // Again at the same time: no step; a 60th of a second later: one.
    frameOf(swirl, 0);
    EXPECT_FLOAT_EQ(swirl.phase(), 0.005f);
    const auto polygons = recordPolygons([&] { frameOf(swirl, 16); });
    EXPECT_FLOAT_EQ(swirl.phase(), 0.01f);

    // Each copy's texture-to-space map, recovered from three of its vertices
    // (in the 512 x 512 space): the side it spans for one texture unit and
    // whether it is mirrored.
    struct Copy {
        float alpha, sideS, sideT, directionS, centreX, centreY;
    };
    std::vector<Copy> copies;
    for (const auto& p : polygons) {
        ASSERT_GE(p.size(), 3u);
        auto space = [](const FeedbackVertex& v) {
            return std::array<double, 2>{v.x * 512.0 / kWidth, 512.0 - v.y * 512.0 / kHeight};
        };
        const auto a = space(p[0]), b = space(p[1]), c = space(p[2]);
        const double ds1 = p[1].tex[0] - p[0].tex[0], dt1 = p[1].tex[1] - p[0].tex[1];
        const double ds2 = p[2].tex[0] - p[0].tex[0], dt2 = p[2].tex[1] - p[0].tex[1];
        const double det = ds1 * dt2 - ds2 * dt1;
        ASSERT_NE(det, 0.0);
        // Solve position = origin + s * S + t * T.
        const double sx = ((b[0] - a[0]) * dt2 - (c[0] - a[0]) * dt1) / det;
        const double sy = ((b[1] - a[1]) * dt2 - (c[1] - a[1]) * dt1) / det;
        const double tx = ((c[0] - a[0]) * ds1 - (b[0] - a[0]) * ds2) / det;
        const double ty = ((c[1] - a[1]) * ds1 - (b[1] - a[1]) * ds2) / det;
        const double ox = a[0] - p[0].tex[0] * sx - p[0].tex[1] * tx;
        const double oy = a[1] - p[0].tex[0] * sy - p[0].tex[1] * ty;
        copies.push_back({p[0].color[3], float(std::hypot(sx, sy)), float(std::hypot(tx, ty)),
                          float(std::atan2(sy, sx) * 180 / M_PI), float(ox + 0.5 * (sx + tx)),
                          float(oy + 0.5 * (sy + ty))});
    }
    auto find = [&](float alpha) {
        for (const Copy& c : copies)
            if (std::fabs(c.alpha - alpha) < 1e-4f) return c;
        ADD_FAILURE() << "no copy with alpha " << alpha;
        return Copy{};
    };
    const Copy first = find(0.8f);
    const Copy last = find(0.955f);
    EXPECT_NEAR(first.sideS, 512, 0.5);
    EXPECT_NEAR(first.directionS, 0, 0.01);
    // Inset 465: 512 - 2 * 465 = -418, so the copy is 418 wide and, turned
    // by its angle, points the other way.
    EXPECT_NEAR(last.sideS, 418, 0.5);
    EXPECT_NEAR(last.sideT, 418, 0.5);
    const double angle = 360 * std::sin(31 * 0.01 / 32) + 8 * 31;
    EXPECT_NEAR(std::remainder(last.directionS - (angle + 180), 360.0), 0, 0.05);
    for (const Copy& c : copies) {
        EXPECT_NEAR(c.centreX, 256, 0.5);
        EXPECT_NEAR(c.centreY, 256, 0.5);
        EXPECT_GE(c.alpha, 0.8f - 1e-4f);
        EXPECT_LE(c.alpha, 0.955f + 1e-4f);
    }
}

TEST_F(OverlayCaptureTest, ZoomBlurAddsBluishCopiesOfEverSmallerCentralParts) {
    source.red = source.green = source.blue = 40 / 255.0f;
    ZoomBlurEffect zoom(nullptr);
    zoom.useEffectTable(table);
    zoom.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    clearTo(0, 0, 0);
    frameOf(zoom, 0);
    const auto p = pixel(320, 240);
    EXPECT_GT(p[2], p[0] + 20) << "the copies are tinted (0.7, 0.7, 1.0)";
    EXPECT_GT(p[0], 40);

    source.hidden = true;
    std::vector<FeedbackPolygon> polygons = recordPolygons([&] { zoom.run(0); });
    // Quads may reach GL as one polygon or as two triangles; one alpha per copy.
    std::vector<float> alphas;
    for (const auto& poly : polygons)
        if (alphas.empty() || std::fabs(alphas.back() - poly[0].color[3]) > 1e-5f) alphas.push_back(poly[0].color[3]);
    ASSERT_EQ(alphas.size(), 24u);
    EXPECT_NEAR(alphas.back(), 0.043f, 1e-4f);

    float low = 1, high = 0, minX = 1e9f, maxX = -1e9f;
    for (const auto& poly : polygons) {
        if (std::fabs(poly[0].color[3] - alphas.back()) > 1e-5f) continue;
        EXPECT_NEAR(poly[0].color[0], 0.7f, 1e-4f);
        EXPECT_NEAR(poly[0].color[2], 1.0f, 1e-4f);
        for (const auto& v : poly) {
            low = std::min({low, v.tex[0], v.tex[1]});
            high = std::max({high, v.tex[0], v.tex[1]});
            minX = std::min(minX, v.x);
            maxX = std::max(maxX, v.x);
        }
    }
    EXPECT_NEAR(low, 0.276f, 1e-4f);
    EXPECT_NEAR(high, 0.724f, 1e-4f);
    EXPECT_NEAR(minX, 0.0f, 0.01f);  // over the whole viewport
    EXPECT_NEAR(maxX, kWidth, 0.01f);
}

TEST_F(OverlayCaptureTest, PictureInPictureFillsTheBottomLeftQuarterAndMovesBySignals) {
    PictureInPictureEffect picture(nullptr);
    picture.useEffectTable(table);
    // Before any capture, and without a source: the grey start image.
    clearTo(0, 0, 0);
    frameOf(picture, 0);
    EXPECT_TRUE(pixelIs(5, kHeight - 5, 127, 127, 127));
    EXPECT_TRUE(pixelIs(315, 245, 127, 127, 127));
    EXPECT_TRUE(pixelIs(325, 245, 0, 0, 0));
    EXPECT_TRUE(pixelIs(315, 235, 0, 0, 0));
    EXPECT_EQ(source.runs, 0);

    source = PaintSource(1, 0.5f, 0);
    picture.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    clearTo(0, 0, 0);
    frameOf(picture, 0);
    EXPECT_TRUE(pixelIs(160, 360, 255, 128, 0));
    EXPECT_TRUE(pixelIs(480, 120, 0, 0, 0));

    // The top-right quarter instead.
    picture.signal(SignalValue(LayerEffect::LAYER_X, 50));
    picture.signal(SignalValue(LayerEffect::LAYER_Y, 50));
    clearTo(0, 0, 0);
    frameOf(picture, 0);
    EXPECT_TRUE(pixelIs(480, 120, 255, 128, 0));
    EXPECT_TRUE(pixelIs(160, 360, 0, 0, 0));
}

TEST_F(OverlayCaptureTest, PictureInPictureFrameIsA24BitImageOverTheCapture) {
    // A frame of odd width: rows of 99 bytes.
    TempDir dir;
    kpximage* odd = kpx_create(33, 7, 24, 0);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 33; ++col) {
            unsigned char* p = odd->image + 3 * (row * 33 + col);
            p[0] = static_cast<unsigned char>(col * 7);
            p[1] = static_cast<unsigned char>(row * 30);
            p[2] = 200;
        }
    ASSERT_TRUE(kpx_save_pcx(dir.file("frame.pcx").c_str(), odd));
    kpx_free(odd);
    ImageLibrary images;
    images.setPath((dir.path().string() + "/").c_str());

    PictureInPictureEffect picture(&images);

    picture.useEffectTable(table);
    picture.signal(SignalValue(PictureInPictureEffect::FRAME, 5));  // no text: ignored
    EXPECT_FALSE(picture.hasFrame());
    picture.signal(SignalValue(PictureInPictureEffect::FRAME, std::string("frame.pcx")));
    ASSERT_TRUE(picture.hasFrame());

    // The 33 x 7 image fills the low corner of its 64 x 8 texture, which spans
    // the 320 x 240 rectangle: texel column c at x = 5c .. 5c + 4, texel row r
    // (image row r) at 30r .. 30r + 29 from the rectangle's bottom.
    clearTo(0, 0, 0);
    frameOf(picture, 0);
    for (int row : {0, 1, 3, 6})
        for (int col : {0, 1, 16, 32})
            EXPECT_TRUE(pixelIs(5 * col + 2, kHeight - 1 - (30 * row + 15), col * 7, row * 30, 200, 3))
                << "image pixel " << col << "," << row;
    // Beyond the image the texture holds zeros: black covers the capture.
    EXPECT_TRUE(pixelIs(5 * 40 + 2, kHeight - 1 - 15, 0, 0, 0));

    // A missing frame ends the program with its name.
    ScopedFatalErrorCapture capture;
    try {
        picture.signal(SignalValue(PictureInPictureEffect::FRAME, std::string("missing.pcx")));
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.pcx"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vantor::test
