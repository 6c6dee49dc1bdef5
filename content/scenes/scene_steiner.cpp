// steiner.ppp: rough stones floating in a slowly turning ring round a dark
// chrome gyre. The glow effect plays it at one frame per 50 ms of music, turns
// objects 2, 5, 6 and 7 itself and makes them glow: these four are root
// objects (the effect reads their position as a world point) of scale 1 (it
// scales them to 1.4 and back to 1 every frame). Object 2's first face's
// material has the base texture the hole map is cut into, of the hole map's
// size; it is that object's own material.
//
// The effect captures a square round each glowing stone, half the capture
// view wide, with the whole scene drawn under an alpha test that passes only
// alpha above 0.9, and blows it up additively. So everything but the four
// stones is textured at alpha kUnglowingAlpha (the other stones and the
// centre's two thin rings): the captures hold the stone alone on black. And
// every camera keeps the four stones' centres within half the view from its
// middle for as long as the show plays the scene, so the square never reaches
// past the capture view.
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

enum Material { kCutStone = 1, kGlowStone, kStoneMaterial, kCoreRing };
enum Object {
    kCoreHalo = 31,
    kCoreInner,
    kLookAt = 60,
    kCameraOrbit = 70,
    kCameraLow,
    kCameraHigh,
    kKeyLight = 80,
    kRimLight,
    kCoreLight
};

constexpr int kEnd = 6500;  // 325 s at 50 ms a frame
constexpr int kStones = 12;
constexpr float kRingRadius = 52;
constexpr int kGlowing[] = {2, 5, 6, 7};

// The object id of stone i: the four glowing ids spread evenly round the ring.
int stoneId(int i) {
    static const int ids[kStones] = {2, 3, 4, 5, 8, 9, 6, 10, 11, 7, 12, 13};
    return ids[i];
}

// A rock: a coarse sphere pushed in and out at each position, faceted.
Mesh rock(float radius, std::uint32_t seed) {
    Mesh m = sphere(radius, 7, 10);
    Random random(seed);
    const Vec3 stretch{random.range(0.8f, 1.25f), random.range(0.7f, 1.0f), random.range(0.8f, 1.2f)};
    for (Vec3& p : m.positions) {
        const float k = random.range(0.78f, 1.12f);
        p = Vec3{p.x * stretch.x, p.y * stretch.y, p.z * stretch.z} * k;
    }
    sphericalMap(m);
    return faceted(m);
}

Vec3 ringPlace(int i, float f) {
    const float a = 6.2831853f * i / kStones + f / 700.0f;
    return {kRingRadius * std::sin(a), 8 * std::sin(f / 160.0f + i * 1.7f), kRingRadius * std::cos(a)};
}

void addMaterials(SceneBuilder& b) {
    {
        // Dimmer than they could be: the glows add a dozen copies of each.
        MaterialSpec stone = litTexture(kStone, {0.75f, 0.75f, 0.85f});
        stone.ambient = {0.35f, 0.35f, 0.45f};
        b.material(kCutStone, stone);
        b.material(kGlowStone, stone);
        MaterialSpec dim = litTexture(kDimStone, {0.3f, 0.3f, 0.38f});
        dim.ambient = {0.06f, 0.06f, 0.08f};
        dim.specular = {0.3f, 0.3f, 0.3f};
        b.material(kStoneMaterial, dim);
    }
    {
        MaterialSpec ring = litTexture(kDimStone, colour(look::kChrome, 0.8f));
        ring.shininess = 0.7f;
        b.material(kCoreRing, ring);
    }
}

// The ring of stones: the glowing ones larger, the others tumbling as they go.
void addStones(SceneBuilder& b) {
    for (int i = 0; i < kStones; ++i) {
        const int id = stoneId(i);
        bool glowing = false;
        for (int g : kGlowing) glowing = glowing || g == id;
        Mesh stone = rock(glowing ? 11.0f : 7.0f + (i % 3) * 1.5f, std::uint32_t(100 + i));
        stone.setMaterial(id == 2 ? kCutStone : glowing ? kGlowStone : kStoneMaterial);
        b.mesh(id, 0, "stone", stone, {ringPlace(i, 0)});
        b.positionKeys(id, pathKeys(0, kEnd, 50, [i](float f) { return ringPlace(i, f); }));
        if (!glowing) b.rotationKeys(id, spinKeys(0, kEnd, {float(i % 2), 1, float(i % 3) - 1}, 0.4f + 0.1f * (i % 4)));
    }
}

// The gyre at the centre: two thin chrome rings spinning on crossing axes.
void addCore(SceneBuilder& b) {
    Mesh halo = torus(22, 0.8f, 40, 6);
    sphericalMap(halo);
    halo.setMaterial(kCoreRing);
    b.mesh(kCoreHalo, 0, "core ring", halo, {{0, 0, 0}, turn({1, 0, 0}, 70)});
    b.rotationKeys(kCoreHalo, spinKeys(0, kEnd, {0, 1, 0}, 0.6f, turn({1, 0, 0}, 70)));
    Mesh inner = torus(14, 0.6f, 32, 6);
    sphericalMap(inner);
    inner.setMaterial(kCoreRing);
    b.mesh(kCoreInner, 0, "inner ring", inner);
    b.rotationKeys(kCoreInner, spinKeys(0, kEnd, {1, 0, 0}, -0.9f));
}

void addCameras(SceneBuilder& b) {
    b.target(kLookAt, {0, 0, 0});
    // Far enough out that the whole ring stays within half the view (at 45
    // degrees and 4:3) from every side the cameras take.
    b.camera(kCameraOrbit, {0, 50, 205}, kLookAt);
    b.positionKeys(kCameraOrbit, pathKeys(0, kEnd, 100, [](float f) {
                       const float a = -f / 1500.0f;
                       return Vec3{205 * std::sin(a), 50 + 15 * std::sin(f / 500.0f), 205 * std::cos(a)};
                   }));
    b.camera(kCameraLow, {132, -16, 157}, kLookAt);
    b.positionKeys(kCameraLow, pathKeys(0, kEnd, 100, [](float f) {
                       const float a = 0.7f + f / 1200.0f;
                       return Vec3{205 * std::sin(a), -16, 205 * std::cos(a)};
                   }));
    b.camera(kCameraHigh, {0, 200, 140}, kLookAt);
    b.positionKeys(kCameraHigh, pathKeys(0, kEnd, 100, [](float f) {
                       const float a = f / 1800.0f;
                       return Vec3{140 * std::sin(a), 200, 140 * std::cos(a)};
                   }));
}

void addLights(SceneBuilder& b) {
    b.light(kKeyLight, {-200, 200, 150}, {1.0f, 0.95f, 0.9f});
    b.light(kRimLight, {200, 40, -200}, colour(look::kCoolLight));
    b.light(kCoreLight, {0, -120, 0}, colour(look::kIndigo, 1.5f));
}

}  // namespace

void buildSteiner(SceneBuilder& b) {
    addMaterials(b);
    addStones(b);
    addCore(b);
    addCameras(b);
    addLights(b);
}

}  // namespace demoscenes
