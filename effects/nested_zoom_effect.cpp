#include "effects/nested_zoom_effect.h"

#include "runtime/fatal_error.h"
#include "effects/required_image.h"
#include "effects/textured_quad.h"
#include "kpx/kpx.h"
#include "scene/texture.h"

#include <cmath>
#include <string>

NestedZoomEffect::NestedZoomEffect(ImageLibrary& library) {
    static const char* const kNames[kCount] = {"zoom3.jpg", "zoom2.jpg", "zoom1.jpg", "zoom0.jpg"};
    for (int i = 0; i < kCount; ++i) zoomImages[static_cast<std::size_t>(i)] = requireImage(library, kNames[i]);
    for (std::size_t i = 0; i < textures.size(); ++i) {
        // The cached image itself is brought to one 512 x 512 RGBA texture.
        kpximage* image = zoomImages[i];
        kpx_scale(kImageSide, kImageSide, image);
        convertToGlRgba(*image);
        if (image->width != kImageSide || image->height != kImageSide || image->bpp != 32 || !image->image)
            fatalError(std::string("could not bring image to 512 x 512 x 32 bits ") + kNames[i]);
        textures[i] = GlTexture::generate();
        glBindTexture(GL_TEXTURE_2D, textures[i].name());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kImageSide, kImageSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, image->image);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    parameter = kTimeConstant;
}

void NestedZoomEffect::init(int time) {
    zoomStart = kZoomStart;
    startTime = time;
}

void NestedZoomEffect::run(int time) {
    // Speed 0 (signal 10 with 0): no time constant, so the zoom stands still at
    // its start picture (the exponent would be NaN or infinite, and the
    // scale with it).
    if (parameter != 0.0f)
        scale = std::pow(0.99f, (static_cast<float>(time) - static_cast<float>(startTime)) / parameter) * zoomStart;
    else
        scale = zoomStart;

    pushOrthoMatrices(-1, 1, 1, -1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    bindOnUnit0(textures[0].name());
    applyBlend();
    glScalef(scale, scale, 1);
    glColor4f(1, 1, 1, 1);
    for (const GlTexture& zoomTexture : textures) {
        glBindTexture(GL_TEXTURE_2D, zoomTexture.name());
        // A hundredth of the picture is left out at each edge.
        texturedQuad(-1, -1, 1, 1, {0.01f, 0.01f, 0.99f, 0.99f});
        glScalef(0.25f, 0.25f, 1);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    popOrthoMatrices();
}

void NestedZoomEffect::post() {}
