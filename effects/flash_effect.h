// A white flash over the whole screen that decays in 20 frames, once or again
// and again at an interval.
//
// The decay is a fixed step per frame of the 60 Hz step grid (see
// runtime/frame_steps.h), so a flash lasts 20 sixtieths of a second at any
// drawing rate. Signals switch the effect on by themselves (no START needed).
#pragma once

#include "runtime/effect.h"
#include "runtime/frame_steps.h"

class FlashEffect : public Effect {
public:
    static constexpr float kDecayPerFrame = 0.05f;

    // Signal codes.
    static constexpr int ONCE = 1;   // one flash; the effect switches itself off when it has decayed
    static constexpr int EVERY = 2;  // a flash now and then one every v ms

    FlashEffect();

    void init(int time) override;
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;
    void advance(int time) override;

    float level() const { return level_; }

private:
    // One frame's decay and the repeat check, at a step of the grid.
    void step(int time);

    FrameStepper steps_;
    float level_ = 0.0f;
    float interval_ = -1.0f;  // ms between repeated flashes; negative: a single flash
    int lastFlash_ = 0;       // music time of the last repeated flash
};
