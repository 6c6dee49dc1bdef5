// Fades the whole screen to or from a solid colour (black in the demo).
//
// The level follows a straight line in music time from the moment of init:
// level = (t - startTime) * rate + startLevel. It is not clamped; GL clamps the
// alpha when the overlay is drawn. Signals choose the line (codes below).
// A fade whose duration is zero (CLEAR_AT or COLOUR_AT with v equal to
// startTime, COLOUR_OVER or CLEAR_OVER with v = 0) is complete at once: the
// level holds its end value.
#pragma once

#include "runtime/effect.h"

#include <cstdint>

// The construction record: red, green and blue as three 32-bit floats in 0..1.
struct FadeColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

class FadeEffect : public Effect {
public:
    // Signal codes (v = the integer value).
    static constexpr int CLEAR_AT = 3;     // from full colour to clear, clear at music time v
    static constexpr int COLOUR_AT = 4;    // from clear to full colour, reached at music time v
    static constexpr int COLOUR_OVER = 6;  // to full colour over v ms from init
    static constexpr int CLEAR_OVER = 7;   // to clear over v ms from init
    static constexpr int RED = 115;        // colour components = v / 255
    static constexpr int GREEN = 116;
    static constexpr int BLUE = 117;

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
