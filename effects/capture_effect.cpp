#include "effects/capture_effect.h"

#include "app/effect_table.h"

CaptureEffect::CaptureEffect(ImageLibrary* library) : imageLibrary(library) {}

void CaptureEffect::init(int time) { (void)time; }

void CaptureEffect::post() {}

void CaptureEffect::signal(SignalValue value) {
    LayerEffect::signal(value);
    if (value.code == SOURCE) {
        source = EffectTable::instance().get(value.intValue);
        // An effect capturing itself would run itself without end.
        if (source == this) source = nullptr;
    }
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
    popModelviewThenProjection();
    glEnable(GL_DEPTH_TEST);
}

void CaptureEffect::copyCorner(int width, int height, GLuint target) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, target);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, width, height, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CaptureEffect::capture(int captureWidth, int captureHeight, GLuint target, int time) {
    // The subclasses check for a source first; a capture without one would
    // copy whatever the corner holds, so it is refused here as well.
    if (!source) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, captureWidth, captureHeight);
    glScissor(0, 0, captureWidth, captureHeight);
    glEnable(GL_SCISSOR_TEST);

    source->run(time);
    copyCorner(captureWidth, captureHeight, target);

    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glDisable(GL_SCISSOR_TEST);
}
