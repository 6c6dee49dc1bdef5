#include "effects/corner_capture.h"

void drawInCorner(int width, int height, const std::function<void()>& draw, CornerScissor scissor) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, width, height);
    if (scissor == CornerScissor::On) {
        glScissor(0, 0, width, height);
        glEnable(GL_SCISSOR_TEST);
    }
    draw();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (scissor == CornerScissor::On) glDisable(GL_SCISSOR_TEST);
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
