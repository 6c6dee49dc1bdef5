// Texture names, uploads, parameters, environments and frame-buffer copies.
// Our names map to the browser's; a 1D ramp is a one-row 2D texture, sampled
// along its row by the programs of units set to GL_TEXTURE_1D.
#include <GL/glu.h>

#include "draw.h"
#include "pixel_formats.h"

using namespace vantor::webgl;

namespace {

TextureInfo* boundInfo(GLenum target) {
    Context& c = context();
    const TextureUnit& unit = c.units[c.activeUnit];
    const GLuint name = target == GL_TEXTURE_1D ? unit.bound1D : unit.bound2D;
    if (name == 0) return nullptr;  // the default texture is not used by the program
    auto found = c.textures.find(name);
    return found == c.textures.end() ? nullptr : &found->second;
}

TextureInfo& makeName(GLuint name) {
    TextureInfo& info = context().textures[name];
    if (!info.browserName) emscripten_glGenTextures(1, &info.browserName);
    return info;
}

GLint browserParameter(GLint value) { return value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value; }

// Uploads width x height pixels of `format` into the bound texture of base `base`,
// converting when the two differ.
void upload(bool whole, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum base, GLenum format,
            GLenum type, const void* pixels) {
    std::vector<std::uint8_t> converted;
    const bool convert = pixels && type == GL_UNSIGNED_BYTE && format != base && componentsOf(format);
    if (convert) {
        converted = convertPixels(static_cast<const std::uint8_t*>(pixels), width, height, format, base,
                                  context().unpackAlignment);
        pixels = converted.data();
        emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    if (whole)
        emscripten_glTexImage2D(GL_TEXTURE_2D, level, GLint(base), width, height, 0, base, type, pixels);
    else
        emscripten_glTexSubImage2D(GL_TEXTURE_2D, level, x, y, width, height, base, type, pixels);
    if (convert) emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, context().unpackAlignment);
}

void textureImage(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                  GLenum type, const void* pixels) {
    TextureInfo* info = boundInfo(target);
    if (!info || width <= 0 || height <= 0) return;
    bindForEdit(target);
    const GLenum base = baseFormatOf(internalFormat);
    if (level == 0) {
        info->baseFormat = base;
        info->width = width;
        info->height = height;
    }
    upload(true, level, 0, 0, width, height, base, format, type, pixels);
    // The ramp is one row: its second coordinate never wraps.
    if (target == GL_TEXTURE_1D) emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint* names) {
    Context& c = context();
    for (GLsizei i = 0; i < n; ++i) {
        while (c.textures.count(c.nextTextureName)) ++c.nextTextureName;
        names[i] = c.nextTextureName++;
        makeName(names[i]);
    }
}

void glDeleteTextures(GLsizei n, const GLuint* names) {
    Context& c = context();
    for (GLsizei i = 0; i < n; ++i) {
        const auto found = c.textures.find(names[i]);
        if (names[i] == 0 || found == c.textures.end()) continue;
        emscripten_glDeleteTextures(1, &found->second.browserName);
        c.textures.erase(found);
        for (TextureUnit& unit : c.units) {
            if (unit.bound1D == names[i]) unit.bound1D = 0;
            if (unit.bound2D == names[i]) unit.bound2D = 0;
        }
    }
}

void glBindTexture(GLenum target, GLuint name) {
    Context& c = context();
    if (name) makeName(name);  // binding an unused name makes it, as in GL
    TextureUnit& unit = c.units[c.activeUnit];
    if (target == GL_TEXTURE_1D)
        unit.bound1D = name;
    else if (target == GL_TEXTURE_2D)
        unit.bound2D = name;
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint, GLenum format,
                  GLenum type, const void* pixels) {
    if (target == GL_TEXTURE_2D) textureImage(target, level, internalFormat, width, height, format, type, pixels);
}

void glTexImage1D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLint, GLenum format, GLenum type,
                  const void* pixels) {
    if (target == GL_TEXTURE_1D) textureImage(target, level, internalFormat, width, 1, format, type, pixels);
}

void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                     GLenum type, const void* pixels) {
    TextureInfo* info = target == GL_TEXTURE_2D ? boundInfo(target) : nullptr;
    if (!info || !pixels || width <= 0 || height <= 0) return;
    bindForEdit(target);
    upload(false, level, x, y, width, height, info->baseFormat, format, type, pixels);
}

void glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                      GLsizei height, GLint) {
    TextureInfo* info = target == GL_TEXTURE_2D ? boundInfo(target) : nullptr;
    if (!info || width <= 0 || height <= 0) return;
    bindForEdit(target);
    GLenum base = baseFormatOf(GLint(internalFormat));
    if (base != GL_RGB) base = GL_RGBA;  // the frame buffer copies as RGB or RGBA
    if (level == 0) {
        info->baseFormat = base;
        info->width = width;
        info->height = height;
    }
    emscripten_glCopyTexImage2D(GL_TEXTURE_2D, level, base, x, y, width, height, 0);
}

void glCopyTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y, GLsizei width,
                         GLsizei height) {
    if (target != GL_TEXTURE_2D || !boundInfo(target) || width <= 0 || height <= 0) return;
    bindForEdit(target);
    emscripten_glCopyTexSubImage2D(GL_TEXTURE_2D, level, xOffset, yOffset, x, y, width, height);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    TextureInfo* info = boundInfo(target);
    if (!info) return;
    bindForEdit(target);
    if (name == GL_TEXTURE_WRAP_S) info->clampS = value == GL_CLAMP;
    if (name == GL_TEXTURE_WRAP_T) info->clampT = value == GL_CLAMP;
    if (name == GL_TEXTURE_MAG_FILTER) info->magFilter = value;
    if (target == GL_TEXTURE_1D && name == GL_TEXTURE_WRAP_T) return;
    emscripten_glTexParameteri(GL_TEXTURE_2D, name, browserParameter(value));
}
void glTexParameterf(GLenum target, GLenum name, GLfloat value) { glTexParameteri(target, name, GLint(value)); }

void glTexEnvi(GLenum target, GLenum name, GLint value) {
    if (target != GL_TEXTURE_ENV) return;
    TextureUnit& unit = context().units[context().activeUnit];
    if (name == GL_COMBINE_RGB_ARB)
        unit.combineRgb = GLenum(value);
    else if (name == GL_TEXTURE_ENV_MODE)
        unit.combining = value == GL_COMBINE_ARB;
    else
        return;
    if (name == GL_COMBINE_RGB_ARB && !unit.combining) return;
    if (unit.combining) {
        // Combine with the default sources (the texel, then the incoming
        // colour) and alpha modulated: the functions the program uses.
        switch (unit.combineRgb) {
        case GL_ADD_SIGNED_ARB: unit.mode = EnvMode::AddSigned; break;
        case GL_ADD: unit.mode = EnvMode::Add; break;
        case GL_REPLACE: unit.mode = EnvMode::Replace; break;
        default: unit.mode = EnvMode::Modulate; break;
        }
        return;
    }
    switch (value) {
    case GL_MODULATE: unit.mode = EnvMode::Modulate; break;
    case GL_REPLACE: unit.mode = EnvMode::Replace; break;
    case GL_DECAL: unit.mode = EnvMode::Decal; break;
    case GL_ADD: unit.mode = EnvMode::Add; break;
    case GL_BLEND: unit.mode = EnvMode::Blend; break;
    default: break;
    }
}
void glTexEnvf(GLenum target, GLenum name, GLfloat value) { glTexEnvi(target, name, GLint(value)); }

void glPixelStorei(GLenum name, GLint value) {
    if (name != GL_UNPACK_ALIGNMENT && name != GL_PACK_ALIGNMENT) return;
    if (value != 1 && value != 2 && value != 4 && value != 8) return;
    if (name == GL_UNPACK_ALIGNMENT) context().unpackAlignment = value;
    emscripten_glPixelStorei(name, value);
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* pixels) {
    if (target != GL_TEXTURE_2D || width <= 0 || height <= 0) return GLU_INVALID_VALUE;
    textureImage(target, 0, internalFormat, width, height, format, type, pixels);
    if (!boundInfo(target)) return GLU_INVALID_OPERATION;
    emscripten_glGenerateMipmap(GL_TEXTURE_2D);
    return 0;
}

void vantorActiveTexture(GLenum unit) {
    const int index = int(unit) - GL_TEXTURE0;
    if (index >= 0 && index < kTextureUnits) context().activeUnit = index;
}

}  // extern "C"
