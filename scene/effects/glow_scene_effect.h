// GlowSceneEffect: plays a scene with four glowing objects (ids 2, 5, 6, 7).
//
// Before any effect draws (prepare), each of the four objects is drawn alone
// into a square viewport and the 128 x 128 square around its screen position is
// copied into a glow texture. The display pass (run) draws the scene with the
// four objects enlarged and puts over each a radial zoom glow: 12 additive
// layers of its captured picture, each smaller in texture and fainter. One
// glow at a time is highlighted, the highlight moving on every `period` ms, and
// a pulse brightens all four every `period` ms. The highlight, the pulse and
// its decay are checked at every step of the 60 Hz step grid
// (runtime/frame_steps.h), so they keep their timing at any drawing rate.
//
// At construction the hole map's bytes become the alpha channel of object 2's
// base texture, so the capture (alpha test above 0.9) cuts holes into it.
#pragma once

#include "scene/effects/scene_effect.h"
#include "scene/texture.h"
#include "runtime/frame_steps.h"

#include <array>
#include <memory>

struct kpximage;

class GlowSceneEffect : public SceneEffect {
public:
    static constexpr int kGlowCount = 4;
    static constexpr int kGlowIds[kGlowCount] = {2, 5, 6, 7};
    static constexpr int kLayers = 12;
    static constexpr float kBaseLevel = 0.15f;
    static constexpr float kHighlightLevel = 0.35f;
    static constexpr float kPulseLevel = 0.2f;

    // Signal codes; this scene takes none of SceneEffect's but SPEED.
    static constexpr int GLOW_NEXT_CAMERA = 2;  // the camera after the current one
    static constexpr int GLOW_CAMERA = 3;       // the camera with that id
    static constexpr int GLOW_PERIOD = 11;      // ms between highlight steps and pulses
    static constexpr int GLOW_LEVEL1 = 118;     // GLOW_LEVEL1..4: base opacity of glow
    static constexpr int GLOW_LEVEL2 = 119;     // 1..4 = value / 100
    static constexpr int GLOW_LEVEL3 = 120;
    static constexpr int GLOW_LEVEL4 = 121;

    // Loads the scene (as SceneEffect does) and the hole map, by that exact
    // name, from the image library. Ends the program when the hole map cannot
    // be loaded or the scene lacks one of the four objects or object 2's base
    // texture.
    GlowSceneEffect(const char* sceneFile, const char* holeMapName, ImageLibrary& images);

    void init(int time) override;
    void start() override;
    void advance(int time) override;
    // The capture pass.
    void prepare(int time) override;
    // The display pass.
    void run(int time) override;
    void signal(SignalValue value) override;
    int nextCameraCode() const override { return GLOW_NEXT_CAMERA; }

    float level(int k) const { return levels_[k]; }
    int highlighted() const { return current_; }
    float pulse() const { return pulse_; }
    int period() const { return period_; }
    int lastCycle() const { return lastCycle_; }
    int lastPulse() const { return lastPulse_; }
    const Texture& glowTexture(int k) const { return *glowTextures_[k]; }

private:
    // Writes the hole map's bytes into the alpha bytes of the texture's image
    // and uploads it again; stops at the end of a smaller hole map.
    static void cutHoles(Texture& texture, const kpximage& holeMap);
    // The highlight and pulse at a step of the grid.
    void step(int time);
    void setGlowScale(float s);
    void setGlowsVisible(bool visible);
    // One glow: 12 additive layers of the glow texture around (x, y), y from
    // the top of a w x h screen.
    void drawGlow(int k, int x, int y, int w, int h) const;

    std::array<float, kGlowCount> levels_{};
    int captureSize_ = 256;
    int glowSize_ = 128;
    std::array<std::unique_ptr<Texture>, kGlowCount> glowTextures_;
    std::array<SceneObject*, kGlowCount> glowObjects_{};
    int period_ = 1070;
    int current_ = 0;
    int lastCycle_ = 0;
    int lastPulse_ = 0;
    float pulse_ = 0.0f;
    FrameStepper steps_;
};
