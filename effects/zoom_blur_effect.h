// The source effect with 24 ever more magnified, bluish copies of its capture
// added on top: a radial blur outwards from the centre.
//
// Copy i shows the texture from 0.012 i to 1 - 0.012 i over the whole
// viewport with alpha 0.25 - 0.009 i in colour (0.7, 0.7, 1.0). The capture
// itself is already blurred once: in prepare the source is captured at
// 256 x 256, blurred with 16 copies into the same corner and captured again.
// Draws nothing while no source is set (SOURCE).
#pragma once

#include "effects/capture_effect.h"

class ZoomBlurEffect : public CaptureEffect {
public:
    static constexpr int kCaptureSize = 256;
    static constexpr int kCopies = 24;
    static constexpr int kCaptureCopies = 16;

    explicit ZoomBlurEffect(ImageLibrary* library);

    void prepare(int time) override;
    void run(int time) override;

private:
    void drawZoomBlur(int count, float w, float h);
};
