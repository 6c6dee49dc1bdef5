#include "effects/zoom_blur_effect.h"

ZoomBlurEffect::ZoomBlurEffect(ImageLibrary* library) : CaptureEffect(library) {
    setSize(kCaptureSize, kCaptureSize);
}

void ZoomBlurEffect::prepare(int time) {
    if (!source) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, kCaptureSize, kCaptureSize);
    glScissor(0, 0, kCaptureSize, kCaptureSize);
    glEnable(GL_SCISSOR_TEST);

    source->run(time);
    copyCorner(kCaptureSize, kCaptureSize, texture);

    // Blur the capture once inside the corner and take it again.
    drawZoomBlur(kCaptureCopies, static_cast<float>(viewport[2]), static_cast<float>(viewport[3]));
    copyCorner(kCaptureSize, kCaptureSize, texture);

    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glDisable(GL_SCISSOR_TEST);
}

void ZoomBlurEffect::run(int time) {
    if (!source) return;
    source->run(time);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    drawZoomBlur(kCopies, static_cast<float>(viewport[2]), static_cast<float>(viewport[3]));
}

void ZoomBlurEffect::drawZoomBlur(int count, float w, float h) {
    beginAdditiveCopies(w, h);

    float copyAlpha = 0.25f;
    float e = 0.0f;
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        glColor4f(0.7f, 0.7f, 1.0f, copyAlpha);
        glTexCoord2f(e, e);
        glVertex2f(0, h);
        glTexCoord2f(1 - e, e);
        glVertex2f(w, h);
        glTexCoord2f(1 - e, 1 - e);
        glVertex2f(w, 0);
        glTexCoord2f(e, 1 - e);
        glVertex2f(0, 0);
        copyAlpha -= 0.009f;
        e += 0.012f;
    }
    glEnd();

    endAdditiveCopies();
}
