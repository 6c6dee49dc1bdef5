// sputnik.ppp: a satellite on an inclined orbit round a night-side planet.
// The orbit is a sampled track (position and heading every few frames); the
// solar wings turn to the sun on their own. One camera watches from afar, one
// rides along behind the satellite, one waits low over the planet's limb.
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

enum Material { kPlanetSurface = 1, kAtmosphere, kBodyPlates, kChrome, kSolarCells, kGold, kBeacon };
enum Object {
    kPlanetObject = 20,
    kHaze,
    kSatellite = 30,
    kSatBody,
    kWingLeft,
    kWingRight,
    kDish,
    kAntenna,
    kBeaconLight,
    kLookPlanet = 60,
    kLookSatellite,
    kCameraFar = 70,
    kCameraRide,
    kCameraLimb,
    kSun = 80,
    kPlanetGlow
};

constexpr float kPlanetRadius = 200, kOrbitRadius = 262;
constexpr int kPeriod = 7000;  // frames per orbit
constexpr int kInterval = 20;
constexpr int kEnd = 26000;
constexpr double kTwoPi = 6.28318530717959;
// Samples of the sampled tracks: one every kInterval frames up to kEnd.
constexpr int kSampleCount = kEnd / kInterval + 1;

// Where the satellite is at frame f: a circle tilted 25 degrees about x.
Vec3 orbit(float f) {
    const double a = kTwoPi * f / kPeriod;
    const Vec3 flat{float(kOrbitRadius * std::sin(a)), 0, float(kOrbitRadius * std::cos(a))};
    return rotate(turn({1, 0, 0}, 25), flat);
}

// Heading: nose along the orbit, top away from the planet.
Quaternion heading(float f) {
    const Vec3 p = orbit(f), ahead = orbit(f + 10);
    Vec3 up = p;
    up.normalize();
    return lookRotation(ahead - p, up);
}

void addMaterials(SceneBuilder& b) {
    b.material(kPlanetSurface, litTexture(kPlanet, {1, 1, 1}));
    b.material(kAtmosphere, glow(kFlare, colour(look::kCoolLight, 0.25f)));
    b.material(kBodyPlates, litTexture(kPanel, {1, 1, 1}));
    b.material(kChrome, chrome());
    {
        MaterialSpec solar = litTexture(kSolar, {0.9f, 0.95f, 1.0f});
        solar.twoSided = true;
        solar.shininess = 0.8f;
        solar.strength = 1.0f;
        b.material(kSolarCells, solar);
    }
    b.material(kGold, litColour(colour(look::kWarmAccent), 0.6f, 1.0f));
    b.material(kBeacon, glow(kFlare, colour(look::kHotAccent)));
}

// The planet, tilted and slowly turning, in a faint haze of atmosphere.
void addPlanet(SceneBuilder& b) {
    Mesh planet = sphere(kPlanetRadius, 36, 64);
    sphericalMap(planet);
    planet.setMaterial(kPlanetSurface);
    b.mesh(kPlanetObject, 0, "planet", planet, {{0, 0, 0}, turn({0, 0, 1}, 12)});
    b.rotationKeys(kPlanetObject, spinKeys(0, kEnd, {0, 1, 0}, 0.012f, turn({0, 0, 1}, 12)));
    Mesh haze = sphere(kPlanetRadius * 1.035f, 24, 48);
    haze.setMaterial(kAtmosphere);
    b.mesh(kHaze, 0, "haze", haze);
}

// The satellite: a dummy on the orbit carrying the parts, the first of them
// its plated body with a gold band.
void addSatelliteBody(SceneBuilder& b) {
    b.dummy(kSatellite, 0, {orbit(0)});
    b.samples(kSatellite, kInterval, sampleTrack(kSampleCount, kInterval, [](float f) {
                  return Sample{orbit(f), heading(f)};
              }));
    Mesh body = bevelledBox({5, 5, 9}, 0.8f);
    planarMap(body, {1, 0, 0}, {0, 1, 1}, 1.0f / 6);
    body.setMaterial(kBodyPlates);
    Mesh band = box({5.3f, 5.3f, 1.2f});
    band.setMaterial(kGold);
    body.append(band);
    b.mesh(kSatBody, kSatellite, "body", body);
}

