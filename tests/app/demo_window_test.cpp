// The demo window under Xvfb: framebuffer, initial GL state, projection,
// multitexture, and full-screen switches that keep the context.
#include "app/demo_window.h"
#include "app/show_frame.h"
#include "runtime/fatal_error.h"
#include "platform/gl_api.h"
#include "platform/gl_window.h"
#include "tests/support/gl_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <utility>
#include <vector>

namespace vantor::test {
namespace {

// Whether the display offers the 640 x 480 full-screen mode (a 640 x 480 Xvfb
// screen does, a larger one does not).
bool fullscreenModeOffered() {
    platform::GlWindow probe;
    return probe.initVideo() && probe.fullscreenModeAvailable(640, 480, 32);
}

GLuint makeCheckerTexture() {
    const std::uint8_t texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};
    return makeTexture2x2(texels);
}

// Draws the texture over the whole viewport and reads the back buffer's
// bottom-left and top-right quarters.
std::array<std::array<GLubyte, 4>, 2> drawTextureAndRead(GLuint texture) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(1, 0);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(0, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glFinish();
    std::array<std::array<GLubyte, 4>, 2> pixels{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(160, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels[0].data());
    glReadPixels(480, 360, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels[1].data());
    return pixels;
}

TEST(DemoWindow, GivesA640x480ContextWithAlphaDepthStencilAndMultitexture) {
    DemoWindow window(false, "Vantor", 640, 480);
    int width = 0, height = 0;
    window.glWindow().drawableSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);

    GLint alpha = 0, depth = 0, stencil = 0, units = 0;
    GLboolean doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_GE(alpha, 1);
    EXPECT_GE(depth, 16);
    EXPECT_GE(stencil, 8);
    EXPECT_GE(units, 2);
    EXPECT_TRUE(doubleBuffered);
    EXPECT_NE(glActiveTextureARB, nullptr);
    EXPECT_NE(glMultiTexCoord2fARB, nullptr);
    EXPECT_NE(glMultiTexCoord2fvARB, nullptr);

    // The initial state every effect may find.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depthFunc = 0, hint = 0, viewport[4] = {};
    GLfloat clearColour[4] = {1, 1, 1, 1};
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(hint, GL_NICEST);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    for (float c : clearColour) EXPECT_EQ(c, 0.0f);

    // The multitexture entry points really draw: a texture on unit 1.
    const GLuint texture = makeCheckerTexture();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawThroughSecondUnit(texture);
    GLubyte rgba[4] = {};
    glReadPixels(160, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[0], 255);
    EXPECT_EQ(rgba[1], 0);
    glDeleteTextures(1, &texture);
}

TEST(DemoWindow, ResizeGivesA45DegreePerspectiveOnTheFourToThreeShow) {
    DemoWindow window(false, "Vantor", 640, 480);
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double zNear = 0.1, zFar = 20000.0;
    // A 4:3 client area is the show; a wider one holds it between bars, in a
    // frame buffer of its own whose viewport starts at the corner; a
    // minimised (0 x 0) one still gives a 1 x 1 show.
    for (auto [w, h, showW, showH] : {std::tuple{640, 480, 640, 480}, std::tuple{1920, 1080, 1440, 1080},
                                      std::tuple{10, 10, 10, 8}, std::tuple{0, 0, 1, 1}}) {
        window.resize(w, h);
        GLint viewport[4] = {};
        GLfloat projection[16] = {};
        GLfloat modelview[16] = {};
        GLint mode = 0;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[2], showW) << w << "x" << h;
        EXPECT_EQ(viewport[3], showH) << w << "x" << h;
        const double aspect = static_cast<double>(showW) / showH;
        EXPECT_NEAR(projection[0], f / aspect, 1e-5);
        EXPECT_NEAR(projection[5], f, 1e-5);
        EXPECT_NEAR(projection[10], (zFar + zNear) / (zNear - zFar), 1e-5);
        EXPECT_NEAR(projection[14], 2 * zFar * zNear / (zNear - zFar), 1e-5);
        EXPECT_FLOAT_EQ(projection[11], -1.0f);
        EXPECT_EQ(mode, GL_MODELVIEW);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f);
    }
}

