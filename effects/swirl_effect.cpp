#include "effects/swirl_effect.h"

#include <cmath>

SwirlEffect::SwirlEffect(ImageLibrary* library) : CaptureEffect(library) { setSize(kCaptureSize, kCaptureSize); }

void SwirlEffect::prepare(int time) {
    if (!source) return;
    capture(kCaptureSize, kCaptureSize, texture, time);
}

void SwirlEffect::start() {
    steps_.resume();
    CaptureEffect::start();
}

void SwirlEffect::advance(int time) {
    if (running && source)
        steps_.catchUp(stepOrigin, time, false, [this](int) { phase_ += kPhaseStep; });
    else
        steps_.skipTo(stepOrigin, time);
}

void SwirlEffect::run(int time) {
    if (!source) return;
    steps_.catchUp(stepOrigin, time, true, [this](int) { phase_ += kPhaseStep; });
    source->run(time);
    drawSwirl(kCopies, kSpace, kSpace);
}

void SwirlEffect::drawSwirl(int count, float w, float h) {
    beginAdditiveCopies(w, h);

    float copyAlpha = 0.8f;
    float inset = 0.0f;
    const float hw = w / 2;
    const float hh = h / 2;
    for (int i = 0; i < count; ++i) {
        const float angle = 360.0f * std::sin(static_cast<float>(i) * phase_ / count) + 8.0f * i;
        glTranslatef(hw, hh, 0);
        glRotatef(angle, 0, 0, 1);
        glColor4f(1, 1, 1, copyAlpha);
        texturedQuad(-hw + inset, hh - inset, hw - inset, -hh + inset);
        glRotatef(-angle, 0, 0, 1);
        glTranslatef(-hw, -hh, 0);
        copyAlpha += 0.005f;
        inset += 15.0f;
    }

    endAdditiveCopies();
}
