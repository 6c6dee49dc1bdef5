// The title in 3D: "VANTOR" in the demo's bold face, extruded, one object a
// letter under a logo dummy, so each letter can fly into its place.
//   vantor2.ppp: chrome letters tumble in from the dark and lock into a row
//                over a glowing floor grid, a chrome ring turning behind them.
//   vantor.ppp:  lit pale letters with hot-coloured sides rise one by one,
//                turning about their upright, in front of a lit ring gate.
#include "content/scenes/kit/glyphs.h"
#include "content/scenes/kit/mapping.h"
#include "content/scenes/kit/primitives.h"
#include "content/scenes/kit/rotation.h"
#include "content/scenes/scene_common.h"
#include "content/scenes/scenes.h"

#include <algorithm>
#include <cmath>

namespace demoscenes {
namespace {

using namespace scenekit;
namespace look = vantor::look;

constexpr int kLogo = 10, kFirstLetter = 11;
constexpr float kCapHeight = 20, kDepth = 5, kSpacing = 4;
constexpr int kEnd = 26000;  // the last frame of every track

struct Letter {
    Mesh mesh;   // centred on its own middle
    Vec3 place;  // its middle in the logo's frame
};

std::vector<Letter> letters(std::int32_t capMaterial, std::int32_t wallMaterial) {
    const auto glyphs = glyphOutlines(look::kFontBold, "VANTOR", kCapHeight);
    float width = 0;
    for (std::size_t i = 0; i < glyphs.size(); ++i) width += glyphs[i].advance + (i + 1 < glyphs.size() ? kSpacing : 0);
    std::vector<Letter> out;
    float pen = -width / 2;
    for (const auto& g : glyphs) {
        // Middle of the ink box in x, half the capital height in y.
        float minX = 1e30f, maxX = -1e30f;
        for (const auto& c : g.contours)
            for (const Vec2& p : c) minX = std::min(minX, p.u), maxX = std::max(maxX, p.u);
        const Vec3 middle{(minX + maxX) / 2, kCapHeight / 2, 0};
        Letter l;
        l.mesh = extrude(g.contours, kDepth, 1.0f / kCapHeight, capMaterial, wallMaterial);
        l.mesh.transform(Affine::translation(middle * -1.0f));
        l.place = Vec3{pen, 0, 0} + middle - Vec3{0, kCapHeight / 2, 0};
        out.push_back(l);
        pen += g.advance + kSpacing;
    }
    return out;
}

Mesh floorGrid(float size, float y, float repeat) {
    Mesh m = box({size, 1, size});
    m.transform(Affine::translation({0, y, 0}));
    planarMap(m, {1, 0, 0}, {0, 0, -1}, repeat / size);
    return m;
}

// vantor2.ppp, the chrome title.

void addChromeMaterials(SceneBuilder& b) {
    b.material(1, chrome());
    b.material(2, litColour(colour(look::kNightBlue), 0.6f, 1.0f));
    b.material(3, litTexture(kGrid, colour(look::kCoolLight)));
    b.material(4, chrome());
}

// The letters under the logo dummy, each tumbling in from the dark to its place.
void addChromeLetters(SceneBuilder& b) {
    b.dummy(kLogo, 0, {{0, 0, 0}});
    const auto row = letters(1, 1);
    Random random(7);
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int id = kFirstLetter + int(i);
        b.mesh(id, kLogo, "letter " + std::string(1, "VANTOR"[i]), row[i].mesh, {row[i].place});
        // Each letter starts far behind and off to a side, turned over, and
        // eases into its place; later letters arrive later.
        const int arrive = 260 + int(i) * 45;
        const Vec3 from{random.range(-130, 130), random.range(-60, 80), random.range(-260, -160)};
        const Vec3 mid = Vec3::lerp(from, row[i].place, 0.6f) + Vec3{0, random.range(-30, 30), 0};
        // Tension 1 at the arrival and at the last key gives both zero
        // tangents: the letter stops dead and holds its place to the end.
        b.positionKeys(id, {{0, from, 0, 0.3f},
                            {arrive - 90, mid},
                            {arrive, row[i].place, 0.9f, 0, 1},
                            {kEnd, row[i].place, 0, 0, 1}});
        // The tumble unwinds with the flight, slowing as the letter settles.
        const float ax = random.range(-150, 150), ay = random.range(-170, 170), az = random.range(-80, 80);
        std::vector<RotationKey> unwind;
        for (int k = 0; k <= 6; ++k) {
            const float s = k / 6.0f, left = (1 - s) * (1 - s);
            unwind.push_back({arrive * k / 6, eulerXYZ(ax * left, ay * left, az * left)});
        }
        unwind.push_back({kEnd, {0, 0, 0, 1}});
        b.rotationKeys(id, unwind);
    }
}

// The word sways gently once it has formed.
void swayChromeWord(SceneBuilder& b) {
    std::vector<RotationKey> sway;
    for (int f = 0; f <= kEnd; f += 500)
        sway.push_back(
            {f, eulerXYZ(f < 800 ? 0 : 6 * std::sin(f / 1900.0f), f < 800 ? 0 : 14 * std::sin(f / 1300.0f), 0)});
    b.rotationKeys(kLogo, sway);
}

// The glowing floor grid and the chrome ring turning behind the word.
void addChromeStage(SceneBuilder& b) {
    Mesh floor = floorGrid(1400, -42, 14);
    floor.setMaterial(3);
    b.mesh(20, 0, "floor", floor);
    Mesh ring = torus(95, 3.5f, 48, 8);
    ring.setMaterial(4);
    b.mesh(21, 0, "ring", ring, {{0, 0, -60}, turn({1, 0, 0}, 90)});
    b.rotationKeys(21, spinKeys(0, kEnd, {0, 1, 0}, 0.05f, turn({1, 0, 0}, 90)));
}

void addChromeCameras(SceneBuilder& b) {
    b.target(30, {0, 0, 0});
    b.target(31, {-12, 0, 0});
    // 1: from the front, pulling back as the letters arrive, then drifting.
    b.camera(40, {0, 10, 140}, 30);
    b.positionKeys(40, [] {
        std::vector<PositionKey> k{{0, {0, 18, 90}, 0, 0.5f}, {600, {0, 8, 175}, 0.6f, 0}};
        for (int f = 1800; f <= kEnd; f += 1200)
            k.push_back(
                {f, {40 * std::sin(f / 2500.0f), 8 + 10 * std::sin(f / 1700.0f), 170 + 20 * std::cos(f / 2100.0f)}});
        return k;
    }());
    // 2: low and to the side, sweeping along the word.
    b.camera(41, {-150, -25, 90}, 31);
    b.positionKeys(41, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = -0.5f + 0.3f * std::sin(f / 3000.0f);  // a swing along the front, from the left
                       return Vec3{170 * std::sin(a), -26 + 6 * std::sin(f / 900.0f), 170 * std::cos(a)};
                   }));
    // 3: close over the top of the letters.
    b.camera(42, {60, 60, 70}, 30);
    b.positionKeys(42, pathKeys(0, kEnd, 400, [](float f) {
                       return Vec3{70 * std::sin(f / 2200.0f), 55, 75 + 10 * std::cos(f / 2200.0f)};
                   }));
}

