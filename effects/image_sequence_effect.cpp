#include "effects/image_sequence_effect.h"

#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "scene/texture.h"

#include <cstddef>

void alphaFromBrightness(kpximage& image) {
    if (image.bpp != 32 || !image.image) return;
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char* p = image.image + i * 4;
        p[3] = static_cast<unsigned char>((p[0] + p[1] + p[2]) / 3);
    }
}

namespace {

// Brings an image of the sequence to 32 bits in OpenGL's byte order; a fresh
// conversion gets alpha from brightness, an image that already had 32 bits
// keeps its alpha. One that cannot be converted is left as it was (and is
// never uploaded).
void prepareSequenceImage(kpximage& image) {
    if (image.bpp == 32) return;
    if (convertToGlRgba(image)) alphaFromBrightness(image);
}

// Moves value towards target by the fraction elapsed / duration of the
// remaining distance, never past the target.
void glideTowards(float& value, float target, float elapsed, float duration) {
    if (target > value) {
        value = value + elapsed * (target - value) / duration;
        if (value > target) value = target;
    } else if (target < value) {
        value = value - elapsed * (value - target) / duration;
        if (value < target) value = target;
    }
}

}  // namespace

ImageSequenceEffect::ImageSequenceEffect(ImageLibrary* library, kpximage* image)
    : current(image), imageLibrary_(library) {
    parameter = kGlideDuration;
    if (image) {
        prepareSequenceImage(*image);
        images.push_back(image);
        show(image);
    }
}

void ImageSequenceEffect::show(kpximage* image) {
    current = image;
    pixels = image->image;
    setSize(image->width, image->height);
    if (pixels && image->bpp == 32)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, bufferWidth, bufferHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

void ImageSequenceEffect::append(kpximage* image) {
    if (!image) return;
    prepareSequenceImage(*image);
    images.push_back(image);
    if (!current) {
        current = image;
        pixels = image->image;
        setSize(image->width, image->height);
    }
}

void ImageSequenceEffect::advance() {
    if (images.empty()) return;
    currentIndex = (currentIndex + 1) % static_cast<int>(images.size());
    show(images[static_cast<std::size_t>(currentIndex)]);
}

void ImageSequenceEffect::init(int time) {
    LayerEffect::init(time);
    targetX = x;
    targetY = y;
    targetWidth = width;
    targetHeight = height;
    targetAlpha = alpha;
}

void ImageSequenceEffect::glide(int time) {
    if (!(moveStart < time)) return;
    const float elapsed = static_cast<float>(static_cast<long long>(time) - moveStart);
    glideTowards(x, targetX, elapsed, parameter);
    glideTowards(y, targetY, elapsed, parameter);
    glideTowards(alpha, targetAlpha, elapsed, parameter);
}

void ImageSequenceEffect::start() {
    steps_.resume();
    LayerEffect::start();
}

void ImageSequenceEffect::takeFrameSteps(int time) {
    steps_.catchUp(stepOrigin, time, true, [this](int t) { frameStep(t); });
}

void ImageSequenceEffect::advance(int time) {
    if (running)
        steps_.catchUp(stepOrigin, time, false, [this](int t) { frameStep(t); });
    else
        steps_.skipTo(stepOrigin, time);
}

void ImageSequenceEffect::run(int time) { takeFrameSteps(time); }

// The pixels went into the texture when the image was chosen.
void ImageSequenceEffect::post() { drawLayerTexture(); }

void ImageSequenceEffect::signal(SignalValue value) {
    const float hundredths = static_cast<float>(value.intValue) / 100.0f;
    switch (value.code) {
    case GLIDE_FROM: moveStart = value.intValue; break;
    case NEXT_PICTURE: advance(); break;
    case APPEND:
        if (imageLibrary_)
            if (kpximage* image = imageLibrary_->getImage(value.text.c_str())) append(image);
        break;
    case TARGET_X: targetX = hundredths; break;
    case TARGET_Y: targetY = hundredths; break;
    case TARGET_ALPHA: targetAlpha = hundredths; break;
    case SHOW:
        if (value.isString && imageLibrary_)
            if (kpximage* image = imageLibrary_->getImage(value.text.c_str())) {
                convertToGlRgba(*image);
                show(image);
            }
        break;
    default: break;
    }
    LayerEffect::signal(value);
}
