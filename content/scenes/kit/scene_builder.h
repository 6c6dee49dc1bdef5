// Describes one scene and writes it as a ".ppp" file through SceneFileWriter.
// The builder checks what the reader and renderer would otherwise get wrong
// silently or fatally at the demo's start: ids used twice or 0 (0 means "the
// first root object" to cameras and effects), parents and track owners that
// come later than their users, faces without a material, triangles too thin
// to give a normal, key frames that do not increase or wrap past 32767, and
// rotation keys half a turn apart (which slerp would take the short way).
// A failed check throws std::invalid_argument naming scene and item.
#pragma once

#include "content/scenes/kit/geometry.h"
#include "scene/format/scene_file_writer.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace scenekit {

// Orientations are the kit's (rotation.h); the builder stores them as the file wants.
struct Pose {
    Vec3 position;
    Quaternion rotation{0, 0, 0, 1};
    Vec3 scale{1, 1, 1};
};

struct PositionKey {
    int frame;
    Vec3 position;
    float easeIn = 0;   // slows the arrival at this key (0..1)
    float easeOut = 0;  // slows the departure from this key (0..1)
    float tension = 0;
};

struct RotationKey {
    int frame;
    Quaternion orientation;
};

struct Sample {
    Vec3 position;
    Quaternion orientation{0, 0, 0, 1};
};

// Material recipes. The renderer picks its shading mode from the textures
// named: none = lit colour; base = lit texture; reflection only = chrome
// (sphere map, unlit); base and reflection = texture plus chrome, unlit;
// additive = lit texture added onto what is behind.
struct MaterialSpec {
    Vec3 colour{0.8f, 0.8f, 0.8f};
    Vec3 ambient{-1, -1, -1};  // negative: 0.35 x colour
    Vec3 specular{1, 1, 1};
    float shininess = 0.3f;  // 0..1
    float strength = 0.6f;   // specular scale
    bool twoSided = false;
    std::string base, reflection, additive;
};

class SceneBuilder {
public:
    explicit SceneBuilder(std::string name) : name_(std::move(name)) {}

    void material(std::int32_t id, const MaterialSpec& spec);
    // A mesh object; every triangle's material must be defined by finish().
    // A name starting with ppp::kBillboardPrefix ("Bill") makes a view-facing billboard of the first
    // face's material (the geometry itself is never drawn).
    void mesh(std::int32_t id, std::int32_t parent, const std::string& name, const Mesh& mesh, const Pose& pose = {});
    void dummy(std::int32_t id, std::int32_t parent, const Pose& pose = {});
    void target(std::int32_t id, const Vec3& position);
    void camera(std::int32_t id, const Vec3& eye, std::int32_t targetId);
    void light(std::int32_t id, const Vec3& position, const Vec3& colour);

    void positionKeys(std::int32_t owner, const std::vector<PositionKey>& keys);
    void rotationKeys(std::int32_t owner, const std::vector<RotationKey>& keys);
    // Position and orientation every `interval` frames, the first at frame 0.
    void samples(std::int32_t owner, int interval, const std::vector<Sample>& samples);

    // Checks the whole scene and returns the file's bytes (end chunk included).
    std::vector<unsigned char> finish();

    const std::string& name() const { return name_; }
    std::size_t triangleCount() const { return triangles_; }

private:
    [[noreturn]] void fail(const std::string& what) const;
    void claim(std::int32_t id, const char* kind);
    void needKnown(std::int32_t id, const char* user) const;

    std::string name_;
    SceneFileWriter writer_;
    std::set<std::int32_t> ids_;  // objects, targets, cameras, lights
    std::set<std::int32_t> materials_;
    std::set<std::int32_t> usedMaterials_;
    std::set<std::int32_t> animated_;
    std::vector<std::pair<std::int32_t, std::int32_t>> cameraTargets_;
    int cameras_ = 0, lights_ = 0, roots_ = 0;
    std::size_t triangles_ = 0;
};

// Helpers that make tracks.
// Position keys every `step` frames from `from` to `to` (inclusive) through
// the points of a path; the spline passes through each.
std::vector<PositionKey> pathKeys(int from, int to, int step, const std::function<Vec3(float frame)>& path);
// Rotation keys for a steady spin about an axis at `degreesPerFrame`, after
// the orientation `start`, from `from` to `to`; keys at most 90 degrees apart.
std::vector<RotationKey> spinKeys(int from, int to, const Vec3& axis, float degreesPerFrame,
                                  const Quaternion& start = {0, 0, 0, 1});
// `count` samples `interval` frames apart from a function of the frame.
std::vector<Sample> sampleTrack(int count, int interval, const std::function<Sample(float frame)>& at);

}  // namespace scenekit
