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

}  // namespace vantor::test
