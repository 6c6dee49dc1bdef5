// One image drawn additively, wider than itself by a horizontal spread that
// closes (CLOSING) or opens (OPENING) over `parameter` ms (4000) from init,
// with a glowing trail of the rectangles of the last 20 steps of the 60 Hz
// step grid (a third of a second) at a quarter of their alpha. The alpha follows the spread: (8 - spreadX) / 50, so when closing
// it rises from -0.04 (nothing shows) to 0.16 as the logo reaches its size.
//
// Signals: the image-sequence codes; LOGO_MODE (90, also the glide's target
// alpha) sets the mode: CLOSING, OPENING, anything else freezes the spread.
#pragma once

#include "effects/image_sequence_effect.h"

#include <array>

class LogoEffect : public ImageSequenceEffect {
public:
    static constexpr int kTrailLength = 20;
    static constexpr float kStartSpread = 10.0f;
    static constexpr float kSpreadDuration = 4000.0f;

    // Signal code and its values.
    static constexpr int LOGO_MODE = 90;
    static constexpr int CLOSING = 1;
    static constexpr int OPENING = 2;

    struct TrailEntry {
        float alpha = 0.0f;
        float spreadX = 0.0f;
        float spreadY = 0.0f;
    };

    LogoEffect(ImageLibrary* library, kpximage* image);

    void init(int time) override;
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;

    std::array<TrailEntry, kTrailLength> trail{};
    int trailIndex = 0;
    float spreadY = 0.0f;
    float spreadX = kStartSpread;
    int start = 0;
    int mode = 1;

protected:
    // A step of the grid: the rectangle of the step before joins the trail,
    // and the spread moves to the step's time.
    void frameStep(int time) override;

private:
    // The spread and alpha at music time `time`; `spread` is the spread to
    // keep when the mode moves neither way.
    TrailEntry shapeAt(int time, float spread) const;

    TrailEntry stepShape_{};
    bool stepShapeSet_ = false;  // no step taken since init
};
