// arm.ppp: an industrial arm on a plated turntable in a dark bay. A turret
// turns on the base, shoulder, elbow and wrist joints pitch, and two gripper
// jaws open and close: every joint is an object of the hierarchy moved by its
// own rotation (or, for the jaws, position) track, in a six-second work cycle
// repeated for the whole show.
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

enum Material { kPlates = 1, kChrome, kDark, kWarning, kFloor, kLamp };
enum Object {
    kBase = 20,
    kTurret,
    kShoulder,
    kUpperArm,
    kElbow,
    kForearm,
    kWrist,
    kHand,
    kJawLeft,
    kJawRight,
    kShoulderPin,
    kElbowPin,
    kCrates = 40,
    kLamps,
    kFloorGrid,
    kLookAt = 60,
    kLookAtHand,
    kCameraWide = 70,
    kCameraLow,
    kCameraTop,
    kKeyLight = 80,
    kRimLight,
    kWarmLight
};

constexpr int kCycle = 600;  // frames of one work cycle
constexpr int kEnd = 26400;  // 44 cycles: past the show's four minutes

Mesh withMaterial(Mesh m, int material) {
    m.setMaterial(material);
    return m;
}

// A joint pin: a chrome cylinder across the joint (along z).
Mesh pin(float radius, float length) {
    Mesh m = cylinder(radius, length, 16);
    m.transform(Affine::rotation({1, 0, 0}, 90));
    m.setMaterial(kChrome);
    return m;
}

// A plated limb rising from its joint along +y.
Mesh limb(const Vec3& size) {
    Mesh m = bevelledBox(size, std::min(size.x, size.z) * 0.18f);
    m.transform(Affine::translation({0, size.y / 2, 0}));
    planarMap(m, {1, 0, 0.6f}, {0, 1, 0}, 1.0f / 24);
    m.setMaterial(kPlates);
    return m;
}

// Poses of one cycle: turret yaw, shoulder pitch, elbow pitch, wrist pitch,
// jaw opening, at fractions of the cycle.
struct Pose5 {
    float at, yaw, shoulder, elbow, wrist, jaw;
};
constexpr Pose5 kPoses[] = {
    {0.00f, -35, 20, 60, 40, 3.5f},  // over the left crate, jaws open
    {0.15f, -35, 42, 70, 50, 3.5f},  // reach down
    {0.25f, -35, 42, 70, 50, 1.2f},  // grip
    {0.45f, 10, 5, 45, 20, 1.2f},    // lift and swing
    {0.65f, 55, 38, 75, 45, 1.2f},   // over the right crate
    {0.75f, 55, 38, 75, 45, 3.5f},   // release
    {0.90f, 10, 0, 30, 10, 3.5f},    // rise
    {1.00f, -35, 20, 60, 40, 3.5f},
};

template <typename F>
std::vector<RotationKey> cycleRotation(F angleOf, const Vec3& axis) {
    std::vector<RotationKey> keys;
    for (int c = 0; c * kCycle < kEnd; ++c)
        for (const Pose5& p : kPoses) {
            const int frame = c * kCycle + int(p.at * kCycle);
            if (!keys.empty() && frame <= keys.back().frame) continue;
            keys.push_back({frame, turn(axis, angleOf(p))});
        }
    return keys;
}

std::vector<PositionKey> cycleJaw(float side) {
    std::vector<PositionKey> keys;
    for (int c = 0; c * kCycle < kEnd; ++c)
        for (const Pose5& p : kPoses) {
            const int frame = c * kCycle + int(p.at * kCycle);
            if (!keys.empty() && frame <= keys.back().frame) continue;
            keys.push_back({frame, {side * p.jaw, 6, 0}, 0.5f, 0.5f});
        }
    return keys;
}

void addMaterials(SceneBuilder& b) {
    // The hull plates are a dark picture: a colour above 1 brightens them under the lights.
    b.material(kPlates, litTexture(kPanel, {2.6f, 2.3f, 1.9f}));
    b.material(kChrome, chrome());
    b.material(kDark, litColour(colour(look::kNightBlue, 0.9f), 0.5f, 0.9f));
    b.material(kWarning, litColour(colour(look::kHotAccent), 0.6f, 1.0f));
    b.material(kFloor, litTexture(kGrid, colour(look::kCoolLight, 0.9f)));
    b.material(kLamp, glow(kFlare, colour(look::kCoolLight)));
}

// Base: a plated drum on a dark plinth, and the turret turning about y on the drum.
void addBaseAndTurret(SceneBuilder& b) {
    Mesh base = withMaterial(cylinder(26, 6, 32), kDark);
    base.transform(Affine::translation({0, 3, 0}));
    Mesh drum = lathe({{{{0, 6}, {16, 6}}}, {{{16, 6}, {16, 14}, {13, 16}}}, {{{13, 16}, {0, 16}}}}, 24);
    cylindricalMap(drum, 1.0f / 20, 3);
    drum.setMaterial(kPlates);
    base.append(drum);
    b.mesh(kBase, 0, "base", base);

    Mesh turret = withMaterial(bevelledBox({18, 10, 16}, 2), kDark);
    turret.transform(Affine::translation({0, 5, 0}));
    Mesh stripe = withMaterial(box({18.4f, 1.5f, 16.4f}), kWarning);
    stripe.transform(Affine::translation({0, 2, 0}));
    turret.append(stripe);
    b.mesh(kTurret, kBase, "turret", turret, {{0, 16, 0}});
    b.rotationKeys(kTurret, cycleRotation([](const Pose5& p) { return p.yaw; }, {0, 1, 0}));
}

