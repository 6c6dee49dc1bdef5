#include "effects/picture_in_picture_effect.h"

#include "effects/required_image.h"
#include "effects/rgb_upload.h"
#include "kpx/kpx.h"

PictureInPictureEffect::PictureInPictureEffect(ImageLibrary* library) : CaptureEffect(library) {
    setSize(kCaptureSize, kCaptureSize);
    captureTexture_ = texture;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void PictureInPictureEffect::prepare(int time) {
    if (!source) return;
    capture(kCaptureSize, kCaptureSize, captureTexture_, time);
}

void PictureInPictureEffect::signal(SignalValue value) {
    CaptureEffect::signal(value);
    const float scaled = static_cast<float>(value.intValue) / 100.0f;
    switch (value.code) {
    case LAYER_X: pictureX_ = scaled; break;
    case LAYER_Y: pictureY_ = scaled; break;
    case LAYER_W: pictureWidth_ = scaled; break;
    case LAYER_H: pictureHeight_ = scaled; break;
    case FRAME:
        if (value.isString) setFrame(value.text.c_str());
        break;
    default: break;
    }
}

void PictureInPictureEffect::setFrame(const char* name) {
    // A frame the script names must exist: a missing file ends the program
    // with its name instead of drawing from an image that is not there.
    if (!imageLibrary) return;
    frameImage_ = requireImage(*imageLibrary, name);
    frameTexture_ = makeTexture(frameImage_->width, frameImage_->height);
    uploadRgbImage(*frameImage_);
    // After the upload: bringing the image to 24 bits may move its pixels.
    pixels = frameImage_->image;
}

void PictureInPictureEffect::drawQuad() const {
    texturedQuad(pictureX_, pictureY_, pictureX_ + pictureWidth_, pictureY_ + pictureHeight_);
}

void PictureInPictureEffect::run(int time) {
    (void)time;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    bindOnUnit0(captureTexture_);
    pushOrthoMatrices(0, 1, 0, 1);
    applyBlend();
    drawQuad();
    if (frameTexture_) {
        bindOnUnit0(frameTexture_.name());
        drawQuad();
    }
    popOrthoMatrices();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
