// modul2.ppp: the inside of a long station module. Plated hull sections and
// chrome ribs, a walkway, strip lamps and a bulkhead every few sections; the
// cameras glide down the module, one looking ahead, one looking along the wall.
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

enum Material { kHull = 1, kRib, kWalkway, kLampStrip, kBulkhead, kEndWall };
enum Object {
    kHullObject = 20,
    kRibs,
    kWalk,
    kLamps,
    kBulkheads,
    kEnd,
    kLookAhead = 60,
    kLookWall,
    kCameraAhead = 70,
    kCameraWall,
    kHeadLight = 80,
    kKeyLight,
    kWarmLight
};

constexpr float kRadius = 18, kSection = 40;
constexpr int kSections = 40;
constexpr float kLength = kSections * kSection;
constexpr int kEndFrame = 26000;
constexpr int kInterval = 50;
// Samples of the sampled tracks: one every kInterval frames up to kEndFrame.
constexpr int kSampleCount = kEndFrame / kInterval + 1;

// Distance travelled by frame f: the whole module in the show's length.
float travelled(float f) { return 60 + (kLength - 160) * std::min(f, float(kEndFrame)) / kEndFrame; }

// Where section s begins along the module (it runs to z - kSection).
float sectionZ(int s) { return -s * kSection; }

// A track riding down the module dz ahead of the distance travelled, swaying
// gently about (x, y).
auto riding(float dz, float x, float y) {
    return [=](float f) {
        return Sample{{x + 2.5f * std::sin(f / 700.0f), y + 1.5f * std::sin(f / 430.0f), -travelled(f) + dz}};
    };
}

void addMaterials(SceneBuilder& b) {
    b.material(kHull, litTexture(kPanel, {0.85f, 0.9f, 1.0f}));
    b.material(kRib, chrome());
    b.material(kWalkway, litTexture(kGrid, colour(look::kCoolLight, 0.8f)));
    b.material(kLampStrip, glow(kFlare, colour(look::kCoolLight)));
    b.material(kBulkhead, litColour(colour(look::kWarmAccent, 0.9f), 0.5f, 0.8f));
    b.material(kEndWall, litTexture(kPanel, colour(look::kHotAccent)));
}

// Hull: an open cylinder along -z, seen from inside.
Mesh hullSections() {
    Mesh hull;
    for (int s = 0; s < kSections; ++s) {
        const float z = sectionZ(s);
        Mesh section = cylinder(kRadius, kSection, 20, false);
        cylindricalMap(section, 1.0f / kSection, 5);
        section.flip();
        section.transform(Affine::translation({0, 0, z - kSection / 2}) * Affine::rotation({1, 0, 0}, 90));
        section.setMaterial(kHull);
        hull.append(section);
    }
    return hull;
}

// A chrome rib where each section begins.
Mesh ribs() {
    Mesh ribs;
    for (int s = 0; s < kSections; ++s) {
        Mesh rib = torus(kRadius - 0.8f, 1.2f, 20, 5);
        rib.transform(Affine::translation({0, 0, sectionZ(s)}) * Affine::rotation({1, 0, 0}, 90));
        rib.setMaterial(kRib);
        ribs.append(rib);
    }
    return ribs;
}

// A strip lamp high on either side of each section.
Mesh stripLamps() {
    Mesh lamps;
    for (int s = 0; s < kSections; ++s)
        for (int side = -1; side <= 1; side += 2) {
            Mesh lamp = box({1.2f, 1.2f, kSection * 0.6f});
            lamp.transform(Affine::translation({side * 11.5f, 12.5f, sectionZ(s) - kSection / 2}));
            lamp.setMaterial(kLampStrip);
            lamps.append(lamp);
        }
    return lamps;
}

// A walkway plate along the floor of each section.
Mesh walkway() {
    Mesh walk;
    for (int s = 0; s < kSections; ++s) {
        Mesh plate = box({12, 1, kSection - 1});
        plate.transform(Affine::translation({0, -13, sectionZ(s) - kSection / 2}));
        planarMap(plate, {1, 0, 0}, {0, 0, -1}, 1.0f / 12);
        plate.setMaterial(kWalkway);
        walk.append(plate);
    }
    return walk;
}

// A bulkhead frame every fifth section: four bevelled beams round a square door.
Mesh bulkheads() {
    Mesh bulkheads;
    for (int s = 4; s < kSections; s += 5)
        for (int k = 0; k < 4; ++k) {
            Mesh beam = bevelledBox({26, 4, 3}, 0.8f);
            beam.transform(Affine::translation({0, 0, sectionZ(s)}) * Affine::rotation({0, 0, 1}, 90.0f * k) *
                           Affine::translation({0, 11, 0}));
            beam.setMaterial(kBulkhead);
            bulkheads.append(beam);
        }
    return bulkheads;
}

void addModule(SceneBuilder& b) {
    b.mesh(kHullObject, 0, "hull", hullSections());
    b.mesh(kRibs, 0, "ribs", ribs());
    b.mesh(kWalk, 0, "walkway", walkway());
    b.mesh(kLamps, 0, "strip lamps", stripLamps());
    b.mesh(kBulkheads, 0, "bulkheads", bulkheads());
    Mesh end = box({2 * kRadius, 2 * kRadius, 2});
    end.transform(Affine::translation({0, 0, -kLength - 1}));
    end.setMaterial(kEndWall);
    b.mesh(kEnd, 0, "end wall", end);
}

void addCameras(SceneBuilder& b) {
    b.target(kLookAhead, {0, 0, -100});
    b.samples(kLookAhead, kInterval, sampleTrack(kSampleCount, kInterval, [](float f) {
                  return Sample{{4 * std::sin(f / 900.0f), -1 + 2 * std::sin(f / 600.0f), -travelled(f) - 60}};
              }));
    b.target(kLookWall, {-15, 5, -60});
    b.samples(kLookWall, kInterval, sampleTrack(kSampleCount, kInterval, [](float f) {
                  return Sample{{-12, 3 + 3 * std::sin(f / 800.0f), -travelled(f) - 90}};
              }));
    // 1: down the middle of the module, looking ahead.
    b.camera(kCameraAhead, {0, 0, -60}, kLookAhead);
    b.samples(kCameraAhead, kInterval, sampleTrack(kSampleCount, kInterval, riding(0, 0, -1)));
    // 2: off to the upper right, looking across at the left wall. It rides
    // inside the bulkheads' doors (|x|, |y| < 9) with room for its sway and
    // the near plane, so it never passes through a beam.
    b.camera(kCameraWall, {4, 3, -70}, kLookWall);
    b.samples(kCameraWall, kInterval, sampleTrack(kSampleCount, kInterval, riding(-20, 4, 3)));
}

// A head light riding ahead of the cameras, a cool light from above and a
// warm one beyond the end wall.
void addLights(SceneBuilder& b) {
    b.light(kHeadLight, {0, 0, -40}, {0.9f, 0.95f, 1.0f});
    b.samples(kHeadLight, kInterval, sampleTrack(kSampleCount, kInterval, riding(-30, 0, 8)));
    b.light(kKeyLight, {0, 300, -kLength / 2}, colour(look::kCoolLight, 0.5f));
    b.light(kWarmLight, {0, -50, -kLength - 100}, colour(look::kWarmAccent, 0.6f));
}

}  // namespace

void buildModule(SceneBuilder& b) {
    addMaterials(b);
    addModule(b);
    addCameras(b);
    addLights(b);
}

}  // namespace demoscenes
