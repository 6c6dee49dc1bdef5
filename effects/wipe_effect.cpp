#include "effects/wipe_effect.h"

#include "effects/wipe_map.h"
#include "imglib/image_library.h"

#include <algorithm>

WipeEffect::WipeEffect(ImageLibrary* library, const char* mapName)
    : CaptureEffect(library), mask_(kWipeMapSize, 0), map_(kWipeMapSize, 0) {
    setSize(kWipeMapSide, kWipeMapSide);
    maskTexture_ = texture;
    loadMap(mapName);
    parameter = kDefaultSpeedDivisor;
}

void WipeEffect::loadMap(const char* name) {
    if (!imageLibrary) return;
    const kpximage* image = imageLibrary->getImage(name);
    if (image) loadWipeMap(*image, map_.data());
}

void WipeEffect::init(int time) {
    progress_ = 0.0f;
    startTime_ = time;
}

void WipeEffect::start() {
    steps_.resume();
    CaptureEffect::start();
}

void WipeEffect::advance(int time) {
    if (running)
        steps_.catchUp(stepOrigin, time, false, [this](int t) { step(t); });
    else
        steps_.skipTo(stepOrigin, time);
}

void WipeEffect::step(int time) {
    if (parameter != 0.0f) progress_ += static_cast<float>(time - startTime_) / parameter;
}

void WipeEffect::prepare(int time) {
    if (source) source->prepare(time);
    if (target_) target_->prepare(time);
}

void WipeEffect::post() {}

void WipeEffect::stop() {
    // The target keeps the blend state the wipe sent it until now.
    if (target_) target_->signal(SignalValue(BLEND_OFF, 0));
    running = false;
}

void WipeEffect::signal(SignalValue value) {
    CaptureEffect::signal(value);
    switch (value.code) {
    case WIPE_FROM: chooseDrawn(target_, value.intValue, *this); break;
    case THRESHOLD: progress_ = static_cast<float>(value.intValue); break;
    case WIPE_MAP: loadMap(value.text.c_str()); break;
    default: break;
    }
}

void WipeEffect::run(int time) {
    steps_.catchUp(stepOrigin, time, true, [this](int t) { step(t); });
    // Speed 0 (signal 10 with 0): a sweep of no length is over at once, in
    // any frame, past every grey level, and only the first effect shows
    // (instead of a NaN threshold that would show the target until the next
    // init).
    if (parameter == 0.0f) progress_ = std::max(progress_, static_cast<float>(255 + kWipeSoftBand + 1));
    if (source) source->run(time);
    drawMask();
    if (target_) {
        // Forced blending with the factors that take the mask from the frame
        // buffer's alpha channel.
        target_->signal(SignalValue(BLEND_ON, 0));
        target_->signal(SignalValue(BLEND_SRC, FACTOR_DST_ALPHA));
        target_->signal(SignalValue(BLEND_DST, FACTOR_INV_DST_ALPHA));
        target_->run(time);
        target_->post();
    }
}

void WipeEffect::drawMask() {
    const Viewport v = currentViewport();
    const float left = v.x, top = v.y, right = v.width, bottom = v.height;

    pushOrthoMatrices(0, right, bottom, 0);
    glDepthMask(GL_FALSE);

    computeWipeMask(map_.data(), progress_, mask_.data());
    bindOnUnit0(maskTexture_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWipeMapSide, kWipeMapSide, GL_ALPHA, GL_UNSIGNED_BYTE, mask_.data());

    // Only destination alpha is written; the blend state is left as it is.
    glColor4f(1, 1, 1, alpha);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    // Texture row 0 at the bottom of the screen.
    texturedQuad(left, bottom, right, top);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    popOrthoMatrices();
}
