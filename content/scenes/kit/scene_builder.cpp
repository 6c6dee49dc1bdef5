#include "content/scenes/kit/scene_builder.h"

#include "content/scenes/kit/rotation.h"
#include "scene/format/scene_file_format.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace scenekit {
namespace {

constexpr int kLastFrame = 32767;  // key frames keep only their low 16 bits, signed

}  // namespace

void SceneBuilder::fail(const std::string& what) const { throw std::invalid_argument(name_ + ": " + what); }

void SceneBuilder::claim(std::int32_t id, const char* kind) {
    if (id == 0) fail(std::string(kind) + " with id 0 (0 names the first root object)");
    if (!ids_.insert(id).second) fail(std::string(kind) + " id " + std::to_string(id) + " used twice");
}

void SceneBuilder::needKnown(std::int32_t id, const char* user) const {
    if (!ids_.count(id)) fail(std::string(user) + " names " + std::to_string(id) + ", which is not defined before it");
}

void SceneBuilder::material(std::int32_t id, const MaterialSpec& spec) {
    if (!materials_.insert(id).second) fail("material id " + std::to_string(id) + " used twice");
    ppp::MaterialRecord r;
    r.id = id;
    r.diffuse = spec.colour;
    r.ambient = spec.ambient.x < 0 ? spec.colour * 0.35f : spec.ambient;
    r.specular = spec.specular;
    r.shininess = spec.shininess;
    r.shininessStrength = spec.strength;
    r.twoSided = spec.twoSided ? 1 : 0;
    r.textures[0] = spec.base;
    r.textures[1] = spec.reflection;
    r.textures[2] = spec.additive;
    writer_.material(r);
}

void SceneBuilder::mesh(std::int32_t id, std::int32_t parent, const std::string& name, const Mesh& mesh,
                        const Pose& pose) {
    if (parent != 0) needKnown(parent, ("parent of mesh " + name).c_str());
    claim(id, "mesh");
    if (mesh.triangles.empty()) fail("mesh " + name + " has no faces");
    if (name.size() >= ppp::kNameFieldSize) fail("mesh name " + name + " is too long");
    ppp::MeshRecord r;
    r.id = id;
    r.parentId = parent;
    r.name = name;
    r.position = pose.position;
    r.rotation = toFile(pose.rotation);
    r.scale = pose.scale;
    r.vertices = mesh.positions;
    r.texCoords = mesh.uvs;
    if (r.texCoords.empty()) r.texCoords.push_back({0, 0});
    for (std::size_t i = 0; i < mesh.triangles.size(); ++i) {
        const Triangle& t = mesh.triangles[i];
        const Vec3 n = mesh.faceNormal(i);
        if (!(Vec3::dot(n, n) > 1e-12f))
            fail("mesh " + name + " has a triangle without area (face " + std::to_string(i) + ")");
        FaceIndices f;
        for (int k = 0; k < 3; ++k) {
            if (t.v[k] >= mesh.positions.size()) fail("mesh " + name + " indexes a missing position");
            f.vertex[k] = t.v[k];
            f.texCoord[k] = mesh.uvs.empty() ? 0 : t.t[k];
        }
        f.materialId = t.material;
        usedMaterials_.insert(t.material);
        r.faces.push_back(f);
    }
    writer_.mesh(r);
    if (parent == 0) ++roots_;
    if (!ppp::isBillboardName(name)) triangles_ += mesh.triangles.size();
}

void SceneBuilder::dummy(std::int32_t id, std::int32_t parent, const Pose& pose) {
    if (parent != 0) needKnown(parent, "parent of a dummy");
    claim(id, "dummy");
    ppp::DummyRecord r;
    r.id = id;
    r.parentId = parent;
    r.position = pose.position;
    r.rotation = toFile(pose.rotation);
    r.scale = pose.scale;
    writer_.dummy(r);
    if (parent == 0) ++roots_;
}

void SceneBuilder::target(std::int32_t id, const Vec3& position) {
    claim(id, "target");
    writer_.target({id, position});
    ++roots_;
}

void SceneBuilder::camera(std::int32_t id, const Vec3& eye, std::int32_t targetId) {
    claim(id, "camera");
    writer_.camera({id, eye, targetId});
    cameraTargets_.push_back({id, targetId});
    ++cameras_;
}

