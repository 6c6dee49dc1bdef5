// Pixel rows in the formats GL 1.x uploads take, converted to the base format
// of the texture they go into (WebGL takes only matching pairs). GL's rules:
// alpha alone becomes (0, 0, 0, A), luminance (L, L, L, 1), and RGBA stored
// as luminance keeps its red.
#pragma once

#include <cstdint>
#include <vector>

#include "webgl.h"

namespace vantor::webgl {

// The base format an internal format names (1..4 and the sized names
// included); GL_RGBA for names this layer does not know.
GLenum baseFormatOf(GLint internalFormat);

// Bytes per pixel of a base format of unsigned bytes; 0 for formats this layer does not convert.
int componentsOf(GLenum format);

// width x height pixels of `from` rows (each padded to `alignment` bytes)
// as tightly packed rows of `to`.
std::vector<std::uint8_t> convertPixels(const std::uint8_t* pixels, int width, int height, GLenum from, GLenum to,
                                        int alignment);

}  // namespace vantor::webgl
