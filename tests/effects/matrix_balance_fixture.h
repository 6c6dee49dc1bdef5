// The offscreen context with a check after each test that the effect popped
// every matrix it pushed (both stack depths as before the test) and left no
// GL error: the base of the 2D effects' GL tests.
#pragma once

#include "platform/gl_api.h"
#include "tests/support/gl_fixture.h"

namespace vantor::test {

class MatrixBalanceTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth_);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth_);
    }
    void TearDown() override {
        GLint projection = 0, modelview = 0;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelview);
        EXPECT_EQ(projection, projectionDepth_);
        EXPECT_EQ(modelview, modelviewDepth_);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

private:
    GLint projectionDepth_ = 0;
    GLint modelviewDepth_ = 0;
};

}  // namespace vantor::test
