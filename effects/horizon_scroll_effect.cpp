#include "effects/horizon_scroll_effect.h"

#include "runtime/fatal_error.h"
#include "effects/required_image.h"
#include "effects/rgb_upload.h"
#include "effects/textured_quad.h"
#include "kpx/kpx.h"

#include <cmath>
#include <string>

namespace {

void panoramaQuad(GLuint texture, double left, double right, double top, double bottom) {
    glBindTexture(GL_TEXTURE_2D, texture);
    texturedQuad(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                 static_cast<float>(bottom));
}

}  // namespace

HorizonScrollEffect::HorizonScrollEffect(ImageLibrary& library) : imageLibrary(&library) {
    panoramas_[0] = loadPanorama("horisbig1.jpg");
    panoramas_[1] = loadPanorama("horisbig2.jpg");
    panoramas_[2] = loadPanorama("bakgrscroll3.jpg");
    leftTexture = panoramas_[0].name();
    rightTexture = panoramas_[1].name();
    overlayTexture = panoramas_[2].name();
    parameter = kDuration;
}

GlTexture HorizonScrollEffect::loadPanorama(const char* name) {
    kpximage* image = requireImage(*imageLibrary, name);
    GlTexture panorama = makeTexture(image->width, image->height);
    if (!uploadRgbImage(*image)) fatalError(std::string("could not bring image to 24 bits ") + name);
    pixels = image->image;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    return panorama;
}

void HorizonScrollEffect::init(int time) {
    scrollRange = 3.0 * currentViewport().width;
    startTime = time;
}

void HorizonScrollEffect::run(int time) {
    const Viewport v = currentViewport();
    const double left = v.x;
    const double top = v.y;
    const double w = v.width;
    const double h = v.height;

    glDisable(GL_CULL_FACE);
    pushOrthoMatrices(left, w, h, top);
    scrollRange = 3.0 * w;
    applyBlend();
    glDisable(GL_DEPTH_TEST);

    scrollOffset = -((static_cast<double>(time) - startTime) / parameter) * scrollRange;
    // The scroll stops at three screen widths (also for a zero duration).
    if (!(std::floor(std::fabs(scrollOffset)) <= scrollRange)) scrollOffset = -scrollRange;

    bindOnUnit0(leftTexture);
    panoramaQuad(leftTexture, scrollOffset, scrollOffset + 2 * w, top, h);
    panoramaQuad(rightTexture, scrollOffset + 2 * w, scrollOffset + 4 * w, top, h);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    panoramaQuad(overlayTexture, scrollOffset / 2, scrollOffset / 2 + 2 * w, top, h);

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    popOrthoMatrices();
}

void HorizonScrollEffect::post() {}
