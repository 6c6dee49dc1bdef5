#include "effects/add_capture_effect.h"

#include "effects/additive_overlay.h"

AddCaptureEffect::AddCaptureEffect(ImageLibrary* library) : CaptureEffect(library) {
    setSize(kCaptureSize, kCaptureSize);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    alpha = 1.0f;
}

void AddCaptureEffect::prepare(int time) {
    if (!source) return;
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, kCaptureSize, kCaptureSize);
    source->run(time);
    copyCorner(kCaptureSize, kCaptureSize, texture);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void AddCaptureEffect::run(int time) {
    (void)time;
    if (!source) return;
    bindOnUnit0(texture);
    drawAdditiveOverlay(alpha, kTopCoordinate);
}