void addChromeLights(SceneBuilder& b) {
    b.light(50, {-120, 160, 200}, {1.0f, 0.97f, 0.92f});
    b.light(51, {150, 60, -200}, colour(look::kCoolLight));
}

// vantor.ppp, the lit title.

void addLitMaterials(SceneBuilder& b) {
    b.material(1, litColour(colour(look::kChrome, 0.9f), 0.8f, 1.0f));
    b.material(2, litColour(colour(look::kHotAccent, 0.9f), 0.7f, 1.0f));
    b.material(3, litColour(colour(look::kIndigo), 0.4f, 0.8f));
    b.material(4, glow(kFlare, colour(look::kHotAccent)));
}

// The letters under the logo dummy, each rising from below, one after
// another, turning once about the upright; then the whole word turns slowly
// to show its depth.
void addLitLetters(SceneBuilder& b) {
    b.dummy(kLogo, 0, {{0, 0, 0}});
    const auto row = letters(1, 2);
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int id = kFirstLetter + int(i);
        b.mesh(id, kLogo, "letter " + std::string(1, "VANTOR"[i]), row[i].mesh, {row[i].place});
        const int start = int(i) * 40, arrive = start + 320;
        const Vec3 below = row[i].place + Vec3{0, -140, 40};
        b.positionKeys(id,
                       {{start, below, 0, 0.2f}, {arrive, row[i].place, 0.9f, 0, 1}, {kEnd, row[i].place, 0, 0, 1}});
        std::vector<RotationKey> spin;
        if (start > 0) spin.push_back({0, turn({0, 1, 0}, 180)});
        for (int k = 0; k <= 4; ++k) spin.push_back({start + k * 80, turn({0, 1, 0}, 180 + 45 * k)});
        spin.push_back({kEnd, turn({0, 1, 0}, 360)});
        b.rotationKeys(id, spin);
    }
    std::vector<RotationKey> turnWord;
    for (int f = 0; f <= kEnd; f += 400)
        turnWord.push_back({f, turn({0, 1, 0}, f < 700 ? 0 : 20 * std::sin((f - 700) / 1600.0f))});
    b.rotationKeys(kLogo, turnWord);
}

