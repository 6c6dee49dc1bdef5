#include "effects/noise_effect.h"

NoiseEffect::NoiseEffect() : noise(static_cast<std::size_t>(kSize) * kSize * 4) {
    setSize(kSize, kSize);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    pixels = noise.data();
    fillNoise();
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, noise.data());
    alpha = kAlpha;
}

void NoiseEffect::fillNoise() {
    for (std::size_t i = 0; i < noise.size(); i += 4) {
        const auto g = static_cast<unsigned char>(random_.unit() * 255.0f);
        noise[i] = g;
        noise[i + 1] = g;
        noise[i + 2] = g;
        noise[i + 3] = 255;
    }
}

void NoiseEffect::init(int time) {
    (void)time;
    alpha = kAlpha;
}

void NoiseEffect::start() {
    steps_.resume();
    LayerEffect::start();
}

void NoiseEffect::step() {
    if (regenerate) rerollDue_ = true;
}

void NoiseEffect::advance(int time) {
    if (running)
        steps_.catchUp(stepOrigin, time, false, [this](int) { step(); });
    else
        steps_.skipTo(stepOrigin, time);
}

void NoiseEffect::run(int time) {
    steps_.catchUp(stepOrigin, time, true, [this](int) { step(); });
    if (rerollDue_) fillNoise();
    rerollDue_ = false;
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, noise.data());
}

void NoiseEffect::post() {
    const Viewport v = currentViewport();
    const float left = v.x, top = v.y, right = v.width, bottom = v.height;
    pushOrthoMatrices(left, right, bottom, top);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bindOnUnit0(texture);
    glColor4f(1, 1, 1, alpha);
    texturedQuad(left, top, right, bottom);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    popOrthoMatrices();
}

void NoiseEffect::signal(SignalValue value) {
    LayerEffect::signal(value);
    if (value.code == REROLL) regenerate = value.intValue != 0;
    if (value.code == NOISE_ALPHA) alpha = static_cast<float>(value.intValue) / 100.0f;
}
