// The fixed-function state the GL 1.x calls set, kept on our side of the
// browser's context: what WebGL has no state for (matrices, lights, materials,
// texture environments, the alpha test, the current vertex attributes) and
// what the calls read back (viewport, unpack alignment).
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "matrix.h"
#include "webgl.h"

namespace vantor::webgl {

inline constexpr int kMaxLights = 8;
inline constexpr int kTextureUnits = 2;

struct Light {
    Vec4 ambient{0, 0, 0, 1};
    Vec4 diffuse{0, 0, 0, 1};
    Vec4 specular{0, 0, 0, 1};
    Vec4 eyePosition{0, 0, 1, 0};  // transformed by the modelview at the time it was set
    float constant = 1, linear = 0, quadratic = 0;
    bool enabled = false;
};

struct Material {
    Vec4 ambient{0.2f, 0.2f, 0.2f, 1};
    Vec4 diffuse{0.8f, 0.8f, 0.8f, 1};
    Vec4 specular{0, 0, 0, 1};
    Vec4 emission{0, 0, 0, 1};
    float shininess = 0;
};

// How a texture unit combines its texel with the colour that reaches it.
enum class EnvMode : std::uint8_t { Modulate, Replace, Decal, Add, Blend, AddSigned };

struct TextureUnit {
    bool enabled1D = false, enabled2D = false;
    GLuint bound1D = 0, bound2D = 0;  // our names
    EnvMode mode = EnvMode::Modulate;
    GLenum combineRgb = GL_MODULATE;
    bool combining = false;    // GL_COMBINE: the mode follows combineRgb
    Vec4 current{0, 0, 0, 1};  // the unit's current texture coordinate
};

// What this layer knows of a texture name: the base format (so uploads in
// other formats are converted), its size and how it wraps.
struct TextureInfo {
    GLuint browserName = 0;
    GLenum baseFormat = GL_RGBA;
    int width = 0, height = 0;
    // GL_CLAMP blends the edge texels with the (black, clear) border under
    // linear filtering; WebGL has only clamp-to-edge, so the programs weigh
    // the border in themselves.
    bool clampS = false, clampT = false;
    GLint magFilter = GL_LINEAR;
};

struct MatrixStack {
    std::vector<Mat4> entries{identity()};
    Mat4& top() { return entries.back(); }
};

struct Context {
    MatrixStack modelview, projection, texture;
    GLenum matrixMode = GL_MODELVIEW;

    Light lights[kMaxLights];
    Material front, back;
    Vec4 sceneAmbient{0.2f, 0.2f, 0.2f, 1};
    bool lighting = false, twoSide = false, separateSpecular = false, normalize = false;

    TextureUnit units[kTextureUnits];
    int activeUnit = 0;
    std::unordered_map<GLuint, TextureInfo> textures;
    GLuint nextTextureName = 1;

    bool alphaTest = false;
    GLenum alphaFunc = GL_ALWAYS;
    float alphaRef = 0;

    bool polygonOffsetLine = false;
    GLenum backPolygonMode = GL_FILL, frontPolygonMode = GL_FILL;
    float lineWidth = 1;

    Vec4 color{1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    GLint viewport[4] = {0, 0, 0, 0};
    GLint scissor[4] = {0, 0, 0, 0};
    GLint unpackAlignment = 4;
    GLenum cullFace = GL_BACK;
    GLenum frontFace = GL_CCW;
    bool culling = false;

    MatrixStack& currentStack();
};

// The one context of the page.
Context& context();

// Resets the layer to GL's initial state for a canvas of the given size
// (after the browser's context was made current).
void resetContext(int width, int height);

}  // namespace vantor::webgl