// Fills the show with white, puts it into the window between its bars and
// reads the back buffer's row through the middle of the client area.
std::vector<GLubyte> whiteShowRow(DemoWindow& window, int width, int height) {
    window.clearFrame();
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1, 1, 1, 1);
    glRectf(0, 0, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    window.show().present();
    glFinish();
    std::vector<GLubyte> row(static_cast<std::size_t>(width) * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, height / 2, width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    window.swapBuffers();
    (void)height;
    return row;
}

// The default: full screen at the desktop's own mode (the whole screen of the
// X server, no mode change), pointer hidden, the show 4:3 between black bars
// on a wide screen; Control+F1 into a window of 640 x 480 and back, the
// context kept throughout.
TEST(DemoWindow, DesktopModeCoversTheScreenWithTheShowInItsShapeAndSwitchesToAWindow) {
    DemoWindow window(DemoWindow::ScreenMode::Desktop, "Vantor", 640, 480);
    EXPECT_TRUE(window.fullscreen());
    EXPECT_TRUE(window.glWindow().isFullscreen());
    EXPECT_FALSE(platform::GlWindow::pointerShown());
    int width = 0, height = 0;
    window.glWindow().drawableSize(width, height);
    const ShowRect rect = window.show().rect();
    EXPECT_EQ(rect, showRectIn(width, height)) << width << "x" << height;
    std::printf("desktop %dx%d, show %dx%d at %d,%d\n", width, height, rect.width, rect.height, rect.x, rect.y);

    const auto row = whiteShowRow(window, width, height);
    for (int x = 0; x < width; ++x) {
        const bool inShow = x >= rect.x && x < rect.x + rect.width;
        ASSERT_EQ(row[x * 4], inShow ? 255 : 0) << "x " << x << (inShow ? " in the show" : " in a bar");
        ASSERT_EQ(row[x * 4 + 2], inShow ? 255 : 0) << "x " << x;
    }

    const GLuint texture = makeCheckerTexture();
    window.toggleFullscreen();
    EXPECT_FALSE(window.fullscreen());
    EXPECT_FALSE(window.glWindow().isFullscreen());
    EXPECT_TRUE(platform::GlWindow::pointerShown());
    window.glWindow().drawableSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(window.show().rect(), (ShowRect{0, 0, 640, 480}));

    window.toggleFullscreen();
    EXPECT_TRUE(window.fullscreen());
    EXPECT_TRUE(window.glWindow().isFullscreen());
    EXPECT_FALSE(platform::GlWindow::pointerShown());
    EXPECT_TRUE(glIsTexture(texture));
    glDeleteTextures(1, &texture);
}

// A window (author mode's) keeps the show's shape at every size it is given,
// down to 10 x 10 and a minimised 0 x 0; Control+F1 takes it to the
// desktop's full screen, not to a mode change.
TEST(DemoWindow, AWindowKeepsTheShapeAtAnySizeAndGoesFullScreenAtTheDesktopsMode) {
    DemoWindow window(DemoWindow::ScreenMode::Window, "Vantor", 640, 480);
    EXPECT_FALSE(window.fullscreen());
    EXPECT_TRUE(platform::GlWindow::pointerShown());
    for (auto [w, h] : {std::pair{800, 450}, std::pair{300, 600}, std::pair{10, 10}, std::pair{0, 0}}) {
        window.resize(w, h);
        const ShowRect rect = window.show().rect();
        EXPECT_EQ(rect, showRectIn(w, h));
        window.clearFrame();
        window.swapBuffers();
    }
    window.resize(640, 480);
    window.toggleFullscreen();
    EXPECT_TRUE(window.fullscreen());
    EXPECT_TRUE(window.glWindow().isFullscreen());
    window.toggleFullscreen();
    EXPECT_FALSE(window.glWindow().isFullscreen());
}

TEST(DemoWindow, HasExtensionMatchesWholeLinesOnly) {
    const char* list = "GL_ARB_texture_env_add\nGL_ARB_multitexture\nGL_EXT_bgra";
    EXPECT_TRUE(DemoWindow::hasExtension(list, "GL_ARB_multitexture"));
    EXPECT_TRUE(DemoWindow::hasExtension(list, "GL_EXT_bgra"));
    EXPECT_TRUE(DemoWindow::hasExtension(list, "GL_ARB_texture_env_add"));
    EXPECT_FALSE(DemoWindow::hasExtension(list, "GL_ARB_multi"));
    EXPECT_FALSE(DemoWindow::hasExtension(list, "GL_ARB_multitexture_x"));
    EXPECT_FALSE(DemoWindow::hasExtension(list, "ARB_multitexture"));
    EXPECT_FALSE(DemoWindow::hasExtension(list, ""));
    EXPECT_FALSE(DemoWindow::hasExtension("", "GL_EXT_bgra"));
    EXPECT_TRUE(DemoWindow::hasExtension("a\n\nb", ""));
}

TEST(DemoWindow, TexturesSurviveTwoFullscreenToggles) {
    DemoWindow window(false, "Vantor", 640, 480);
    const bool offered = fullscreenModeOffered();
    const GLuint texture = makeCheckerTexture();
    const auto before = drawTextureAndRead(texture);

    window.toggleFullscreen();
    EXPECT_EQ(window.fullscreen(), offered);
    EXPECT_EQ(window.glWindow().isFullscreen(), offered);
    window.toggleFullscreen();
    EXPECT_FALSE(window.fullscreen());
    EXPECT_FALSE(window.glWindow().isFullscreen());

    // Same context: the texture name is still a texture with its texels.
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_NE(glActiveTextureARB, nullptr);
    const auto after = drawTextureAndRead(texture);
    EXPECT_EQ(after, before);
    EXPECT_EQ(after[0][0], 255) << "bottom left is the red texel";
    EXPECT_EQ(after[1][2], 0);
    EXPECT_EQ(after[1][1], 255) << "top right is the yellow texel";
    window.swapBuffers();
}

TEST(DemoWindow, RefusedFullscreenRequestRunsInAWindowAfterTheQuestion) {
    if (fullscreenModeOffered()) GTEST_SKIP() << "the display offers 640 x 480";
    ::testing::internal::CaptureStderr();
    DemoWindow window(true, "Vantor", 640, 480);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("requested fullscreen mode not supported, run window?"), std::string::npos) << said;
    EXPECT_FALSE(window.fullscreen());
    EXPECT_FALSE(window.glWindow().isFullscreen());
    int width = 0, height = 0;
    window.glWindow().drawableSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
}

