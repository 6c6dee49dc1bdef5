#include "scene/texture.h"

#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "scene/scene_error.h"

#include <cstring>
#include <vector>

namespace {

ImageLibrary* currentLibrary = nullptr;

// Larger sides than this cannot be held in a kpximage after rounding up.
constexpr int kLargestSide = 32768;

}  // namespace

bool keepTexturePaths = false;

void setTextureLibrary(ImageLibrary* library) {
    currentLibrary = library;
}

ImageLibrary* textureLibrary() {
    return currentLibrary;
}

bool convertToGlRgba(kpximage& image) {
    if (image.bpp == 32) return true;
    const int sourceDepth = image.bpp;
    if (!kpx_convert_32(&image) || image.bpp != 32) return false;
    if (sourceDepth <= 16) {
        kpx_swap_colors(&image);
        const std::size_t pixels = std::size_t(image.width) * image.height;
        for (std::size_t i = 0; i < pixels; ++i) image.image[4 * i + 3] = 255;
    }
    return true;
}

int roundUpPowerOfTwo(int size, int minimum) {
    int side = minimum;
    while (side < size) side *= 2;
    return side;
}

Texture::~Texture() {
    if (glName_) glDeleteTextures(1, &glName_);
}

bool Texture::load(const char* name, const char* directory) {
    if (!currentLibrary) SceneError("no imglib for texture");
    kpximage* loaded = currentLibrary->getImage(name, directory);
    if (!loaded) return false;
    image_ = loaded;
    uploadTexture();
    return true;
}

void Texture::uploadTexture() {
    if (!image_ || !image_->image || image_->width == 0 || image_->height == 0) return;
    if (target_ == GL_TEXTURE_2D)
        upload2D();
    else
        upload1D();
}

void Texture::upload2D() {
    kpximage* img = image_;
    if (!convertToGlRgba(*img)) return;
    const int w2 = roundUpPowerOfTwo(img->width, 64);
    const int h2 = roundUpPowerOfTwo(img->height, 64);
    if (w2 > kLargestSide || h2 > kLargestSide) return;
    if (w2 != img->width || h2 != img->height) {
        if (!kpx_scale(static_cast<std::uint16_t>(w2), static_cast<std::uint16_t>(h2), img)) return;
    }
    glGenTextures(1, &glName_);
    glBindTexture(GL_TEXTURE_2D, glName_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, w2, h2, GL_RGBA, GL_UNSIGNED_BYTE, img->image);
}

void Texture::upload1D() {
    kpximage* img = image_;
    if (!convertToGlRgba(*img)) return;
    if (img->width != 256 || img->height != 1) {
        if (!kpx_scale(256, 1, img)) return;
    }
    // The alpha of each shade is the mean of its three colour bytes.
    unsigned char* texel = img->image;
    for (int i = 0; i < img->width; ++i, texel += 4)
        texel[3] = static_cast<unsigned char>((texel[0] + texel[1] + texel[2]) / 3);
    glGenTextures(1, &glName_);
    glBindTexture(GL_TEXTURE_1D, glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage1D(GL_TEXTURE_1D, 0, 4, img->width, 0, GL_RGBA, GL_UNSIGNED_BYTE, img->image);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
}

Texture* Texture::createRenderTexture(int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    const int w2 = roundUpPowerOfTwo(width, 8);
    const int h2 = roundUpPowerOfTwo(height, 8);
    if (w2 > 1024 || h2 > 1024) SceneError("effect too large");

    std::vector<unsigned char> buffer(std::size_t(w2) * h2 * 4, 0);
    if (w2 == width && h2 == height) {
        std::memset(buffer.data(), 127, buffer.size());
    } else {
        for (int y = 0; y < height; ++y)
            std::memset(&buffer[std::size_t(y) * w2 * 4], 127, std::size_t(width) * 4);
    }
    auto* texture = new Texture(GL_TEXTURE_2D);
    glGenTextures(1, &texture->glName_);
    glBindTexture(GL_TEXTURE_2D, texture->glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w2, h2, 0, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

Texture* loadTexture(const char* name, const char* directory) {
    auto* texture = new Texture(GL_TEXTURE_2D);
    if (!texture->load(name, directory)) {
        delete texture;
        return nullptr;
    }
    return texture;
}
