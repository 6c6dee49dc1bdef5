// Fades the whole screen to or from a solid colour (black in the demo).
//
// The level follows a straight line in music time from the moment of init:
// level = (t - startTime) * rate + startLevel. It is not clamped; GL clamps the
// alpha when the overlay is drawn. Signals choose the line:
//    3  fade from full colour to clear, reaching clear at music time v
//    4  fade to full colour, reached at music time v
//    6  fade to full colour over v ms from startTime
//    7  fade to clear over v ms from startTime
//  115/116/117  red / green / blue = v / 255
// A fade whose duration is zero (3 or 4 with v equal to startTime, 6 or 7 with
// v = 0) is complete at once: the level holds its end value.
#pragma once

#include "app/effect.h"

#include <cstdint>

// The construction record: red, green and blue as three 32-bit floats in 0..1.
struct FadeColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

class FadeEffect : public Effect {
public:
    explicit FadeEffect(FadeColor color);

    void init(int time) override;
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;

    float level() const { return level_; }
    FadeColor color() const { return color_; }

private:
    // Sets the line that ends at endLevel after `duration` ms; a zero duration
    // jumps straight to endLevel.
    void fadeOver(std::int64_t duration, float fromLevel, float endLevel);

    FadeColor color_;
    int startTime_ = 0;
    float startLevel_ = 0.0f;
    float rate_ = 0.0f;
    float level_ = 0.0f;
};
