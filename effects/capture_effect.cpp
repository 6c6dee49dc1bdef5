#include "effects/capture_effect.h"

CaptureEffect::CaptureEffect(ImageLibrary* library) : imageLibrary(library) {}

void CaptureEffect::init(int time) { (void)time; }

void CaptureEffect::post() {}

void CaptureEffect::signal(SignalValue value) {
    LayerEffect::signal(value);
    if (value.code == SOURCE) chooseDrawn(source, value.intValue, *this);
}

void CaptureEffect::beginAdditiveCopies(float w, float h) const {
    glDisable(GL_CULL_FACE);
    bindOnUnit0(texture);
    glDisable(GL_DEPTH_TEST);
    pushOrthoMatrices(0, w, h, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void CaptureEffect::endAdditiveCopies() {
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    popOrthoMatrices();
    glEnable(GL_DEPTH_TEST);
}

void CaptureEffect::capture(int captureWidth, int captureHeight, GLuint target, int time) {
    // The subclasses check for a source first; a capture without one would
    // copy whatever the corner holds, so it is refused here as well.
    if (!source) return;
    captureCorner(captureWidth, captureHeight, target, [&] { source->run(time); });
    glDisable(GL_TEXTURE_2D);
}