// Two solar wings on struts, each turning about its own axis.
void addSolarWings(SceneBuilder& b) {
    for (int side = -1; side <= 1; side += 2) {
        Mesh wing = box({16, 0.3f, 6});
        planarMap(wing, {1, 0, 0}, {0, 0, 1}, 1.0f / 8);
        wing.setMaterial(kSolarCells);
        Mesh strut = cylinder(0.25f, 3, 6);
        strut.transform(Affine::translation({-side * 9.5f, 0, 0}) * Affine::rotation({0, 0, 1}, 90));
        strut.setMaterial(kChrome);
        wing.append(strut);
        wing.transform(Affine::translation({side * 11.5f, 0, 0}));
        const int id = side < 0 ? kWingLeft : kWingRight;
        b.mesh(id, kSatellite, side < 0 ? "wing left" : "wing right", wing);
        b.rotationKeys(id, spinKeys(0, kEnd, {1, 0, 0}, side * 0.05f));
    }
}

// The dish at the satellite's tail (seen from both sides), the antenna on
// top and the beacon at its tip.
void addDishAndAntenna(SceneBuilder& b) {
    Mesh dish = lathe({{{{0, 0}, {2, 0.3f}, {3.6f, 1.2f}, {4.2f, 1.9f}}}}, 20);
    dish.append([] {
        Mesh back = lathe({{{{0, 0}, {2, 0.3f}, {3.6f, 1.2f}, {4.2f, 1.9f}}}}, 20);
        back.flip();
        return back;
    }());
    dish.transform(Affine::rotation({1, 0, 0}, -90));
    dish.setMaterial(kChrome);
    b.mesh(kDish, kSatellite, "dish", dish, {{0, 0, -5}});
    Mesh antenna = cylinder(0.15f, 9, 6);
    antenna.setMaterial(kChrome);
    b.mesh(kAntenna, kSatellite, "antenna", antenna, {{0, 6.5f, 2}});
    Mesh beacon = sphere(0.6f, 6, 8);
    beacon.setMaterial(kBeacon);
    b.mesh(kBeaconLight, kSatellite, "beacon", beacon, {{0, 11.2f, 2}});
}

void addCameras(SceneBuilder& b) {
    b.target(kLookPlanet, {0, 0, 0});
    b.target(kLookSatellite, orbit(0));
    b.samples(kLookSatellite, kInterval,
              sampleTrack(kSampleCount, kInterval, [](float f) { return Sample{orbit(f)}; }));
    // 1: the whole orbit from afar.
    b.camera(kCameraFar, {0, 160, 760}, kLookPlanet);
    b.positionKeys(kCameraFar, pathKeys(0, kEnd, 500, [](float f) {
                       const float a = f / 9000.0f;
                       return Vec3{560 * std::sin(a), 150 + 60 * std::sin(f / 3000.0f), 560 * std::cos(a)};
                   }));
    // 2: riding along behind and above the satellite, the planet beyond it.
    b.camera(kCameraRide, orbit(0), kLookSatellite);
    b.samples(kCameraRide, kInterval, sampleTrack(kSampleCount, kInterval, [](float f) {
                  const Vec3 p = orbit(f), back = orbit(f - 120);
                  Vec3 out = p;
                  out.normalize();
                  return Sample{back + out * 22.0f + (back - p) * 0.1f};
              }));
    // 3: beside the satellite, outside its orbit, the planet's limb behind it.
    b.camera(kCameraLimb, orbit(0), kLookSatellite);
    b.samples(kCameraLimb, kInterval, sampleTrack(kSampleCount, kInterval, [](float f) {
                  const Vec3 p = orbit(f), ahead = orbit(f + 60);
                  Vec3 out = p;
                  out.normalize();
                  return Sample{ahead + out * 14.0f + rotate(turn({1, 0, 0}, 25), Vec3{0, 9, 0})};
              }));
}

void addLights(SceneBuilder& b) {
    b.light(kSun, {-1500, 600, 1200}, {1.0f, 0.97f, 0.9f});
    b.light(kPlanetGlow, {900, -300, -900}, colour(look::kCoolLight, 0.6f));
}

}  // namespace

void buildSputnik(SceneBuilder& b) {
    addMaterials(b);
    addPlanet(b);
    addSatelliteBody(b);
    addSolarWings(b);
    addDishAndAntenna(b);
    addCameras(b);
    addLights(b);
}

}  // namespace demoscenes
