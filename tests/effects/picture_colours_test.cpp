// Palette (8-bit PCX and GIF) and 5-6-5 (16-bit TGA) pictures through every
// effect that takes pictures by name or at construction: each shows them in
// their own colours (the conversion to 32 bits gives such pictures in another
// byte order than OpenGL reads).
#include "runtime/effect_table.h"
#include "effects/image_sequence_effect.h"
#include "effects/logo_effect.h"
#include "effects/picture_in_picture_effect.h"
#include "effects/starfield_effect.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "tests/effects/layer_fixture.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <string>

namespace vantor::test {
namespace {

constexpr int kW = 16;
constexpr int kH = 8;

// Left half one colour, right half another, in three files of the depths
// that come out of kpx_convert_32 turned round.
class PictureColours : public LayerTest {
protected:
    void SetUp() override {
        LayerTest::SetUp();
        if (kpx_verbose()) kpx_verbose_off();
        KpxPtr pcx(kpx_create(kW, kH, 8, 256));
        pcx->palette[3] = 255;          // entry 1: red
        pcx->palette[2 * 3 + 2] = 255;  // entry 2: blue
        for (int i = 0; i < kW * kH; ++i) pcx->image[i] = (i % kW) < kW / 2 ? 1 : 2;
        ASSERT_TRUE(kpx_save_pcx(dir.file("eight.pcx").c_str(), pcx.get()));

        GifSpec gif;
        GifFrame frame;
        frame.width = kW;
        frame.height = kH;
        for (int i = 0; i < kW * kH; ++i) frame.indices.push_back((i % kW) < kW / 2 ? 36 : 5);
        gif.frames.push_back(frame);
        dir.write("eight.gif", gifFile(gif));

        TgaSpec tga;
        tga.depth = 16;
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < kW * kH; ++i) {
            const int value = (i % kW) < kW / 2 ? 0x7C00 | 0x0200 : 0x001F | 0x0100;  // 5-5-5, little endian
            pixels.push_back(static_cast<std::uint8_t>(value & 0xFF));
            pixels.push_back(static_cast<std::uint8_t>(value >> 8));
        }
        dir.write("sixteen.tga", tgaFile(tga, kW, kH, pixels));
        images.setPath((dir.path().string() + "/").c_str());
    }

    // The two colours of the named file as its reader gives them.
    std::pair<Rgba, Rgba> coloursOf(const char* name) {
        ImageLibrary fresh;
        fresh.setPath((dir.path().string() + "/").c_str());
        const kpximage* record = fresh.getImage(name);
        EXPECT_NE(record, nullptr) << name;
        if (!record) return {};
        EXPECT_LE(record->bpp, 16) << name;
        return {recordPixel(record, 0, 0), recordPixel(record, kW - 1, 0)};
    }

    // Texel (x, 0) of a layer's texture: the picture's colour, alpha the mean
    // of the colour (a sequence's picture) or opaque.
    static ::testing::AssertionResult texelShows(GLuint texture, int x, const Rgba& c, bool opaque = false) {
        const auto t = texels(texture);
        const std::size_t i = static_cast<std::size_t>(x) * 4;
        const int alpha = opaque ? 255 : (c.r + c.g + c.b) / 3;
        if (t[i] == c.r && t[i + 1] == c.g && t[i + 2] == c.b && t[i + 3] == alpha)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "texel " << x << ": " << int(t[i]) << " " << int(t[i + 1]) << " " << int(t[i + 2]) << " "
               << int(t[i + 3]) << ", expected " << c.r << " " << c.g << " " << c.b << " " << alpha;
    }

    static constexpr const char* kFiles[] = {"eight.pcx", "eight.gif", "sixteen.tga"};
    TempDir dir;
    ImageLibrary images;
};

TEST_F(PictureColours, SequencesLogoAndStarfieldUploadThemInTheirColours) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const auto [left, right] = coloursOf(name);
        ImageLibrary library;
        library.setPath((dir.path().string() + "/").c_str());
        // At construction (the first picture) ...
        ImageSequenceEffect sequence(&library, library.getImage(name));
        EXPECT_TRUE(texelShows(sequence.texture, 0, left));
        EXPECT_TRUE(texelShows(sequence.texture, kW - 1, right));
        LogoEffect logo(&library, library.getImage(name));
        EXPECT_TRUE(texelShows(logo.texture, kW - 1, right));
        StarfieldEffect stars(&library, library.getImage(name));
        EXPECT_TRUE(texelShows(stars.texture, 0, left));
    }
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const auto [left, right] = coloursOf(name);
        // ... appended by name (31) and shown by advancing (30), or shown by
        // name (110, which keeps the picture opaque).
        ImageLibrary library;
        library.setPath((dir.path().string() + "/").c_str());
        KpxPtr first(kpx_create(4, 4, 24, 0));
        ImageSequenceEffect appended(&library, first.get());
        appended.signal(SignalValue(31, std::string(name)));
        appended.signal(SignalValue(30, 0));
        EXPECT_TRUE(texelShows(appended.texture, 0, left));
        ImageLibrary other;
        other.setPath((dir.path().string() + "/").c_str());
        ImageSequenceEffect shown(&other, first.get());
        shown.signal(SignalValue(110, std::string(name)));
        EXPECT_TRUE(texelShows(shown.texture, kW - 1, right, true));
    }
}

TEST_F(PictureColours, TheInsetFrameShowsThemInTheirColours) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const auto [left, right] = coloursOf(name);
        PictureInPictureEffect inset(&images);
        inset.signal(SignalValue(110, std::string(name)));
        ASSERT_TRUE(inset.hasFrame());
        clearTo(0, 0, 0);
        inset.run(0);
        // The frame covers the bottom-left quarter of the screen.
        EXPECT_TRUE(pixelIs(kWidth / 16, kHeight * 7 / 8, left.r, left.g, left.b));
        EXPECT_TRUE(pixelIs(kWidth / 2 - kWidth / 16, kHeight * 7 / 8, right.r, right.g, right.b));
    }
}

}  // namespace
}  // namespace vantor::test
