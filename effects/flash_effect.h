// A white flash over the whole screen that decays in 20 frames, once or again
// and again at an interval.
//
// The decay is a fixed step per frame, so a flash lasts 20 frames however long
// they are. Signals switch the effect on by themselves (no START needed).
#pragma once

#include "runtime/effect.h"

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

    float level() const { return level_; }

private:
    float level_ = 0.0f;
    float interval_ = -1.0f;  // ms between repeated flashes; negative: a single flash
    int lastFlash_ = 0;       // music time of the last repeated flash
};
