#include "scene/texture.h"

#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "scene/scene_error.h"

namespace {

// Larger sides than this cannot be held in a kpximage after rounding up.
constexpr int kLargestSide = 32768;

}  // namespace

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

bool Texture::load(ImageLibrary* textureLibrary, const char* name, const char* directory) {
    if (!textureLibrary) SceneError("no imglib for texture");
    kpximage* loaded = textureLibrary->getImage(name, directory);
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
    glTexture_ = GlTexture::generate();
    glBindTexture(GL_TEXTURE_2D, glTexture_.name());
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
    glTexture_ = GlTexture::generate();
    glBindTexture(GL_TEXTURE_1D, glTexture_.name());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage1D(GL_TEXTURE_1D, 0, 4, img->width, 0, GL_RGBA, GL_UNSIGNED_BYTE, img->image);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
}

Texture* Texture::createRenderTexture(int width, int height) {
    auto* texture = new Texture(GL_TEXTURE_2D);
    texture->glTexture_ = makeRenderTexture(width, height).texture;
    return texture;
}

Texture* loadTexture(ImageLibrary* textureLibrary, const char* name, const char* directory) {
    auto* texture = new Texture(GL_TEXTURE_2D);
    if (!texture->load(textureLibrary, name, directory)) {
        delete texture;
        return nullptr;
    }
    return texture;
}
