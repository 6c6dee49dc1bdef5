// What the scene descriptions share: the demo's palette as light and material
// colours, the texture names (from the shared look), and a small repeatable
// random source so every build writes the same bytes.
#pragma once

#include "runtime/demo_end.h"
#include "content/common/demo_look.h"
#include "content/scenes/kit/scene_builder.h"

#include <cstdint>

namespace demoscenes {

inline Vec3 colour(const vantor::look::Rgb& c, float scale = 1) {
    return {c.rf() * scale, c.gf() * scale, c.bf() * scale};
}

inline constexpr const char* kGalaxy = "galakse.jpg";
inline constexpr const char* kChromeMap = "blank metall.jpg";
inline constexpr const char* kPanel = "panel.jpg";
inline constexpr const char* kPlanet = "planet.jpg";
inline constexpr const char* kSolar = "solar.jpg";
inline constexpr const char* kStone = "stone.jpg";
inline constexpr const char* kGrid = "grid.jpg";
inline constexpr const char* kFlare = "flare.jpg";
inline constexpr const char* kDimStone = "dimstone.tga";

// A linear congruential source: the same numbers on every machine.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    float next() {  // 0..1
        state_ = state_ * 1664525u + 1013904223u;
        return float(state_ >> 8) / float(1u << 24);
    }
    float range(float lo, float hi) { return lo + (hi - lo) * next(); }

private:
    std::uint32_t state_;
};

// Material recipes in the demo's look.
scenekit::MaterialSpec litColour(const Vec3& colour, float shininess = 0.3f, float strength = 0.6f);
scenekit::MaterialSpec litTexture(const char* texture, const Vec3& tint = {1, 1, 1});
scenekit::MaterialSpec chrome();
scenekit::MaterialSpec panelChrome();                                // hull plates with the chrome map added
scenekit::MaterialSpec glow(const char* texture, const Vec3& tint);  // additive, two-sided

}  // namespace demoscenes
