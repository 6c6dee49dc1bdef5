// sphere.ppp: the visor's reflective sphere. Object 1 is the sphere, with a
// chrome material (the visor switches it to the mirrored sphere map and puts
// the captured picture of another effect into its reflection). The visor plays
// this scene at one frame per music millisecond and draws it without depth
// writes, so the scene holds the sphere alone, turning slowly, with sampled
// tracks long enough for the whole show.
#include "content/scenes/kit/primitives.h"
#include "content/scenes/kit/rotation.h"
#include "content/scenes/scene_common.h"
#include "content/scenes/scenes.h"

#include <cmath>

namespace demoscenes {
namespace {

using namespace scenekit;
namespace look = vantor::look;

enum Object { kSphere = 1, kLookAt = 60, kCameraFront = 70, kCameraNear, kKeyLight = 80, kRimLight };

constexpr int kInterval = 1000;  // one sample a second of music
constexpr int kCount = kDemoEndTime / kInterval + 11;

}  // namespace

void buildSphere(SceneBuilder& b) {
    MaterialSpec mirror = chrome();
    mirror.colour = colour(look::kChrome);
    b.material(1, mirror);

    b.mesh(kSphere, 0, "sphere", [] {
        Mesh m = sphere(10, 32, 48);
        m.setMaterial(1);
        return m;
    }());
    b.samples(kSphere, kInterval, sampleTrack(kCount, kInterval, [](float ms) {
                  return Sample{{0, 0.4f * std::sin(ms / 3100.0f), 0}, turn({0, 1, 0}, 0.006f * ms)};
              }));

    b.target(kLookAt, {0, 0, 0});
    // 1: straight on, breathing in and out a little.
    b.camera(kCameraFront, {0, 0, 34}, kLookAt);
    b.samples(kCameraFront, kInterval, sampleTrack(kCount, kInterval, [](float ms) {
                  return Sample{{2.0f * std::sin(ms / 5300.0f), 1.5f * std::sin(ms / 4100.0f),
                                 34 + 2.0f * std::sin(ms / 3700.0f)}};
              }));
    // 2: closer and from above, circling slowly.
    b.camera(kCameraNear, {10, 12, 22}, kLookAt);
    b.samples(kCameraNear, kInterval, sampleTrack(kCount, kInterval, [](float ms) {
                  const float a = ms / 20000.0f;
                  return Sample{{24 * std::sin(a), 10, 24 * std::cos(a)}};
              }));

    b.light(kKeyLight, {-40, 50, 60}, {1, 1, 1});
    b.light(kRimLight, {40, -10, -50}, colour(look::kCoolLight));
}

}  // namespace demoscenes
