#include "effects/scratch_effect.h"

#include "effects/ortho_matrices.h"
#include "platform/gl_api.h"

#include <algorithm>
#include <cstdint>

ScratchEffect::ScratchEffect() = default;

void ScratchEffect::init(int time) { startTime_ = time; }

void ScratchEffect::signal(SignalValue value) { (void)value; }

void ScratchEffect::post() {}

void ScratchEffect::reroll(float width, float maxWidth) {
    for (Stripe& stripe : stripes_) {
        stripe.alpha = kMaxAlpha * random_.unit();
        stripe.left = width * random_.unit();
        stripe.right = stripe.left + maxWidth * random_.unit();
    }
}

void ScratchEffect::run(int time) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float x = static_cast<float>(viewport[0]);
    const float y = static_cast<float>(viewport[1]);
    const float w = static_cast<float>(viewport[2]);
    const float h = static_cast<float>(viewport[3]);

    pushOrthoMatrices(x, w, h, y);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    if (static_cast<std::int64_t>(time) - startTime_ > kInterval) {
        // kMaxWidth pixels of the 640 x 480 show, as much wider on a larger one.
        reroll(w, kMaxWidth * std::max(1.0f, h / 480.0f));
        startTime_ = time;
    }

    glBegin(GL_QUADS);
    for (const Stripe& stripe : stripes_) {
        glColor4f(0, 0, 0, stripe.alpha);
        glVertex2f(stripe.left, y);
        glVertex2f(stripe.right, y);
        glVertex2f(stripe.right, h);
        glVertex2f(stripe.left, h);
    }
    glEnd();

    // The depth test stays off (see the exception in runtime/effect.h).
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    popOrthoMatrices();
}
