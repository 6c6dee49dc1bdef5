#include "effects/mosaic_glow_effect.h"

#include "effects/additive_overlay.h"

MosaicGlowEffect::MosaicGlowEffect(ImageLibrary* library) : CaptureEffect(library) {
    smallTexture_ = makeTexture(kSmallCapture, kSmallCapture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    setSize(kLargeCapture, kLargeCapture);
    largeTexture_ = texture;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void MosaicGlowEffect::prepare(int time) {
    if (!source) return;
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    capture(kSmallCapture, kSmallCapture, smallTexture_.name(), time);
    capture(kLargeCapture, kLargeCapture, largeTexture_, time);
}

void MosaicGlowEffect::run(int time) {
    if (!source) return;
    source->run(time);
    bindOnUnit0(smallTexture_.name());
    drawAdditiveOverlay(alpha, 1.0f);
    bindOnUnit0(largeTexture_);
    drawAdditiveOverlay(alpha, 1.0f);
}
