// The texture layer and capture bases, the RGB upload and the required-image
// fetch, drawn in the offscreen context and read back.
#include "runtime/effect_table.h"
#include "runtime/fatal_error.h"
#include "effects/capture_effect.h"
#include "effects/required_image.h"
#include "effects/rgb_upload.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/effects/layer_fixture.h"
#include "tests/support/temp_dir.h"

#include <stdexcept>

namespace vantor::test {
namespace {

using LayerBase = LayerTest;

TEST_F(LayerBase, SetSizeRoundsUpToPowersOfTwoAndFillsOnlyTheBufferAreaWith127) {
    PlainLayer layer;
    layer.setSize(640, 480);
    EXPECT_EQ(layer.textureWidth, 1024);
    EXPECT_EQ(layer.textureHeight, 512);
    EXPECT_EQ(layer.bufferWidth, 640);
    EXPECT_EQ(layer.bufferHeight, 480);
    int w = 0, h = 0;
    const auto data = texels(layer.texture, &w, &h);
    ASSERT_EQ(w, 1024);
    ASSERT_EQ(h, 512);
    int wrong = 0;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const std::uint8_t expected = (row < 480 && col < 640) ? 127 : 0;
            for (int c = 0; c < 4; ++c) wrong += data[(static_cast<std::size_t>(row) * w + col) * 4 + c] != expected;
        }
    EXPECT_EQ(wrong, 0);

    // Never smaller than 8; an exact power of two is kept and filled whole.
    PlainLayer small;
    small.setSize(5, 3);
    EXPECT_EQ(small.textureWidth, 8);
    EXPECT_EQ(small.textureHeight, 8);
    PlainLayer largest;
    largest.setSize(1024, 1024);
    EXPECT_EQ(largest.textureWidth, 1024);
    const auto full = texels(largest.texture);
    EXPECT_EQ(std::count(full.begin(), full.end(), 127), static_cast<std::ptrdiff_t>(full.size()));
}

TEST_F(LayerBase, ABufferBeyond1024EndsTheProgramAsEveryFatalErrorDoes) {
    ScopedFatalErrorCapture capture;
    for (auto size : {std::array<int, 2>{1025, 8}, std::array<int, 2>{8, 1025}}) {
        PlainLayer layer;
        try {
            layer.setSize(size[0], size[1]);
            ADD_FAILURE() << "no error for " << size[0] << " x " << size[1];
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(), "effect too large");
        }
    }
}

TEST_F(LayerBase, DrawLayerMapsTheBufferOntoTheViewportTexelForTexel) {
    PlainLayer layer(kWidth, kHeight);
    // Each pixel names its own position, so any shift or stretch shows.
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col) {
            std::uint8_t* p = &layer.buffer[(static_cast<std::size_t>(row) * kWidth + col) * 4];
            p[0] = static_cast<std::uint8_t>(col);
            p[1] = static_cast<std::uint8_t>(row);
            p[2] = static_cast<std::uint8_t>((col >> 8) * 64 + (row >> 8) * 16);
            p[3] = 255;
        }
    clearTo(1, 0, 1);
    layer.post();
    const auto shot = frame();
    int wrong = 0;
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col) {
            const std::uint8_t* got = &shot[(static_cast<std::size_t>(row) * kWidth + col) * 4];
            const std::uint8_t* want = &layer.buffer[(static_cast<std::size_t>(row) * kWidth + col) * 4];
            wrong += !(near(got[0], want[0], 1) && near(got[1], want[1], 1) && near(got[2], want[2], 1));
        }
    EXPECT_EQ(wrong, 0);
    // The state it leaves: depth test on, texturing and blending off.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(LayerBase, RectangleSignalsMoveAndSizeInTextureUnits) {
    PlainLayer layer(kWidth, kHeight);
    layer.fill(0, 255, 0);
    // Half the texture's width is 512 screen pixels, of which the buffer's
    // 640 of 1024 texels take 320 (the padding is transparent black); a y of
    // a quarter texture height starts 128 rows down.
    layer.signal(SignalValue(LayerEffect::LAYER_W, 50));
    layer.signal(SignalValue(LayerEffect::LAYER_Y, 25));
    clearTo(0, 0, 0);
    layer.post();
    EXPECT_TRUE(pixelIs(314, 200, 0, 255, 0));
    EXPECT_TRUE(pixelIs(326, 200, 0, 0, 0));
    EXPECT_TRUE(pixelIs(100, 124, 0, 0, 0));
    EXPECT_TRUE(pixelIs(100, 132, 0, 255, 0));
    EXPECT_FLOAT_EQ(layer.width, 0.5f);
    layer.signal(SignalValue(LayerEffect::LAYER_X, -150));
    layer.signal(SignalValue(LayerEffect::LAYER_H, 1));
    EXPECT_FLOAT_EQ(layer.x, -1.5f);
    EXPECT_FLOAT_EQ(layer.height, 0.01f);
    layer.signal(SignalValue(LayerEffect::DURATION, 2500));
    EXPECT_FLOAT_EQ(layer.parameter, 2500.0f);
}

