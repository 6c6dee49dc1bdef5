// The source effect captured at 512 x 512 and added over the whole screen in
// place of the source itself, unfiltered. A 640 x 480 frame buffer holds only
// the lower 480 rows of the capture, so the top 32 rows (v above 0.9375) are
// left out of the overlay.
//
// The capture uses no scissor test: clearing after the copy clears the whole
// frame buffer, before any effect of the frame draws. Draws nothing while no
// source is set (SOURCE).
#pragma once

#include "effects/capture_effect.h"

class AddCaptureEffect : public CaptureEffect {
public:
    static constexpr int kCaptureSize = 512;
    static constexpr float kTopCoordinate = 0.9375f;

    explicit AddCaptureEffect(ImageLibrary* library);

    void prepare(int time) override;
    void run(int time) override;
};
