#include "effects/flash_effect.h"

#include "effects/overlay_quad.h"
#include "platform/gl_api.h"

#include <cstdint>

FlashEffect::FlashEffect() { running = false; }

void FlashEffect::init(int time) { (void)time; }

void FlashEffect::signal(SignalValue value) {
    // A flash that had gone out decays from the moment it is lit.
    if ((value.code == ONCE || value.code == EVERY) && !running) steps_.resume();
    switch (value.code) {
    case ONCE:
        running = true;
        level_ = 1.0f;
        interval_ = -1.0f;
        break;
    case EVERY:
        running = true;
        level_ = 1.0f;
        interval_ = static_cast<float>(value.intValue);
        lastFlash_ = 0;
        break;
    default: break;
    }
}

void FlashEffect::advance(int time) {
    if (running)
        steps_.catchUp(stepOrigin, time, false, [this](int t) { step(t); });
    else
        steps_.skipTo(stepOrigin, time);
}

void FlashEffect::run(int time) {
    if (!running) return;
    steps_.catchUp(stepOrigin, time, true, [this](int t) { step(t); });
}

void FlashEffect::step(int time) {
    // A single flash that went out takes no more steps.
    if (!running) return;
    level_ -= kDecayPerFrame;
    if (level_ <= 0.0f) {
        if (interval_ < 0.0f)
            running = false;
        else
            level_ = 0.0f;
    }
    const float sinceLast = static_cast<float>(static_cast<std::int64_t>(time) - lastFlash_);
    if (interval_ > 0.0f && sinceLast > interval_) {
        level_ = 1.0f;
        lastFlash_ = time;
    }
}

void FlashEffect::post() {
    if (!running || level_ == 0.0f) return;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawOverlayQuad(1, 1, 1, level_);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
