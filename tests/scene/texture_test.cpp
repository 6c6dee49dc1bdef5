// Texture sizes, depths and render textures, read back from OpenGL.
#include "runtime/fatal_error.h"
#include "kpx/kpx.h"
#include "scene/scene_error.h"
#include "scene/texture.h"
#include "tests/scene/scene_fixture.h"

#include <array>

namespace vantor::test {
namespace {

using TextureTest = SceneTest;

GLint level0(GLenum target, GLenum what) {
    GLint value = 0;
    glGetTexLevelParameteriv(target, 0, what, &value);
    return value;
}

std::vector<unsigned char> texels(const Texture& texture, int count) {
    std::vector<unsigned char> out(std::size_t(count) * 4);
    texture.bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(texture.target(), 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

TEST_F(TextureTest, SidesBecomePowersOfTwoOfAtLeast64) {
    struct Case {
        int w, h, w2, h2;
    };
    for (const Case c : {Case{100, 30, 128, 64}, Case{64, 64, 64, 64}, Case{20, 20, 64, 64}, Case{65, 300, 128, 512}}) {
        kpximage* img = kpx_create(std::uint16_t(c.w), std::uint16_t(c.h), 32, 0);
        Texture texture(img, GL_TEXTURE_2D);
        texture.uploadTexture();
        ASSERT_NE(texture.glName(), 0u);
        EXPECT_EQ(img->width, c.w2);
        EXPECT_EQ(img->height, c.h2);
        texture.bind();
        EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), c.w2);
        EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), c.h2);
        kpx_free(img);
    }
}

TEST_F(TextureTest, DepthsAreBroughtToRedGreenBlueAlpha) {
    // 24 bits: red, green, blue, opaque.
    kpximage* rgb = kpx_create(64, 64, 24, 0);
    for (int i = 0; i < 64 * 64; ++i) rgb->image[3 * i] = 10, rgb->image[3 * i + 1] = 20, rgb->image[3 * i + 2] = 30;
    Texture fromRgb(rgb, GL_TEXTURE_2D);
    fromRgb.uploadTexture();
    EXPECT_EQ(rgb->bpp, 32);
    std::vector<unsigned char> t = texels(fromRgb, 64 * 64);
    EXPECT_EQ((std::vector<unsigned char>(t.begin(), t.begin() + 4)), (std::vector<unsigned char>{10, 20, 30, 255}));
    kpx_free(rgb);

    // 8 bits with a palette: the same colour, in the same order.
    kpximage* indexed = kpx_create(64, 64, 8, 256);
    indexed->palette[3 * 5] = 10, indexed->palette[3 * 5 + 1] = 20, indexed->palette[3 * 5 + 2] = 30;
    for (int i = 0; i < 64 * 64; ++i) indexed->image[i] = 5;
    Texture fromIndexed(indexed, GL_TEXTURE_2D);
    fromIndexed.uploadTexture();
    t = texels(fromIndexed, 64 * 64);
    EXPECT_EQ((std::vector<unsigned char>(t.begin(), t.begin() + 4)), (std::vector<unsigned char>{10, 20, 30, 255}));
    kpx_free(indexed);

    // An image without pixels makes no GL texture.
    kpximage* empty = kpx_create(0, 0, 24, 0);
    Texture fromEmpty(empty, GL_TEXTURE_2D);
    fromEmpty.uploadTexture();
    EXPECT_EQ(fromEmpty.glName(), 0u);
    kpx_free(empty);
}

