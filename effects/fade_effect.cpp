#include "effects/fade_effect.h"

#include "effects/overlay_quad.h"
#include "platform/gl_api.h"

FadeEffect::FadeEffect(FadeColor color) : color_(color) {}

void FadeEffect::init(int time) {
    startTime_ = time;
    startLevel_ = 0.0f;
}

void FadeEffect::fadeOver(std::int64_t duration, float fromLevel, float endLevel) {
    if (duration == 0) {
        // Nothing to interpolate: the fade is complete from its start.
        startLevel_ = endLevel;
        rate_ = 0.0f;
        return;
    }
    startLevel_ = fromLevel;
    rate_ = (endLevel - fromLevel) / static_cast<float>(duration);
}

void FadeEffect::signal(SignalValue value) {
    const std::int64_t v = value.intValue;
    switch (value.code) {
    case CLEAR_AT: fadeOver(v - startTime_, 1.0f, 0.0f); break;
    case COLOUR_AT: fadeOver(v - startTime_, 0.0f, 1.0f); break;
    case COLOUR_OVER: fadeOver(v, 0.0f, 1.0f); break;
    case CLEAR_OVER: fadeOver(v, 1.0f, 0.0f); break;
    case RED: color_.r = static_cast<float>(v) / 255.0f; break;
    case GREEN: color_.g = static_cast<float>(v) / 255.0f; break;
    case BLUE: color_.b = static_cast<float>(v) / 255.0f; break;
    default: break;
    }
}

void FadeEffect::run(int time) {
    if (!running) return;
    const float elapsed = static_cast<float>(static_cast<std::int64_t>(time) - startTime_);
    level_ = elapsed * rate_ + startLevel_;
}

void FadeEffect::post() {
    if (!running || level_ == 0.0f) return;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    drawOverlayQuad(color_.r, color_.g, color_.b, level_);

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}
