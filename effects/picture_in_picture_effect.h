// The source effect's 256 x 256 capture shown in a rectangle of the screen
// (the bottom-left quarter by default), with the layer's blend state, and
// optionally a frame image drawn over it with the same blend state.
//
// The rectangle is given in a projection where (0, 0) is the bottom-left and
// (1, 1) the top-right of the viewport. The capture is drawn even while no
// source is set: it then shows the last capture, or the layer's start image
// (grey 127) before the first.
//
// Signals, after the layer codes and SOURCE: LAYER_X/Y/W/H also set the
// picture's rectangle (value / 100); FRAME (text) the frame image, a 24-bit
// picture from the image library given a texture of its own.
#pragma once

#include "effects/capture_effect.h"

struct kpximage;

class PictureInPictureEffect : public CaptureEffect {
public:
    static constexpr int kCaptureSize = 256;
    // Signal code: the frame picture by name.
    static constexpr int FRAME = 110;

    explicit PictureInPictureEffect(ImageLibrary* library);

    void prepare(int time) override;
    void run(int time) override;
    void signal(SignalValue value) override;

    float pictureX() const { return pictureX_; }
    float pictureY() const { return pictureY_; }
    float pictureWidth() const { return pictureWidth_; }
    float pictureHeight() const { return pictureHeight_; }
    bool hasFrame() const { return static_cast<bool>(frameTexture_); }

private:
    void setFrame(const char* name);
    void drawQuad() const;

    GLuint captureTexture_ = 0;
    float pictureX_ = 0.0f;
    float pictureY_ = 0.0f;
    float pictureWidth_ = 0.5f;
    float pictureHeight_ = 0.5f;
    GlTexture frameTexture_;          // none until a frame picture is named
    kpximage* frameImage_ = nullptr;  // owned by the image library
};