TEST(DemoWindow, FullscreenRequestWhereTheModeExistsSwitchesTheMode) {
    if (!fullscreenModeOffered()) GTEST_SKIP() << "the display has no 640 x 480 mode";
    DemoWindow window(true, "Vantor", 640, 480);
    EXPECT_TRUE(window.fullscreen());
    EXPECT_TRUE(window.glWindow().isFullscreen());
    const GLuint texture = makeCheckerTexture();
    window.toggleFullscreen();
    EXPECT_FALSE(window.fullscreen());
    window.toggleFullscreen();
    EXPECT_TRUE(window.fullscreen());
    EXPECT_TRUE(glIsTexture(texture));
}

// A fatal error gives the display its mode back before its box: the window and
// its context are gone by the time the sink (the box) gets the text, in full
// screen as in a window; a window closed before the error is not touched.
TEST(DemoWindow, AFatalErrorReleasesTheWindowBeforeTheBox) {
    for (const bool fullscreen : {false, fullscreenModeOffered()}) {
        DemoWindow window(fullscreen, "Vantor", 640, 480);
        ASSERT_TRUE(window.glWindow().hasContext());
        bool windowAtTheBox = true;
        bool contextAtTheBox = true;
        const FatalErrorSink previous = setFatalErrorSink([&](const std::string& text) {
            windowAtTheBox = window.glWindow().hasWindow();
            contextAtTheBox = window.glWindow().hasContext();
            throw FatalError(text);
        });
        EXPECT_THROW(fatalError("could not load image", -1), FatalError);
        setFatalErrorSink(previous);
        EXPECT_FALSE(windowAtTheBox) << "full screen: " << fullscreen;
        EXPECT_FALSE(contextAtTheBox) << "full screen: " << fullscreen;
        EXPECT_FALSE(window.fullscreen());
    }

    DemoWindow closed(false, "Vantor", 640, 480);
    closed.release();
    ScopedFatalErrorCapture capture;
    EXPECT_THROW(fatalError("after the window", -1), FatalError);
}

}  // namespace
}  // namespace vantor::test
