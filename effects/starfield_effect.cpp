#include "effects/starfield_effect.h"

StarfieldEffect::StarfieldEffect(ImageLibrary* library, kpximage* image) : ImageSequenceEffect(library, image) {}

void StarfieldEffect::init(int time) {
    ImageSequenceEffect::init(time);
    u0 = 0.0f;
    u1 = 1.0f / (static_cast<float>(bufferWidth) / static_cast<float>(textureWidth));
    start = time;
}

void StarfieldEffect::run(int time) {
    takeFrameSteps(time);
    u0 = static_cast<float>(static_cast<long long>(time) - start) * kScrollPerMs;
    u1 = u0 + static_cast<float>(textureWidth) / static_cast<float>(bufferWidth);
}

void StarfieldEffect::post() {
    pushOrthoMatrices(0, 1, 1, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    applyBlend();
    bindOnUnit0(texture);
    x = 0;
    y = 0;
    width = 1;
    height = 1;
    texturedQuad(0, 0, 1, 1, {u0, 0, u1, 1});
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    popOrthoMatrices();
}
