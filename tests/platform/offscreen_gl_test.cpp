// The offscreen context must offer what the demo window offers, and draw.
#include "platform/gl_api.h"
#include "tests/support/gl_fixture.h"

namespace vantor::test {
namespace {

using OffscreenGlTest = GlTest;

TEST_F(OffscreenGlTest, OffersAlphaDepthStencilAndTwoTextureUnits) {
    GLint alpha = 0, depth = 0, stencil = 0, units = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    EXPECT_GE(alpha, 1);
    EXPECT_GE(depth, 16);
    EXPECT_GE(stencil, 8);
    EXPECT_GE(units, 2);
    EXPECT_NE(glActiveTextureARB, nullptr);
    EXPECT_NE(glMultiTexCoord2fARB, nullptr);
    EXPECT_NE(glMultiTexCoord2fvARB, nullptr);
}

TEST_F(OffscreenGlTest, DrawsATexturedQuadThroughTheSecondUnit) {
    // 2x2 texture: red, green / blue, white. Drawn on unit 1 so that the
    // multitexture entry points are really used.
    const std::uint8_t texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    const GLuint texture = makeTexture2x2(texels);
    drawThroughSecondUnit(texture);
    glDeleteTextures(1, &texture);

    // Texture row 0 lies at the bottom of the screen.
    const auto bottomLeft = pixel(kWidth / 4, kHeight * 3 / 4);
    const auto bottomRight = pixel(kWidth * 3 / 4, kHeight * 3 / 4);
    const auto topLeft = pixel(kWidth / 4, kHeight / 4);
    const auto topRight = pixel(kWidth * 3 / 4, kHeight / 4);
    EXPECT_EQ(bottomLeft[0], 255);
    EXPECT_EQ(bottomLeft[1], 0);
    EXPECT_EQ(bottomRight[1], 255);
    EXPECT_EQ(bottomRight[0], 0);
    EXPECT_EQ(topLeft[2], 255);
    EXPECT_EQ(topLeft[0], 0);
    EXPECT_EQ(topRight[0], 255);
    EXPECT_EQ(topRight[1], 255);
    EXPECT_EQ(topRight[2], 255);
}

TEST(OffscreenGlReadBack, RowsComeTopFirstForOddHeightsAndIntoAReusedBuffer) {
    // Each GL row (counted from the bottom) cleared to its own grey; the
    // middle row of an odd height stays where it is.
    for (const int height : {5, 4, 1}) {
        std::string error;
        auto gl = platform::OffscreenGL::create(3, height, &error);
        ASSERT_TRUE(gl) << error;
        glEnable(GL_SCISSOR_TEST);
        for (int y = 0; y < height; ++y) {
            glScissor(0, y, 3, 1);
            glClearColor(static_cast<float>(y * 40) / 255.0f, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glDisable(GL_SCISSOR_TEST);
        std::vector<std::uint8_t> rgba(1000, 7);  // larger than a frame: resized
        for (int read = 0; read < 2; ++read) {
            gl->readPixels(rgba);
            ASSERT_EQ(rgba.size(), static_cast<std::size_t>(3 * height * 4));
            for (int row = 0; row < height; ++row)
                EXPECT_EQ(rgba[static_cast<std::size_t>(row) * 12], (height - 1 - row) * 40)
                    << "height " << height << ", row " << row << ", read " << read;
        }
        EXPECT_EQ(gl->readPixels(), rgba);
    }
}

}  // namespace
}  // namespace vantor::test
