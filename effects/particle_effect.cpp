#include "effects/particle_effect.h"

#include "effects/random15.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"

#include <cmath>

namespace {

constexpr float kSpinDegreesPerMs = 0.01f;
constexpr float kTilt = 20.0f;
constexpr float kDistance = -6.0f;

// Column-major 4 x 4 matrix times (x, y, z, 1), the first three rows.
void transformPoint(const GLfloat m[16], float x, float y, float z, float out[3]) {
    for (int row = 0; row < 3; ++row) out[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

}  // namespace

kpximage* makeParticleSprite(kpximage* image) {
    kpx_convert_32(image);
    kpx_swap_colors(image);
    return image;
}

ParticleEffect::ParticleEffect(kpximage* sprite) : texture_(sprite, GL_TEXTURE_2D) {
    // A jittered spiral in the plane y = 0: about 2.4 turns from the centre
    // out to radius 1.5.
    Random15 random;
    float radius = 0.0f;
    float angle = 0.0f;
    particles_.resize(kCount);
    for (Particle& p : particles_) {
        const float r1 = random.unit();
        const float r2 = random.unit();
        const float r3 = random.unit();
        const float r4 = random.unit();
        p.x = 0.4f * r1 + std::sin(angle) * radius - 0.2f;
        p.y = 0.0f;
        p.z = 0.4f * r2 + std::cos(angle) * radius - 0.2f;
        p.size = 0.5f * r3;
        p.vx = p.vy = p.vz = 0.0f;
        p.alpha = r4;
        p.alphaStep = 0.0f;
        radius += 1.5f / count_;
        angle += 15.0f / count_;
    }
    texture_.uploadTexture();
}

void ParticleEffect::init(int time) {
    fade_ = -1.0f;
    fadeStart_ = time;
    fadeDirection_ = 1.0f;
    fadeDuration_ = 1000;
}

void ParticleEffect::post() {}

void ParticleEffect::signal(SignalValue value) {
    applyIntegerSignal(value);
    switch (value.code) {
    case DURATION: fadeDuration_ = value.intValue; break;
    case FADE_IN:
        fadeDirection_ = 1.0f;
        fade_ = -1.0f;
        fadeStart_ = lastStepTime_;
        break;
    case FADE_OUT:
        fadeDirection_ = -1.0f;
        fade_ = 0.0f;
        fadeStart_ = lastStepTime_;
        break;
    default: break;
    }
}

void ParticleEffect::updateFade(int time) {
    if (fadeDuration_ != 0) {
        fade_ += static_cast<float>(time - fadeStart_) * fadeDirection_ / static_cast<float>(fadeDuration_);
    } else {
        // A fade of no length is over at once (instead of a 0/0 fade that
        // would never come back into range).
        fade_ = fadeDirection_ > 0.0f ? 0.0f : -1.0f;
    }
    if (fadeDirection_ > 0.0f && fade_ > 0.0f) fade_ = 0.0f;
    if (fadeDirection_ < 0.0f && fade_ < -1.0f) fade_ = -1.0f;
}

void ParticleEffect::moveParticle(Particle& p) {
    p.x += p.vx;
    p.y += p.vy;
    p.z += p.vz;
    if (p.y > 10.0f) p.y = -5.0f;
    p.alpha += p.alphaStep;
    if (p.alpha > 1.0f) p.alpha = 0.0f;
    if (p.alpha < 0.0f) p.alpha = 1.0f;
}

void ParticleEffect::start() {
    steps_.resume();
    Effect::start();
}

void ParticleEffect::step(int time) {
    lastStepTime_ = time;
    updateFade(time);
    for (Particle& p : particles_) moveParticle(p);
}

void ParticleEffect::advance(int time) {
    if (running)
        steps_.catchUp(stepOrigin, time, false, [this](int t) { step(t); });
    else
        steps_.skipTo(stepOrigin, time);
}

void ParticleEffect::run(int time) {
    steps_.catchUp(stepOrigin, time, true, [this](int t) { step(t); });

    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // The sprite alone, on unit 0.
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    texture_.bind();

    // The cloud's orientation, then one matrix B = P * V with which the
    // sprite centres are transformed on the CPU, so that every sprite can be
    // drawn as a square facing the viewer without a matrix change between them.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, kDistance);
    glRotatef(kTilt, 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(time) * kSpinDegreesPerMs, 0.0f, 1.0f, 0.0f);
    GLfloat view[16];
    GLfloat projection[16];
    GLfloat billboard[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glLoadMatrixf(projection);
    glMultMatrixf(view);
    glGetFloatv(GL_MODELVIEW_MATRIX, billboard);
    glLoadIdentity();

    glBegin(GL_QUADS);
    for (const Particle& p : particles_) {
        glColor4f(0.8f, 0.8f, 0.5f, p.alpha + fade_);
        float c[3];
        transformPoint(billboard, p.x, p.y, p.z, c);
        const float s = p.size;
        glTexCoord2f(0, 0);
        glVertex3f(c[0] - s, c[1] - s, -c[2]);
        glTexCoord2f(1, 0);
        glVertex3f(c[0] + s, c[1] - s, -c[2]);
        glTexCoord2f(1, 1);
        glVertex3f(c[0] + s, c[1] + s, -c[2]);
        glTexCoord2f(0, 1);
        glVertex3f(c[0] - s, c[1] + s, -c[2]);
    }
    glEnd();
    glPopMatrix();
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}
