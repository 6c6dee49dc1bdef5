// boost.ppp: a booster stage climbing through the dark. A plated body with a
// chrome interstage and nose, four fins, three engine bells; under each bell an
// additive exhaust plume that flickers in length, and flare billboards at the
// nozzles. The stage rolls slowly about its axis; the cameras circle it.
//
// Billboards draw a flare whose size falls with the square of the distance,
// so this scene is built large: the stage is 300 units tall and the cameras
// stay 400 to 600 units away.
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

enum Material { kBody = 1, kChrome, kFin, kBell, kPlume, kFlareMaterial, kStars };
enum Object {
    kStage = 20,
    kBodyObject,
    kNose,
    kFins,
    kBells,
    kPlumeFirst = 30,
    kFlareFirst = 40,
    kStarField = 50,
    kLookAt = 60,
    kLookLow,
    kCameraSide = 70,
    kCameraBelow,
    kCameraChase,
    kSunLight = 80,
    kRimLight,
    kFireLight
};

constexpr int kEnd = 26000;
constexpr float kBodyRadius = 30;
// The engine bells' mouths, under the body.
const Vec3 kNozzles[3] = {{0, 0, -14}, {12.1f, 0, 7}, {-12.1f, 0, 7}};

void addMaterials(SceneBuilder& b) {
    b.material(kBody, panelChrome());
    b.material(kChrome, chrome());
    b.material(kFin, litColour(colour(look::kNightBlue, 1.1f), 0.5f, 1.0f));
    b.material(kBell, panelChrome());
    b.material(kPlume, glow(kFlare, {1.0f, 0.95f, 0.9f}));
    b.material(kFlareMaterial, glow(kFlare, {1, 1, 1}));
    b.material(kStars, glow(kFlare, colour(look::kChrome)));
}

void addStage(SceneBuilder& b) {
    // The stage: everything hangs under one dummy that rolls and sways.
    b.dummy(kStage, 0, {{0, 0, 0}});
    std::vector<RotationKey> roll;
    for (int f = 0; f <= kEnd; f += 400)
        roll.push_back({f, compose(turn({0, 0, 1}, 4 * std::sin(f / 1700.0f)), turn({0, 1, 0}, f * 0.03f))});
    b.rotationKeys(kStage, roll);

    Mesh body = lathe({{{{0, -120}, {kBodyRadius, -120}}}, {{{kBodyRadius, -120}, {kBodyRadius, 110}}}}, 32);
    cylindricalMap(body, 1.0f / 60, 4);
    body.setMaterial(kBody);
    b.mesh(kBodyObject, kStage, "body", body);
    Mesh nose = lathe({{{{kBodyRadius, 110}, {kBodyRadius, 130}, {24, 150}, {14, 168}, {5, 178}, {0, 180}}}}, 32);
    nose.setMaterial(kChrome);
    b.mesh(kNose, kStage, "nose", nose);

    Mesh fins;
    for (int i = 0; i < 4; ++i) {
        Mesh fin = extrude({{{0, 0}, {38, -30}, {38, -70}, {0, -60}}}, 3, 1.0f / 40);
        fin.setMaterial(kFin);
        fin.transform(Affine::rotation({0, 1, 0}, 45.0f + 90.0f * i) * Affine::translation({kBodyRadius - 2, -55, 0}));
        fins.append(fin);
    }
    b.mesh(kFins, kStage, "fins", fins);

    Mesh bells;
    for (const Vec3& n : kNozzles) {
        Mesh bell = lathe({{{{5, -120}, {7, -128}, {10, -136}, {12, -144}}}}, 20);
        bell.append([] {
            Mesh inside = lathe({{{{5, -120}, {7, -128}, {10, -136}, {12, -144}}}}, 20);
            inside.flip();
            return inside;
        }());
        bell.setMaterial(kBell);
        bell.transform(Affine::translation(n));
        bells.append(bell);
    }
    b.mesh(kBells, kStage, "engine bells", bells);
}

