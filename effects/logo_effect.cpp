#include "effects/logo_effect.h"

#include "kpx/kpx.h"

LogoEffect::LogoEffect(ImageLibrary* library, kpximage* image) : ImageSequenceEffect(library, image) {
    parameter = kSpreadDuration;
    // Only a picture brought to 32 bits holds the 4 bytes a pixel uploaded.
    if (pixels && current && current->bpp == 32) {
        bindOnUnit0(texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, bufferWidth, bufferHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        glDisable(GL_TEXTURE_2D);
    }
}

void LogoEffect::init(int time) {
    ImageSequenceEffect::init(time);
    start = time;
    trail.fill(TrailEntry{});
    stepShapeSet_ = false;
}

LogoEffect::TrailEntry LogoEffect::shapeAt(int time, float spread) const {
    const float elapsed = static_cast<float>(static_cast<long long>(time) - start);
    TrailEntry shape{0.0f, spread, spreadY};
    if (mode == CLOSING)
        shape.spreadX = kStartSpread - elapsed * kStartSpread / parameter;
    else if (mode == OPENING)
        shape.spreadX = elapsed * kStartSpread / parameter;
    if (shape.spreadY < 0) shape.spreadY = 0;
    if (shape.spreadX < 0) shape.spreadX = 0;
    shape.alpha = (8.0f - shape.spreadX) / 50.0f;
    return shape;
}

void LogoEffect::frameStep(int time) {
    if (stepShapeSet_) {
        trail[static_cast<std::size_t>(trailIndex)] = stepShape_;
        trailIndex = (trailIndex + 1) % kTrailLength;
    }
    stepShape_ = shapeAt(time, stepShapeSet_ ? stepShape_.spreadX : spreadX);
    stepShapeSet_ = true;
}

void LogoEffect::run(int time) {
    takeFrameSteps(time);
    const TrailEntry shape = shapeAt(time, spreadX);
    alpha = shape.alpha;
    spreadX = shape.spreadX;
    spreadY = shape.spreadY;
}

void LogoEffect::post() {
    pushLayerMatrices();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    bindOnUnit0(texture);

    glColor4f(1, 1, 1, alpha);
    texturedQuad(x - spreadX, y - spreadY, x + width + spreadX, y + height + spreadY);
    for (const TrailEntry& entry : trail) {
        glColor4f(1, 1, 1, entry.alpha / 4.0f);
        texturedQuad(x - entry.spreadX, y - entry.spreadY, x + width + entry.spreadX, y + height + entry.spreadY);
    }
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    popOrthoMatrices();
}

void LogoEffect::signal(SignalValue value) {
    ImageSequenceEffect::signal(value);
    if (value.code == LOGO_MODE) mode = value.intValue;
}