// A ring gate behind, made of plated segments with glowing joints.
void addLitGate(SceneBuilder& b) {
    Mesh gate;
    Mesh joints;
    for (int s = 0; s < 12; ++s) {
        Mesh seg = bevelledBox({12, 44, 10}, 1.5f);
        seg.setMaterial(3);
        seg.transform(Affine::rotation({0, 0, 1}, s * 30.0f) * Affine::translation({0, 92, 0}));
        gate.append(seg);
        Mesh j = sphere(3.0f, 6, 10);
        j.setMaterial(4);
        j.transform(Affine::rotation({0, 0, 1}, s * 30.0f + 15) * Affine::translation({0, 95, 0}));
        joints.append(j);
    }
    b.mesh(20, 0, "gate", gate, {{0, 0, -50}});
    b.rotationKeys(20, spinKeys(0, kEnd, {0, 0, 1}, -0.03f));
    b.mesh(21, 20, "gate lights", joints);
}

void addLitCameras(SceneBuilder& b) {
    b.target(30, {0, 0, 0});
    b.target(31, {10, 0, 0});
    b.camera(40, {0, 0, 200}, 30);
    b.positionKeys(40, [] {
        std::vector<PositionKey> k{{0, {0, -40, 230}, 0, 0.4f}, {500, {0, 0, 165}, 0.7f, 0}};
        for (int f = 1500; f <= kEnd; f += 1000)
            k.push_back({f, {25 * std::sin(f / 2000.0f), 5 * std::cos(f / 1400.0f), 165 + 15 * std::sin(f / 2600.0f)}});
        return k;
    }());
    b.camera(41, {120, 30, 110}, 31);
    b.positionKeys(41, pathKeys(0, kEnd, 400, [](float f) {
                       const float a = 0.9f * std::sin(f / 2800.0f + 0.6f);  // a swing across the front
                       return Vec3{150 * std::sin(a), 25 + 10 * std::sin(f / 1300.0f), 150 * std::cos(a) + 20};
                   }));
}

void addLitLights(SceneBuilder& b) {
    b.light(50, {-150, 120, 220}, {1.0f, 0.95f, 0.9f});
    b.light(51, {160, -40, -150}, colour(look::kHotAccent));
    b.light(52, {0, 200, 60}, colour(look::kCoolLight, 0.6f));
}

}  // namespace

void buildTitleChrome(SceneBuilder& b) {
    addChromeMaterials(b);
    addChromeLetters(b);
    swayChromeWord(b);
    addChromeStage(b);
    addChromeCameras(b);
    addChromeLights(b);
}

void buildTitleLit(SceneBuilder& b) {
    addLitMaterials(b);
    addLitLetters(b);
    addLitGate(b);
    addLitCameras(b);
    addLitLights(b);
}

}  // namespace demoscenes