void SceneBuilder::light(std::int32_t id, const Vec3& position, const Vec3& colour) {
    claim(id, "light");
    writer_.light({id, position, colour});
    if (++lights_ > 8) fail("more than eight lights");
}

void SceneBuilder::positionKeys(std::int32_t owner, const std::vector<PositionKey>& keys) {
    needKnown(owner, "a position track");
    if (keys.empty()) fail("empty position track");
    std::vector<ppp::PositionKeyRecord> records;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const PositionKey& k = keys[i];
        if (k.frame < 0 || k.frame > kLastFrame || (i > 0 && k.frame <= keys[i - 1].frame))
            fail("position track of " + std::to_string(owner) + ": frame " + std::to_string(k.frame) +
                 " out of order or range");
        ppp::PositionKeyRecord r;
        r.frame = k.frame;
        r.position = k.position;
        r.tension = k.tension;
        r.easeTo = k.easeIn;
        r.easeFrom = k.easeOut;
        records.push_back(r);
    }
    writer_.positionKeys(owner, records);
    animated_.insert(owner);
}

void SceneBuilder::rotationKeys(std::int32_t owner, const std::vector<RotationKey>& keys) {
    needKnown(owner, "a rotation track");
    if (keys.empty()) fail("empty rotation track");
    std::vector<ppp::RotationKeyRecord> records;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const RotationKey& k = keys[i];
        if (k.frame < 0 || k.frame > kLastFrame || (i > 0 && k.frame <= keys[i - 1].frame))
            fail("rotation track of " + std::to_string(owner) + ": frame " + std::to_string(k.frame) +
                 " out of order or range");
        if (i > 0) {
            const Quaternion& a = keys[i - 1].orientation;
            const Quaternion& b = k.orientation;
            if (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w < 0.05f)
                fail("rotation track of " + std::to_string(owner) + ": keys at frames " +
                     std::to_string(keys[i - 1].frame) + " and " + std::to_string(k.frame) + " turn too far apart");
        }
        records.push_back({k.frame, toFile(k.orientation)});
    }
    writer_.rotationKeys(owner, records);
    animated_.insert(owner);
}

void SceneBuilder::samples(std::int32_t owner, int interval, const std::vector<Sample>& samples) {
    needKnown(owner, "a sampled track");
    if (interval <= 0 || samples.empty()) fail("sampled track of " + std::to_string(owner) + " is empty");
    std::vector<ppp::SampleRecord> records;
    for (const Sample& s : samples) records.push_back({s.position, toFile(s.orientation)});
    writer_.samples(owner, interval, records);
    animated_.insert(owner);
}

std::vector<unsigned char> SceneBuilder::finish() {
    if (roots_ == 0) fail("no root object");
    if (cameras_ < 2) fail("fewer than two cameras");
    if (lights_ < 1) fail("no light");
    for (const auto& [camera, target] : cameraTargets_)
        if (!ids_.count(target)) fail("camera " + std::to_string(camera) + " looks at a missing object");
    for (std::int32_t id : usedMaterials_)
        if (!materials_.count(id)) fail("faces use material " + std::to_string(id) + ", which is not defined");
    writer_.end();
    return writer_.bytes();
}

std::vector<PositionKey> pathKeys(int from, int to, int step, const std::function<Vec3(float)>& path) {
    std::vector<PositionKey> keys;
    for (int f = from; f < to; f += step) keys.push_back({f, path(float(f))});
    keys.push_back({to, path(float(to))});
    return keys;
}

std::vector<RotationKey> spinKeys(int from, int to, const Vec3& axis, float degreesPerFrame, const Quaternion& start) {
    const int step = std::max(1, int(std::floor(90.0f / std::max(std::fabs(degreesPerFrame), 1e-6f))));
    std::vector<RotationKey> keys;
    for (int f = from;; f += step) {
        const int frame = std::min(f, to);
        keys.push_back({frame, compose(turn(axis, degreesPerFrame * float(frame - from)), start)});
        if (frame == to) break;
    }
    return keys;
}

std::vector<Sample> sampleTrack(int count, int interval, const std::function<Sample(float)>& at) {
    std::vector<Sample> out;
    for (int i = 0; i < count; ++i) out.push_back(at(float(i * interval)));
    return out;
}

}  // namespace scenekit