void addExhaust(SceneBuilder& b) {
    // Plumes: additive cones pointing down from each nozzle, flickering in length.
    for (int i = 0; i < 3; ++i) {
        Mesh plume = cone(11, 110, 16);
        plume.transform(Affine::rotation({1, 0, 0}, 180));
        // The flare's bright middle sits on the nozzle and fades down the plume.
        planarMap(plume, {0.5f / 11, 0, 0}, {0, 0.5f / 55, 0}, 1);
        for (Vec2& uv : plume.uvs) uv = Vec2(uv.u + 0.5f, 0.75f - uv.v / 2);
        plume.setMaterial(kPlume);
        const int id = kPlumeFirst + i;
        b.mesh(id, kStage, "plume", plume, {kNozzles[i] + Vec3{0, -199, 0}});
        Random random(40 + i);
        std::vector<PositionKey> flicker;
        for (int f = 0; f <= kEnd; f += 20)
            flicker.push_back({f, kNozzles[i] + Vec3{0, -199 + random.range(-5, 5), 0}});
        b.positionKeys(id, flicker);
    }
    // Flare billboards at the nozzles (their corner sits on the object's origin).
    for (int i = 0; i < 3; ++i) {
        Mesh quad;
        quad.addPosition({0, 0, 0}), quad.addPosition({1, 0, 0}), quad.addPosition({0, 1, 0});
        quad.addUv({0, 0});
        quad.addTriangle(0, 1, 2, 0, 0, 0);
        quad.setMaterial(kFlareMaterial);
        b.mesh(kFlareFirst + i, kStage, "Billboard flare", quad, {kNozzles[i] + Vec3{-10, -175, 0}});
    }
}

// A sparse field of stars far around the stage.
void addStars(SceneBuilder& b) {
    Mesh stars;
    Random random(99);
    for (int i = 0; i < 160; ++i) {
        const float a = random.range(0, 6.2831853f), y = random.range(-1, 1), r = std::sqrt(1 - y * y);
        const Vec3 p = Vec3{r * std::cos(a), y, r * std::sin(a)} * random.range(2500, 3500);
        Mesh s = box({6, 6, 6});
        s.transform(Affine::translation(p) * Affine::rotation({1, 1, 0}, random.range(0, 90)));
        stars.append(s);
    }
    stars.setMaterial(kStars);
    b.mesh(kStarField, 0, "stars", stars);
}

void addCameras(SceneBuilder& b) {
    b.target(kLookAt, {0, -20, 0});
    b.target(kLookLow, {0, -150, 0});
    b.camera(kCameraSide, {600, 0, 600}, kLookAt);
    b.positionKeys(kCameraSide, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = 0.8f + f / 5000.0f;
                       return Vec3{460 * std::sin(a), 60 * std::sin(f / 2100.0f), 460 * std::cos(a)};
                   }));
    // 2: low at the side, looking up past the engines (the flares stay
    // against the dark: a billboard is drawn as an opaque square).
    b.camera(kCameraBelow, {300, -300, 300}, kLookLow);
    b.positionKeys(kCameraBelow, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = 2.0f - f / 6000.0f;
                       return Vec3{430 * std::sin(a), -300, 430 * std::cos(a)};
                   }));
    b.camera(kCameraChase, {-200, 350, 550}, kLookAt);
    b.positionKeys(kCameraChase, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = 2.4f + f / 7000.0f;
                       return Vec3{420 * std::sin(a), 260 + 50 * std::sin(f / 1500.0f), 420 * std::cos(a)};
                   }));
}

void addLights(SceneBuilder& b) {
    b.light(kSunLight, {-2000, 900, 1500}, {1.0f, 0.98f, 0.95f});
    b.light(kRimLight, {1500, 300, -2000}, colour(look::kCoolLight));
    b.light(kFireLight, {0, -400, 0}, colour(look::kWarmAccent, 0.8f));
}

}  // namespace

void buildBooster(SceneBuilder& b) {
    addMaterials(b);
    addStage(b);
    addExhaust(b);
    addStars(b);
    addCameras(b);
    addLights(b);
}

}  // namespace demoscenes
