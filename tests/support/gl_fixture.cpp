#include "tests/support/gl_fixture.h"

#include "platform/gl_api.h"

#include <string>

namespace vantor::test {

platform::OffscreenGL& GlTest::context() {
    static std::unique_ptr<platform::OffscreenGL> gl = [] {
        std::string error;
        auto created = platform::OffscreenGL::create(kWidth, kHeight, &error);
        if (!created) {
            ADD_FAILURE() << "offscreen GL context: " << error;
            std::abort();
        }
        return created;
    }();
    return *gl;
}

void GlTest::SetUp() {
    ASSERT_TRUE(context().makeCurrent());
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

std::array<std::uint8_t, 4> GlTest::pixel(int x, int y) {
    std::array<std::uint8_t, 4> rgba{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<std::uint8_t> GlTest::frame() { return context().readPixels(); }

unsigned makeTexture2x2(const std::uint8_t (&texels)[16]) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return texture;
}

void drawThroughSecondUnit(unsigned texture) {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        glMultiTexCoord2fARB(GL_TEXTURE1_ARB, c[0], c[1]);
        glVertex2f(c[0], c[1]);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

}  // namespace vantor::test