TEST_F(TextureTest, TheCelPaletteIsA256TexelRampWithMeanAlpha) {
    Material material(images.get());
    const Texture* cel = material.celTexture();
    ASSERT_NE(cel->glName(), 0u);
    EXPECT_EQ(cel->target(), GLenum(GL_TEXTURE_1D));
    cel->bind();
    EXPECT_EQ(level0(GL_TEXTURE_1D, GL_TEXTURE_WIDTH), 256);
    const std::vector<unsigned char> t = texels(*cel, 256);
    // The test ramp: entry i is grey 128 + i / 2.
    EXPECT_EQ(t[4 * 10], 133);
    EXPECT_EQ(t[4 * 10 + 1], 133);
    EXPECT_EQ(t[4 * 10 + 3], 133);
    EXPECT_EQ(t[4 * 255 + 2], 255);

    // Without a palette file the material still comes up, without the GL texture.
    ImageLibrary empty;
    Material bare(&empty);
    EXPECT_EQ(bare.celTexture()->glName(), 0u);

    // Without any texture library the program ends.
    ScopedSceneErrorCapture capture;
    try {
        Material none(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const SceneErrorRaised& e) {
        EXPECT_STREQ(e.what(), "no imglib for texture");
    }
}

TEST_F(TextureTest, AColouredCelPaletteKeepsItsColoursAtEveryDepth) {
    // A 256 x 1 ramp of distinct red, green and blue, as a 24-bit picture and
    // as an 8-bit one with the same colours in its palette.
    const auto colour = [](int i) { return std::array<int, 3>{i, 255 - i, i / 2}; };
    kpximage* rgb = kpx_create(256, 1, 24, 0);
    kpximage* indexed = kpx_create(256, 1, 8, 256);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) {
            rgb->image[3 * i + c] = static_cast<unsigned char>(colour(i)[c]);
            indexed->palette[3 * i + c] = static_cast<unsigned char>(colour(i)[c]);
            indexed->image[i] = static_cast<unsigned char>(i);
        }
    for (kpximage* picture : {rgb, indexed}) {
        SCOPED_TRACE(picture->bpp);
        Texture ramp(picture, GL_TEXTURE_1D);
        ramp.uploadTexture();
        const std::vector<unsigned char> t = texels(ramp, 256);
        for (int i : {10, 200}) {
            const auto c = colour(i);
            EXPECT_EQ(t[4 * i], c[0]) << i;
            EXPECT_EQ(t[4 * i + 1], c[1]) << i;
            EXPECT_EQ(t[4 * i + 2], c[2]) << i;
            EXPECT_EQ(t[4 * i + 3], (c[0] + c[1] + c[2]) / 3) << i;
        }
        kpx_free(picture);
    }
}

TEST_F(TextureTest, RenderTexturesArePaddedWith127Blocks) {
    std::unique_ptr<Texture> exact(Texture::createRenderTexture(128, 128));
    exact->bind();
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 128);
    std::vector<unsigned char> t = texels(*exact, 128 * 128);
    EXPECT_EQ(std::count(t.begin(), t.end(), 127), 128 * 128 * 4);
    EXPECT_EQ(exact->image(), nullptr);

    std::unique_ptr<Texture> padded(Texture::createRenderTexture(100, 50));
    padded->bind();
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), 64);
    t = texels(*padded, 128 * 64);
    EXPECT_EQ(std::count(t.begin(), t.end(), 127), 100 * 50 * 4);
    EXPECT_EQ(t[4 * (49 * 128 + 99)], 127);
    EXPECT_EQ(t[4 * (49 * 128 + 100)], 0);
    EXPECT_EQ(t[4 * (50 * 128)], 0);

    std::unique_ptr<Texture> small(Texture::createRenderTexture(3, 5));
    small->bind();
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 8);

    ScopedFatalErrorCapture capture;
    EXPECT_THROW(Texture::createRenderTexture(1025, 8), FatalError);
    EXPECT_THROW(Texture::createRenderTexture(8, 2000), FatalError);
}

TEST_F(TextureTest, LoadFailsQuietlyForMissingImages) {
    EXPECT_EQ(loadTexture(images.get(), "nothing.tga", textureDirectory().c_str()), nullptr);
    Texture texture;
    EXPECT_FALSE(texture.load(images.get(), "nothing.tga", nullptr));
    EXPECT_EQ(texture.glName(), 0u);
}

}  // namespace
}  // namespace vantor::test