TEST_F(LayerBase, BlendCodesChooseFactorsAndKeepTheScriptsUnscaledAlpha) {
    PlainLayer layer(kWidth, kHeight);
    layer.fill(0, 200, 0, 128);

    // Default: opaque, blending off.
    clearTo(1, 0, 0);
    layer.post();
    EXPECT_TRUE(pixelIs(320, 240, 0, 200, 0));

    // 100 with 0: forced blending at alpha 0 leaves the background.
    layer.signal(SignalValue(LayerEffect::BLEND_ON, 0));
    EXPECT_TRUE(layer.blendOn);
    clearTo(1, 0, 0);
    layer.post();
    EXPECT_TRUE(pixelIs(320, 240, 255, 0, 0));

    // 100 with 50 is alpha 50, not 0.5: with source-alpha blending the
    // texel's own alpha (128) decides: half and half.
    layer.signal(SignalValue(LayerEffect::BLEND_ON, 50));
    EXPECT_FLOAT_EQ(layer.alpha, 50.0f);
    clearTo(1, 0, 0);
    layer.post();
    EXPECT_TRUE(pixelIs(320, 240, 127, 100, 0, 3));

    // BLEND_SRC/BLEND_DST with FACTOR_ONE (one, one): additive.
    layer.signal(SignalValue(LayerEffect::BLEND_SRC, LayerEffect::FACTOR_ONE));
    layer.signal(SignalValue(LayerEffect::BLEND_DST, LayerEffect::FACTOR_ONE));
    EXPECT_EQ(layer.blendSource, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(layer.blendDest, static_cast<GLenum>(GL_ONE));
    clearTo(1, 0, 0);
    layer.post();
    EXPECT_TRUE(pixelIs(320, 240, 255, 200, 0));

    // Values outside the script's factor values 10..14 change nothing; each
    // of them has its factor.
    for (int outside : {9, 15, 0, -1, 1000}) {
        layer.signal(SignalValue(LayerEffect::BLEND_SRC, outside));
        layer.signal(SignalValue(LayerEffect::BLEND_DST, outside));
    }
    EXPECT_EQ(layer.blendSource, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(layer.blendDest, static_cast<GLenum>(GL_ONE));
    const GLenum factors[] = {GL_ONE, GL_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA};
    for (int v = 10; v <= 14; ++v) {
        layer.signal(SignalValue(LayerEffect::BLEND_DST, v));
        EXPECT_EQ(layer.blendDest, factors[v - 10]) << v;
    }
    // A string value is read by its (zero) integer: no factor for 0.
    layer.signal(SignalValue(LayerEffect::BLEND_SRC, std::string("11")));
    EXPECT_EQ(layer.blendSource, static_cast<GLenum>(GL_ONE));

    // BLEND_OFF: blending off at alpha 255, so the layer is opaque again.
    layer.signal(SignalValue(LayerEffect::BLEND_OFF, 0));
    EXPECT_FALSE(layer.blendOn);
    EXPECT_FLOAT_EQ(layer.alpha, 255.0f);
    clearTo(1, 0, 0);
    layer.post();
    EXPECT_TRUE(pixelIs(320, 240, 0, 200, 0));

    // init resets the whole blend state.
    layer.signal(SignalValue(LayerEffect::BLEND_ON, 0));
    layer.init(1234);
    EXPECT_FALSE(layer.blendOn);
    EXPECT_FLOAT_EQ(layer.alpha, 1.0f);
    EXPECT_EQ(layer.blendSource, static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_EQ(layer.blendDest, static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
}

TEST_F(LayerBase, RgbUploadReadsOddWidthRowsUnskewedAndRestoresTheAlignment) {
    PlainLayer layer;
    layer.setSize(33, 7);
    kpximage* image = kpx_create(33, 7, 24, 0);
    for (int i = 0; i < 33 * 7; ++i) {
        image->image[i * 3] = static_cast<unsigned char>(i);
        image->image[i * 3 + 1] = static_cast<unsigned char>(255 - i);
        image->image[i * 3 + 2] = static_cast<unsigned char>(i / 33 * 30);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    ASSERT_TRUE(uploadRgbImage(*image));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 2);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    int w = 0;
    const auto data = texels(layer.texture, &w);
    int wrong = 0;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 33; ++col) {
            const int i = row * 33 + col;
            const std::uint8_t* t = &data[(static_cast<std::size_t>(row) * w + col) * 4];
            wrong += t[0] != image->image[i * 3] || t[1] != image->image[i * 3 + 1] ||
                     t[2] != image->image[i * 3 + 2] || t[3] != 255;
        }
    EXPECT_EQ(wrong, 0);
    kpx_free(image);
}

TEST_F(LayerBase, RgbUploadBringsOtherDepthsTo24BitsFirst) {
    PlainLayer layer;
    layer.setSize(3, 2);
    // An 8-bit image with a palette, as a PCX gives.
    kpximage* image = kpx_create(3, 2, 8, 256);
    for (int i = 0; i < 6; ++i) {
        image->image[i] = static_cast<unsigned char>(40 + i);
        unsigned char* entry = &image->palette[(40 + i) * 3];
        entry[0] = static_cast<unsigned char>(10 * i);
        entry[1] = 77;
        entry[2] = static_cast<unsigned char>(200 - i);
    }
    ASSERT_TRUE(uploadRgbImage(*image));
    EXPECT_EQ(image->bpp, 24);
    int w = 0;
    const auto data = texels(layer.texture, &w);
    for (int i = 0; i < 6; ++i) {
        const std::uint8_t* t = &data[(static_cast<std::size_t>(i / 3) * w + i % 3) * 4];
        EXPECT_EQ(t[0], 10 * i);
        EXPECT_EQ(t[1], 77);
        EXPECT_EQ(t[2], 200 - i);
    }
    kpx_free(image);

    kpximage empty{};
    EXPECT_FALSE(uploadRgbImage(empty));
}

// Draws a full-viewport quad in one colour: what the capture tests capture.
class SolidEffect : public Effect {
public:
    void init(int) override {}
    void run(int time) override {
        lastTime = time;
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glColor4f(0, 0, 1, 1);
        glBegin(GL_QUADS);
        glVertex2f(0, 0);
        glVertex2f(1, 0);
        glVertex2f(1, 1);
        glVertex2f(0, 1);
        glEnd();
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glColor4f(1, 1, 1, 1);
    }
    void post() override { posted = true; }
    void signal(SignalValue) override {}
    int lastTime = -1;
    bool posted = false;
};

class PlainCapture : public CaptureEffect {
public:
    PlainCapture() : CaptureEffect(nullptr) { setSize(64, 64); }
    void prepare(int time) override {
        if (source) capture(64, 64, texture, time);
    }
    void run(int) override {}
};

class CaptureBase : public LayerTest {
protected:
    EffectTable table;  // the test's own, where the captured effects are registered
};

TEST_F(CaptureBase, CaptureRunsTheSourceIntoTheTextureAndCleansTheCorner) {
    SolidEffect solid;
    table.set(4, &solid);
    PlainCapture capture;
    capture.useEffectTable(table);
    capture.signal(SignalValue(CaptureEffect::SOURCE, 4));
    ASSERT_EQ(capture.source, &solid);

    clearTo(0, 0, 0);
    glViewport(0, 0, kWidth, kHeight);
    capture.prepare(777);
    EXPECT_EQ(solid.lastTime, 777);
    EXPECT_FALSE(solid.posted) << "only run is captured";

    const auto data = texels(capture.texture);
    ASSERT_EQ(data.size(), 64u * 64u * 4u);
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(data[2], 255);
    EXPECT_EQ(data[data.size() - 2], 255);

    // The corner is clear again, the rest of the frame untouched, the
    // viewport back and the scissor test off.
    EXPECT_TRUE(pixelIs(10, kHeight - 10, 0, 0, 0));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

// A source that gives up while it is captured, as a scene with a missing
// object does in author mode, which plays on after the error.
class FailingEffect : public Effect {
public:
    void init(int) override {}
    void run(int) override { throw std::runtime_error("scene has no object"); }
    void post() override {}
    void signal(SignalValue) override {}
};

TEST_F(CaptureBase, ASourceThatThrowsLeavesTheFramesViewportAndNoScissor) {
    FailingEffect failing;
    table.set(4, &failing);
    PlainCapture capture;
    capture.useEffectTable(table);
    capture.signal(SignalValue(CaptureEffect::SOURCE, 4));
    glViewport(0, 0, kWidth, kHeight);
    EXPECT_THROW(capture.prepare(10), std::runtime_error);
    // Every later frame, and every shot of it, is the whole frame again.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(CaptureBase, AnUnsetSourceOrAnEmptySlotCapturesNothing) {
    SolidEffect solid;
    table.set(4, &solid);
    PlainCapture capture;
    capture.useEffectTable(table);
    for (int id : {5, 32, -1, 1000}) {
        capture.signal(SignalValue(CaptureEffect::SOURCE, 4));
        capture.signal(SignalValue(CaptureEffect::SOURCE, id));
        EXPECT_EQ(capture.source, nullptr) << id;
        clearTo(1, 0, 0);
        capture.prepare(10);
        capture.capture(64, 64, capture.texture, 10);
        EXPECT_EQ(solid.lastTime, -1);
        // The texture keeps its start image, the frame its picture.
        const auto data = texels(capture.texture);
        EXPECT_EQ(std::count(data.begin(), data.end(), 127), static_cast<std::ptrdiff_t>(data.size()));
        EXPECT_TRUE(pixelIs(10, kHeight - 10, 255, 0, 0));
    }
}

TEST_F(CaptureBase, InitKeepsTheBlendStateAndPostDrawsNothing) {
    PlainCapture capture;
    capture.useEffectTable(table);
    capture.signal(SignalValue(LayerEffect::BLEND_ON, 0));
    capture.signal(SignalValue(LayerEffect::LAYER_X, 20));
    capture.init(0);
    EXPECT_TRUE(capture.blendOn);
    EXPECT_FLOAT_EQ(capture.alpha, 0.0f);
    EXPECT_FLOAT_EQ(capture.x, 0.2f);
    clearTo(1, 0, 0);
    capture.post();
    EXPECT_TRUE(pixelIs(320, 240, 255, 0, 0));
}

TEST(RequiredImage, GivesTheCachedImageOrEndsNamingTheFile) {
    TempDir dir;
    dir.enter();
    ppd_clear_archive();
    kpx_verbose_off();
    std::filesystem::create_directories("pics");
    kpximage* saved = kpx_create(4, 2, 24, 0);
    ASSERT_EQ(kpx_save_tga("pics/here.tga", saved, 0), 1);
    kpx_free(saved);

    ImageLibrary library;
    library.setPath("pics/");
    testing::internal::CaptureStdout();
    kpximage* image = requireImage(library, "here.tga");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(requireImage(library, "here.tga"), image);

    ScopedFatalErrorCapture capture;
    auto failure = [&](const char* name, const char* directory) {
        try {
            requireImage(library, name, directory);
        } catch (const FatalError& error) {
            return std::string(error.what());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(failure("missing.jpg", nullptr), "could not load image missing.jpg");
    EXPECT_EQ(failure("here.tga2", nullptr), "could not load image here.tga2");
    EXPECT_EQ(failure("other.pcx", "data/images/"), "could not load image data/images/other.pcx");
    dir.write("pics/broken.gif", "GIF89a\x01");
    EXPECT_EQ(failure("broken.gif", nullptr), "could not load image broken.gif");
    testing::internal::GetCapturedStdout();
    kpx_verbose_on();
}

}  // namespace
}  // namespace vantor::test