// Shoulder joint above the turret and elbow joint above the upper arm, both
// pitching about z, each with its pin and limb.
void addShoulderAndElbow(SceneBuilder& b) {
    b.dummy(kShoulder, kTurret, {{0, 14, 0}});
    b.rotationKeys(kShoulder, cycleRotation([](const Pose5& p) { return -p.shoulder; }, {0, 0, 1}));
    b.mesh(kShoulderPin, kShoulder, "shoulder pin", pin(5, 18));
    b.mesh(kUpperArm, kShoulder, "upper arm", limb({8, 46, 9}));

    b.dummy(kElbow, kShoulder, {{0, 46, 0}});
    b.rotationKeys(kElbow, cycleRotation([](const Pose5& p) { return -p.elbow - 40; }, {0, 0, 1}));
    b.mesh(kElbowPin, kElbow, "elbow pin", pin(4, 14));
    b.mesh(kForearm, kElbow, "forearm", limb({6, 36, 7}));
}

// The wrist above the forearm, the hand on it and the two jaws sliding apart
// and together.
void addWristAndGripper(SceneBuilder& b) {
    b.dummy(kWrist, kElbow, {{0, 36, 0}});
    b.rotationKeys(kWrist, cycleRotation([](const Pose5& p) { return -p.wrist - 20; }, {0, 0, 1}));
    Mesh hand = pin(3, 9);
    Mesh palm = withMaterial(bevelledBox({10, 4, 6}, 1), kDark);
    palm.transform(Affine::translation({0, 4, 0}));
    hand.append(palm);
    b.mesh(kHand, kWrist, "hand", hand);
    Mesh jaw = withMaterial(bevelledBox({1.6f, 8, 5}, 0.5f), kChrome);
    jaw.transform(Affine::translation({0, 4, 0}));
    b.mesh(kJawLeft, kHand, "jaw left", jaw, {{-3.5f, 6, 0}});
    b.positionKeys(kJawLeft, cycleJaw(-1));
    b.mesh(kJawRight, kHand, "jaw right", jaw, {{3.5f, 6, 0}});
    b.positionKeys(kJawRight, cycleJaw(1));
}

// The bay: crates to either side, a ring of lamps round the base, the floor.
void addBay(SceneBuilder& b) {
    Mesh crates;
    Random random(23);
    const Vec3 spots[] = {{-52, 0, -32}, {-66, 0, -10}, {48, 0, -50}, {66, 0, -28}, {-20, 0, -78}, {30, 0, 60}};
    for (const Vec3& s : spots) {
        const float size = random.range(12, 18);
        Mesh c = withMaterial(bevelledBox({size, size, size}, 1.5f), kPlates);
        planarMap(c, {1, 0, 1}, {0, 1, 0}, 1.0f / size);
        c.transform(Affine::translation(s + Vec3{0, size / 2, 0}) * Affine::rotation({0, 1, 0}, random.range(-30, 30)));
        crates.append(c);
    }
    b.mesh(kCrates, 0, "crates", crates);
    Mesh lamps;
    for (int i = 0; i < 8; ++i) {
        Mesh l = withMaterial(sphere(2.2f, 6, 10), kLamp);
        l.transform(Affine::rotation({0, 1, 0}, i * 45.0f) * Affine::translation({0, 1.5f, 30}));
        lamps.append(l);
    }
    b.mesh(kLamps, 0, "bay lamps", lamps);
    Mesh floor = withMaterial(box({500, 1, 500}), kFloor);
    floor.transform(Affine::translation({0, -0.5f, 0}));
    planarMap(floor, {1, 0, 0}, {0, 0, -1}, 1.0f / 125);
    b.mesh(kFloorGrid, 0, "floor", floor);
}

void addCameras(SceneBuilder& b) {
    b.target(kLookAt, {0, 40, 0});
    b.target(kLookAtHand, {0, 55, 0});
    b.positionKeys(kLookAtHand, pathKeys(0, kEnd, 300, [](float f) {
                       return Vec3{30 * std::sin(f / 700.0f), 50 + 8 * std::sin(f / 450.0f), -10};
                   }));
    // 1: a wide three-quarter view, slowly orbiting.
    b.camera(kCameraWide, {120, 70, 130}, kLookAt);
    b.positionKeys(kCameraWide, pathKeys(0, kEnd, 300, [](float f) {
                       const float a = 0.75f + f / 4200.0f;
                       return Vec3{135 * std::sin(a), 65 + 15 * std::sin(f / 1900.0f), 135 * std::cos(a)};
                   }));
    // 2: low, near the floor, looking up at the working hand.
    b.camera(kCameraLow, {-40, 8, 85}, kLookAtHand);
    b.positionKeys(kCameraLow, pathKeys(0, kEnd, 300, [](float f) {
                       return Vec3{-50 + 25 * std::sin(f / 1500.0f), 10, 95 + 10 * std::cos(f / 1500.0f)};
                   }));
    // 3: high above, turning round the bay.
    b.camera(kCameraTop, {0, 190, 60}, kLookAt);
    b.positionKeys(kCameraTop, pathKeys(0, kEnd, 300, [](float f) {
                       const float a = -f / 3000.0f;
                       return Vec3{80 * std::sin(a), 200, 80 * std::cos(a)};
                   }));
}

void addLights(SceneBuilder& b) {
    b.light(kKeyLight, {-140, 200, 160}, {1.0f, 0.95f, 0.88f});
    b.light(kRimLight, {160, 90, -180}, colour(look::kCoolLight));
    b.light(kWarmLight, {60, 20, 120}, colour(look::kWarmAccent, 0.35f));
}

}  // namespace

void buildArm(SceneBuilder& b) {
    addMaterials(b);
    addBaseAndTurret(b);
    addShoulderAndElbow(b);
    addWristAndGripper(b);
    addBay(b);
    addCameras(b);
    addLights(b);
}

}  // namespace demoscenes
