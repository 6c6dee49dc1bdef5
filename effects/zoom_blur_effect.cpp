#include "effects/zoom_blur_effect.h"

ZoomBlurEffect::ZoomBlurEffect(ImageLibrary* library) : CaptureEffect(library) { setSize(kCaptureSize, kCaptureSize); }

void ZoomBlurEffect::prepare(int time) {
    if (!source) return;
    const Viewport screen = currentViewport();
    drawInCorner(kCaptureSize, kCaptureSize, [&] {
        source->run(time);
        copyCorner(kCaptureSize, kCaptureSize, texture);
        // Blur the capture once inside the corner and take it again.
        drawZoomBlur(kCaptureCopies, screen.width, screen.height);
        copyCorner(kCaptureSize, kCaptureSize, texture);
    });
    glDisable(GL_TEXTURE_2D);
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

    // Each copy magnified a little more (e of the texture left out at each
    // edge) and fainter; texture row 0 at the bottom.
    float copyAlpha = 0.25f;
    float e = 0.0f;
    for (int i = 0; i < count; ++i) {
        glColor4f(0.7f, 0.7f, 1.0f, copyAlpha);
        texturedQuad(0, h, w, 0, {e, e, 1 - e, 1 - e});
        copyAlpha -= 0.009f;
        e += 0.012f;
    }

    endAdditiveCopies();
}
