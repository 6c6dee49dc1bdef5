// The source effect with two blocky, brightened copies of itself on top: the
// source is captured at 16 x 16 and at 32 x 32, and both captures are
// stretched over the screen without filtering and added.
//
// Draws nothing while no source is set (SOURCE).
#pragma once

#include "effects/capture_effect.h"

class MosaicGlowEffect : public CaptureEffect {
public:
    static constexpr int kSmallCapture = 16;
    static constexpr int kLargeCapture = 32;

    explicit MosaicGlowEffect(ImageLibrary* library);

    void prepare(int time) override;
    void run(int time) override;

private:
    GlTexture smallTexture_;
    GLuint largeTexture_ = 0;
};
