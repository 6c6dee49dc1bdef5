#include "pixel_formats.h"

namespace vantor::webgl {

GLenum baseFormatOf(GLint f) {
    switch (f) {
    case 1:
    case GL_LUMINANCE:
    case GL_LUMINANCE8: return GL_LUMINANCE;
    case 2:
    case GL_LUMINANCE_ALPHA:
    case GL_LUMINANCE8_ALPHA8: return GL_LUMINANCE_ALPHA;
    case 3:
    case GL_RGB:
    case GL_RGB8:
    case GL_RGB5: return GL_RGB;
    case GL_ALPHA:
    case GL_ALPHA8: return GL_ALPHA;
    default: return GL_RGBA;
    }
}

int componentsOf(GLenum format) {
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: return 3;
    case GL_RGBA: return 4;
    default: return 0;
    }
}

std::vector<std::uint8_t> convertPixels(const std::uint8_t* pixels, int width, int height, GLenum from, GLenum to,
                                        int alignment) {
    const int in = componentsOf(from), out = componentsOf(to);
    std::vector<std::uint8_t> result;
    if (in == 0 || out == 0 || width <= 0 || height <= 0) return result;
    if (alignment < 1) alignment = 1;
    const std::size_t rowBytes = std::size_t(width) * in;
    const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    result.resize(std::size_t(width) * height * out);
    std::uint8_t* target = result.data();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = pixels + stride * y;
        for (int x = 0; x < width; ++x, p += in) {
            std::uint8_t r, g, b, a;
            switch (from) {
            case GL_ALPHA: r = g = b = 0, a = p[0]; break;
            case GL_LUMINANCE: r = g = b = p[0], a = 255; break;
            case GL_LUMINANCE_ALPHA: r = g = b = p[0], a = p[1]; break;
            case GL_RGB: r = p[0], g = p[1], b = p[2], a = 255; break;
            default: r = p[0], g = p[1], b = p[2], a = p[3]; break;
            }
            switch (to) {
            case GL_ALPHA: *target++ = a; break;
            case GL_LUMINANCE: *target++ = r; break;
            case GL_LUMINANCE_ALPHA: *target++ = r, *target++ = a; break;
            case GL_RGB: *target++ = r, *target++ = g, *target++ = b; break;
            default: *target++ = r, *target++ = g, *target++ = b, *target++ = a; break;
            }
        }
    }
    return result;
}

}  // namespace vantor::webgl
