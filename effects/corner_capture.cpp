#include "effects/corner_capture.h"

namespace {

// The frame's viewport and scissor test as they were before the corner took
// them, put back however the corner's drawing ends: a source that gives up
// half-way (author mode plays on after it) must not leave every later frame,
// and every shot, drawn into the corner.
class CornerState {
public:
    explicit CornerState(CornerScissor scissor) : scissor_(scissor) { glGetIntegerv(GL_VIEWPORT, viewport_); }
    ~CornerState() {
        glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
        if (scissor_ == CornerScissor::On) glDisable(GL_SCISSOR_TEST);
    }
    CornerState(const CornerState&) = delete;
    CornerState& operator=(const CornerState&) = delete;

private:
    CornerScissor scissor_;
    GLint viewport_[4];
};

}  // namespace

void drawInCorner(int width, int height, const std::function<void()>& draw, CornerScissor scissor) {
    const CornerState frameState(scissor);
    glViewport(0, 0, width, height);
    if (scissor == CornerScissor::On) {
        glScissor(0, 0, width, height);
        glEnable(GL_SCISSOR_TEST);
    }
    draw();
}

void copyCorner(int width, int height, GLuint target) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, target);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, width, height, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void captureCorner(int width, int height, GLuint target, const std::function<void()>& draw, CornerScissor scissor) {
    drawInCorner(
        width, height,
        [&] {
            draw();
            copyCorner(width, height, target);
        },
        scissor);
}
