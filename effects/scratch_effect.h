// An old-film look: 20 dark vertical stripes of random width (at most 30 px)
// and darkness (at most half opaque) over the whole screen, re-rolled every
// 50 ms of music time. Signals are ignored.
#pragma once

#include "runtime/effect.h"
#include "effects/random15.h"

#include <array>

class ScratchEffect : public Effect {
public:
    static constexpr int kCount = 20;
    static constexpr int kInterval = 50;       // ms between re-rolls
    static constexpr float kMaxWidth = 30.0f;  // pixels
    static constexpr float kMaxAlpha = 0.5f;

    struct Stripe {
        float alpha = 0.0f;
        float left = 0.0f;
        float right = 0.0f;
    };

    ScratchEffect();

    void init(int time) override;
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;

    const std::array<Stripe, kCount>& stripes() const { return stripes_; }

private:
    // New stripes over a screen `width` pixels wide, at most maxWidth wide.
    void reroll(float width, float maxWidth);

    // Until the first re-roll (at most 50 ms after init) every stripe is fully
    // transparent and has no width, so nothing shows.
    std::array<Stripe, kCount> stripes_{};
    int startTime_ = 0;  // init time, then the time of the last re-roll
    Random15 random_;
};
