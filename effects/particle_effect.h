// A flat spiral cloud of 500 glowing sprites that turns about the vertical
// axis, tilted towards the viewer, and fades in or out on command.
//
// Each sprite is a camera-facing square drawn additively in pale yellow; its
// brightness is its own fixed alpha plus one effect-wide fade value. The fade
// takes a step at every step of the 60 Hz step grid (runtime/frame_steps.h):
// the elapsed time since the fade began, divided by the fade's length, so it
// accelerates, the same at any drawing rate.
// The turn follows the music time alone: 10 degrees a second.
//
// Signals: the codes below (value = intValue).
#pragma once

#include "runtime/effect.h"
#include "runtime/frame_steps.h"
#include "scene/texture.h"

#include <vector>

struct kpximage;

struct Particle {
    float x, y, z;
    float size;  // half the side of the sprite square
    float vx, vy, vz;
    float alpha;
    float alphaStep;
};

// Brings the sprite image to what the effect is given at start-up, in place:
// 32 bits with kpx_convert_32, then kpx_swap_colors. From a 24-bit picture
// this gives green, blue, 255, red: the alpha of a grey sprite is its
// brightness. Done once per cached image. Returns the image.
kpximage* makeParticleSprite(kpximage* image);

class ParticleEffect : public Effect {
public:
    static constexpr int kCount = 500;

    // Signal codes.
    static constexpr int DURATION = 10;  // fade length in ms
    static constexpr int FADE_IN = 90;   // fade in from fade -1
    static constexpr int FADE_OUT = 91;  // fade out from fade 0

    // The sprite image is taken as it is (the start-up brings it to 32 bits in
    // OpenGL's channel order) and uploaded as a 2D texture.
    explicit ParticleEffect(kpximage* sprite);
    ParticleEffect(const ParticleEffect&) = delete;
    ParticleEffect& operator=(const ParticleEffect&) = delete;

    void init(int time) override;
    void start() override;
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;
    void advance(int time) override;

    float fade() const { return fade_; }
    const Particle& particle(int i) const { return particles_[i]; }
    int count() const { return count_; }

private:
    void updateFade(int time);
    void moveParticle(Particle& p);
    // One step at music time `time`: the fade and every sprite's motion.
    void step(int time);

    std::vector<Particle> particles_;
    int count_ = kCount;
    Texture texture_;
    float fade_ = -1.0f;          // added to every sprite's alpha; kept in [-1, 0]
    float fadeDirection_ = 1.0f;  // +1 fading in, -1 fading out
    int fadeStart_ = 0;
    int fadeDuration_ = 1000;
    int lastStepTime_ = 0;  // where a fade signalled now starts from
    FrameStepper steps_;
};
