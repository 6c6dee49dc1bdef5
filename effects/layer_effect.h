// The texture layer under most 2D effects: one GL texture whose sides are the
// powers of two at or above a buffer size, a CPU-side RGBA pixel buffer of that
// buffer size, a rectangle on the screen and a blend state.
//
// The layer draws as one textured rectangle in a projection where the used
// part of the texture (bufferWidth x bufferHeight texels) spans the viewport
// exactly when the rectangle is (0, 0, 1, 1); one layer unit is the whole
// texture's width or height, y grows downwards.
//
// Signal codes (value = the integer of the signal; others are ignored). The
// constants are spelled as the show's script names them in its DEFINEs:
//   DURATION   parameter = value (each subclass gives it its meaning)
//   LAYER_X/Y/W/H  x, y, width, height = value / 100
//   BLEND_ON   blending forced on, alpha = value (not scaled: the scripts
//              write it so)
//   BLEND_OFF  blending forced off, alpha = 255
//   BLEND_SRC / BLEND_DST  source / destination blend factor, one of the
//              FACTOR_ values; other values change nothing
#pragma once

#include "runtime/effect.h"
#include "effects/ortho_matrices.h"
#include "effects/textured_quad.h"
#include "platform/gl_api.h"
#include "scene/gl_texture.h"

class LayerEffect : public Effect {
public:
    // Signal codes.
    static constexpr int DURATION = 10;
    static constexpr int LAYER_X = 50;
    static constexpr int LAYER_Y = 51;
    static constexpr int LAYER_W = 52;
    static constexpr int LAYER_H = 53;
    static constexpr int BLEND_ON = 100;
    static constexpr int BLEND_OFF = 101;
    static constexpr int BLEND_SRC = 102;
    static constexpr int BLEND_DST = 103;
    // The values of BLEND_SRC and BLEND_DST (the script calls them GL_ONE,
    // GL_SRC_ALPHA, GL_DST_ALPHA, GL_INV_SRC_ALPHA, GL_INV_DST_ALPHA).
    static constexpr int FACTOR_ONE = 10;
    static constexpr int FACTOR_SRC_ALPHA = 11;
    static constexpr int FACTOR_DST_ALPHA = 12;
    static constexpr int FACTOR_INV_SRC_ALPHA = 13;
    static constexpr int FACTOR_INV_DST_ALPHA = 14;

    void init(int time) override;
    void post() override;
    void signal(SignalValue value) override;

    // Records the buffer size and creates the layer's texture anew, of the
    // power-of-two size above it, filled with 127 in the buffer's area and 0
    // elsewhere, bound on texture unit 0 on return (callers may change its
    // parameters); the layer's previous texture is deleted. A side beyond
    // 1024 ends the program with "effect too large" (makeRenderTexture).
    void setSize(int bufferW, int bufferH);
    // The same texture and the same recorded sizes, for a subclass that keeps
    // more than one texture: it owns what it gets, the layer's own texture
    // stays as it is.
    GlTexture makeTexture(int bufferW, int bufferH);

    // Blending and the current colour from the blend state.
    void applyBlend() const;

    // Uploads the pixel buffer into the texture and draws the rectangle.
    void drawLayer();
    // Draws the rectangle with what the texture holds, without an upload.
    void drawLayerTexture();

    // The blend state of a fresh layer.
    void resetBlend();

    // RGBA buffer of bufferWidth x bufferHeight pixels, rows packed; owned by
    // the subclass (null in subclasses that never call drawLayer).
    unsigned char* pixels = nullptr;
    GLuint texture = 0;  // the name of the layer's texture (owned, see setSize)
    int textureWidth = 0;
    int textureHeight = 0;
    int bufferWidth = 0;
    int bufferHeight = 0;
    float x = 0.0f;
    float y = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    bool blendOn = false;
    float alpha = 1.0f;
    GLenum blendSource = GL_SRC_ALPHA;
    GLenum blendDest = GL_ONE_MINUS_SRC_ALPHA;
    float parameter = 0.0f;

protected:
    LayerEffect();
    ~LayerEffect() = default;
    LayerEffect(const LayerEffect&) = delete;
    LayerEffect& operator=(const LayerEffect&) = delete;

    // The projection in which the buffer's area spans the viewport, with an
    // identity modelview; both matrices pushed (popOrthoMatrices undoes it).
    void pushLayerMatrices() const;
    // Texturing on unit 0 with `name` bound; unit 1 off, unit 0 left selected.
    static void bindOnUnit0(GLuint name);

private:
    // The rectangle in the layer's projection, depth test and culling off;
    // with `upload` the pixel buffer goes into the texture first.
    void drawRectangle(bool upload);

    GlTexture ownTexture_;
};

// The GL blend factor for a script's FACTOR_ value; 0 for any other.
GLenum layerBlendFactor(int value);
