// metamove.ppp: a gyroscope cradle in a dark chamber, built around the metaball
// surface. Object 6 is the carrier the surface hangs under: a transform at the
// chamber's centre. The surface fills a box of 38 units on its carrier's axes
// (x and y from -19, z from 0 back to -38) and the effect turns it about the
// carrier's origin. The carrier is scaled by 1.8, so the surface swings up
// to about 50 units from the chamber's centre; the gyroscope rings, the floor
// and the pillars stay outside that sphere, and the cameras keep it in frame
// from 120 to 160 units away.
#include "content/scenes/kit/mapping.h"
#include "content/scenes/kit/primitives.h"
#include "content/scenes/kit/rotation.h"
#include "content/scenes/scene_common.h"
#include "content/scenes/scenes.h"

#include <cmath>

namespace demoscenes {
namespace {

using namespace scenekit;
namespace look = vantor::look;

enum Material { kFloorMaterial = 1, kRingChrome, kRingPlates, kPillar, kLamp, kBase };
enum Object {
    kFloor = 2,
    kCarrier = 6,
    kOuterRing = 20,
    kInnerRing,
    kPillars,
    kLamps,
    kCradle,
    kLookAt = 60,
    kCameraOrbit = 70,
    kCameraLow,
    kCameraHigh,
    kKeyLight = 80,
    kRimLight,
    kUnderLight
};

constexpr int kEnd = 26000;
constexpr float kFloorY = -75;
constexpr float kCarrierScale = 1.8f;

void addMaterials(SceneBuilder& b) {
    b.material(kFloorMaterial, litTexture(kGrid, colour(look::kCoolLight, 0.9f)));
    b.material(kRingChrome, chrome());
    b.material(kRingPlates, panelChrome());
    b.material(kPillar, litTexture(kPanel, colour(look::kIndigo, 2.2f)));
    b.material(kLamp, glow(kFlare, colour(look::kHotAccent)));
    b.material(kBase, litColour(colour(look::kNightBlue, 1.2f), 0.6f, 0.8f));
}

void addFloor(SceneBuilder& b) {
    Mesh floor = box({600, 2, 600});
    floor.transform(Affine::translation({0, kFloorY - 1, 0}));
    planarMap(floor, {1, 0, 0}, {0, 0, -1}, 1.0f / 150);
    floor.setMaterial(kFloorMaterial);
    b.mesh(kFloor, 0, "floor", floor);
}

// The carrier of the surface, bobbing gently at the chamber's centre.
void addCarrier(SceneBuilder& b) {
    b.dummy(kCarrier, 0, {{0, 0, 0}, {0, 0, 0, 1}, {kCarrierScale, kCarrierScale, kCarrierScale}});
    b.positionKeys(kCarrier, pathKeys(0, kEnd, 400, [](float f) { return Vec3{0, 3 * std::sin(f / 800.0f), 0}; }));
}

// Gyroscope: two rings on crossing axes, spinning at different rates.
void addGyroscope(SceneBuilder& b) {
    Mesh outer = torus(76, 2.8f, 48, 8);
    cylindricalMap(outer, 1.0f / 8, 8);
    outer.setMaterial(kRingPlates);
    b.mesh(kOuterRing, 0, "outer ring", outer);
    b.rotationKeys(kOuterRing, spinKeys(0, kEnd, {0, 0, 1}, 0.08f, turn({1, 0, 0}, 90)));
    Mesh inner = torus(68, 2.0f, 48, 8);
    inner.setMaterial(kRingChrome);
    b.mesh(kInnerRing, kOuterRing, "inner ring", inner);
    b.rotationKeys(kInnerRing, spinKeys(0, kEnd, {1, 0, 0}, -0.13f));
}

// Cradle: a stepped plinth on the floor, four pillars with lamps on top.
void addCradle(SceneBuilder& b) {
    Mesh cradle = lathe({{{{0, kFloorY}, {40, kFloorY}}},
                         {{{40, kFloorY}, {40, kFloorY + 4}, {32, kFloorY + 8}}},
                         {{{32, kFloorY + 8}, {0, kFloorY + 8}}}},
                        40);
    cradle.setMaterial(kBase);
    b.mesh(kCradle, 0, "cradle", cradle);
    Mesh pillars;
    Mesh lamps;
    for (int i = 0; i < 4; ++i) {
        const Affine place = Affine::rotation({0, 1, 0}, 45.0f + 90.0f * i) * Affine::translation({0, 0, 200});
        Mesh p = lathe({{{{0, kFloorY}, {5, kFloorY}}}, {{{5, kFloorY}, {4, 30}}}, {{{4, 30}, {0, 30}}}}, 12);
        cylindricalMap(p, 1.0f / 30, 1);
        p.setMaterial(kPillar);
        p.transform(place);
        pillars.append(p);
        Mesh l = sphere(3.5f, 8, 12);
        l.transform(place * Affine::translation({0, 34, 0}));
        l.setMaterial(kLamp);
        lamps.append(l);
    }
    b.mesh(kPillars, 0, "pillars", pillars);
    b.mesh(kLamps, 0, "pillar lamps", lamps);
}

// Three cameras circling the chamber's centre: level, low and high.
void addCameras(SceneBuilder& b) {
    b.target(kLookAt, {0, -6, 0});
    b.camera(kCameraOrbit, {0, 30, 160}, kLookAt);
    b.positionKeys(kCameraOrbit, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = f / 3500.0f;
                       return Vec3{160 * std::sin(a), 30 + 12 * std::sin(f / 1700.0f), 160 * std::cos(a)};
                   }));
    b.camera(kCameraLow, {-120, -50, 90}, kLookAt);
    b.positionKeys(kCameraLow, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = -2.2f - f / 5000.0f;
                       return Vec3{140 * std::sin(a), -50, 140 * std::cos(a)};
                   }));
    b.camera(kCameraHigh, {40, 150, 60}, kLookAt);
    b.positionKeys(kCameraHigh, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = 1.0f + f / 4000.0f;
                       return Vec3{80 * std::sin(a), 165, 80 * std::cos(a)};
                   }));
}

void addLights(SceneBuilder& b) {
    b.light(kKeyLight, {-200, 220, 200}, {1.0f, 0.96f, 0.9f});
    b.light(kRimLight, {200, 80, -220}, colour(look::kCoolLight));
    b.light(kUnderLight, {0, -50, 120}, colour(look::kHotAccent, 0.5f));
}

}  // namespace

void buildMetamove(SceneBuilder& b) {
    addMaterials(b);
    addFloor(b);
    addCarrier(b);
    addGyroscope(b);
    addCradle(b);
    addCameras(b);
    addLights(b);
}

}  // namespace demoscenes
