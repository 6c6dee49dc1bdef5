// One image across the whole screen, scrolling left by one texture width
// every 20 s of music time from init; the texture's repeat wrapping makes it
// wrap around. Only the glide's alpha shows: position and size are reset
// every frame. Signals: the image-sequence codes.
#pragma once

#include "effects/image_sequence_effect.h"

class StarfieldEffect : public ImageSequenceEffect {
public:
    static constexpr float kScrollPerMs = 0.00005f;  // texture widths

    StarfieldEffect(ImageLibrary* library, kpximage* image);

    void init(int time) override;
    void run(int time) override;
    void post() override;

    // Horizontal texture coordinates of the screen's left and right edges.
    float u0 = 0.0f;
    float u1 = 1.0f;
    int start = 0;
};
