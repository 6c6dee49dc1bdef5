#include "effects/layer_effect.h"

#include "effects/ortho_matrices.h"

#include <utility>

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

GlTexture LayerEffect::makeTexture(int bufferW, int bufferH) {
    bufferWidth = bufferW;
    bufferHeight = bufferH;
    // Mid grey in the buffer's area until the first upload; 0 in the padding.
    glActiveTextureARB(GL_TEXTURE0_ARB);
    RenderTexture made = makeRenderTexture(bufferW, bufferH);
    textureWidth = made.width;
    textureHeight = made.height;
    return std::move(made.texture);
}

void LayerEffect::setSize(int bufferW, int bufferH) {
    ownTexture_ = makeTexture(bufferW, bufferH);
    texture = ownTexture_.name();
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
