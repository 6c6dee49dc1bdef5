#include "scene/gl_texture.h"

#include "runtime/fatal_error.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kSmallestSide = 8;
constexpr int kLargestSide = 1024;
constexpr unsigned char kStartFill = 127;

int powerOfTwoAbove(int size) {
    int side = kSmallestSide;
    while (side < size) side *= 2;
    return side;
}

}  // namespace

RenderTexture makeRenderTexture(int width, int height) {
    RenderTexture made;
    made.width = powerOfTwoAbove(width);
    made.height = powerOfTwoAbove(height);
    if (made.width > kLargestSide || made.height > kLargestSide) fatalError("effect too large", -1);

    std::vector<unsigned char> start(static_cast<std::size_t>(made.width) * made.height * 4, 0);
    const int usedW = std::max(width, 0);
    const int usedH = std::max(height, 0);
    for (int row = 0; row < usedH; ++row)
        std::fill_n(start.begin() + static_cast<std::ptrdiff_t>(row) * made.width * 4, usedW * 4, kStartFill);

    made.texture = GlTexture::generate();
    glBindTexture(GL_TEXTURE_2D, made.texture.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, made.width, made.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, start.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return made;
}
