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

    // Without the scissor: the clear after the copy clears the whole buffer.
    captureCorner(
        kCaptureSize, kCaptureSize, texture, [&] { source->run(time); }, CornerScissor::Off);
    glDisable(GL_TEXTURE_2D);
}

void AddCaptureEffect::run(int time) {
    (void)time;
    if (!source) return;
    bindOnUnit0(texture);
    drawAdditiveOverlay(alpha, kTopCoordinate);
}
