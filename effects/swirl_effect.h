// The source effect with 32 nested, rotating copies of its 256 x 256 capture
// added on top.
//
// Copy i is a square inset by 15 i from each side of a 512 x 512 space that
// spans the viewport, turned by 360 sin(i phase / 32) + 8 i degrees about the
// centre, with alpha 0.8 + 0.005 i. Copies whose inset passes the centre come
// out mirrored and grow again. The phase grows by 0.005 at every step of the
// 60 Hz step grid (runtime/frame_steps.h) the swirl is drawn with a source,
// so it turns the same at any drawing rate. Draws nothing while no source is
// set (SOURCE).
#pragma once

#include "effects/capture_effect.h"
#include "runtime/frame_steps.h"

class SwirlEffect : public CaptureEffect {
public:
    static constexpr int kCaptureSize = 256;
    static constexpr int kCopies = 32;
    static constexpr float kSpace = 512.0f;
    static constexpr float kPhaseStep = 0.005f;

    explicit SwirlEffect(ImageLibrary* library);

    void start() override;
    void prepare(int time) override;
    void run(int time) override;
    void advance(int time) override;

    float phase() const { return phase_; }

private:
    void drawSwirl(int count, float w, float h);

    float phase_ = 0.0f;
    FrameStepper steps_;
};
