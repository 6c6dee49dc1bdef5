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
}

void LogoEffect::run(int time) {
    const float elapsed = static_cast<float>(static_cast<long long>(time) - start);
    if (mode == CLOSING)
        spreadX = kStartSpread - elapsed * kStartSpread / parameter;
    else if (mode == OPENING)
        spreadX = elapsed * kStartSpread / parameter;
    if (spreadY < 0) spreadY = 0;
    if (spreadX < 0) spreadX = 0;
    alpha = (8.0f - spreadX) / 50.0f;
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
    trail[static_cast<std::size_t>(trailIndex)] = TrailEntry{alpha, spreadX, spreadY};
    trailIndex = (trailIndex + 1) % kTrailLength;

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
