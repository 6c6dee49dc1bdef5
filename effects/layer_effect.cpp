#include "effects/layer_effect.h"

#include "app/runtime/fatal_error.h"
#include "effects/ortho_matrices.h"

#include <vector>

LayerEffect::LayerEffect() { resetBlend(); }

void LayerEffect::resetBlend() {
    blendOn = false;
    alpha = 1.0f;
    blendSource = GL_SRC_ALPHA;
    blendDest = GL_ONE_MINUS_SRC_ALPHA;
}

void LayerEffect::init(int time) {
    (void)time;
    resetBlend();
}

void LayerEffect::post() { drawLayer(); }

GLenum layerBlendFactor(int value) {
    switch (value) {
    case LayerEffect::FACTOR_ONE: return GL_ONE;
    case LayerEffect::FACTOR_SRC_ALPHA: return GL_SRC_ALPHA;
    case LayerEffect::FACTOR_DST_ALPHA: return GL_DST_ALPHA;
    case LayerEffect::FACTOR_INV_SRC_ALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case LayerEffect::FACTOR_INV_DST_ALPHA: return GL_ONE_MINUS_DST_ALPHA;
    default: return 0;
    }
}

void LayerEffect::signal(SignalValue value) {
    const int v = value.intValue;
    switch (value.code) {
    case DURATION: parameter = static_cast<float>(v); break;
    case LAYER_X: x = static_cast<float>(v) / 100.0f; break;
    case LAYER_Y: y = static_cast<float>(v) / 100.0f; break;
    case LAYER_W: width = static_cast<float>(v) / 100.0f; break;
    case LAYER_H: height = static_cast<float>(v) / 100.0f; break;
    case BLEND_ON:
        blendOn = true;
        alpha = static_cast<float>(v);
        break;
    case BLEND_OFF:
        blendOn = false;
        alpha = 255.0f;
        break;
    case BLEND_SRC:
        if (GLenum factor = layerBlendFactor(v)) blendSource = factor;
        break;
    case BLEND_DST:
        if (GLenum factor = layerBlendFactor(v)) blendDest = factor;
        break;
    default: break;
    }
}

void LayerEffect::setSize(int bufferW, int bufferH) {
    bufferWidth = bufferW;
    bufferHeight = bufferH;
    textureWidth = kMinTextureSide;
    while (textureWidth < bufferW) textureWidth *= 2;
    textureHeight = kMinTextureSide;
    while (textureHeight < bufferH) textureHeight *= 2;
    if (textureWidth > kMaxTextureSide || textureHeight > kMaxTextureSide) fatalError("effect too large", -1);

    // 127 in every byte of the buffer's area, so a layer shows mid grey until
    // its first upload; 0 in the padding.
    std::vector<unsigned char> start(static_cast<std::size_t>(textureWidth) * textureHeight * 4, 0);
    const int usedW = bufferW < 0 ? 0 : bufferW;
    const int usedH = bufferH < 0 ? 0 : bufferH;
    for (int row = 0; row < usedH; ++row)
        std::fill_n(start.begin() + static_cast<std::ptrdiff_t>(row) * textureWidth * 4, usedW * 4, kStartFill);

    glGenTextures(1, &texture);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 start.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void LayerEffect::applyBlend() const {
    if (!blendOn && alpha >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(blendSource, blendDest);
    }
    glColor4f(1, 1, 1, alpha);
}

void LayerEffect::pushLayerMatrices() const {
    pushOrthoMatrices(0, static_cast<double>(bufferWidth) / textureWidth,
                      static_cast<double>(bufferHeight) / textureHeight, 0);
}

void LayerEffect::bindOnUnit0(GLuint name) {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
}

void LayerEffect::drawLayer() { drawRectangle(true); }

void LayerEffect::drawLayerTexture() { drawRectangle(false); }

void LayerEffect::drawRectangle(bool upload) {
    pushLayerMatrices();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    applyBlend();

    bindOnUnit0(texture);
    // A subclass without a buffer keeps what the texture already holds.
    if (upload && pixels)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, bufferWidth, bufferHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels);

    texturedQuad(x, y, x + width, y + height);

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    popOrthoMatrices();
}
