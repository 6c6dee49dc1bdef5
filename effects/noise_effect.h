// Grey random noise: 256 x 256 texels stretched blockily over the viewport,
// half transparent by default, re-rolled while asked to once a step of the
// 60 Hz step grid (runtime/frame_steps.h): at most once a drawn frame, and at
// a drawing rate above 60 not in every frame, so the grain moves as at 60.
//
// Signals: the layer codes, then REROLL (90, 'Z'): re-roll every frame when
// the value is not 0, freeze the current noise when it is 0 (the default);
// NOISE_ALPHA (118, 'v'): alpha = value / 100.
#pragma once

#include "effects/layer_effect.h"
#include "effects/random15.h"
#include "runtime/frame_steps.h"

#include <vector>

class NoiseEffect : public LayerEffect {
public:
    static constexpr int kSize = 256;
    static constexpr float kAlpha = 0.5f;

    // Signal codes.
    static constexpr int REROLL = 90;
    static constexpr int NOISE_ALPHA = 118;

    NoiseEffect();

    // Sets alpha back to 0.5; the rest of the blend state stays.
    void init(int time) override;
    void start() override;
    // Re-rolls when asked to and a step fell since the last frame, and
    // uploads the noise.
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;
    // Steps without drawing only note that a re-roll is due.
    void advance(int time) override;

    // Fills the buffer with new grey pixels (g, g, g, 255).
    void fillNoise();

    int size = kSize;
    std::vector<unsigned char> noise;
    bool regenerate = false;

private:
    void step();

    Random15 random_;
    FrameStepper steps_;
    bool rerollDue_ = false;
};
