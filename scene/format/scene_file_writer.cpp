#include "scene/format/scene_file_writer.h"

#include "scene/format/little_endian.h"

#include <cstdio>
#include <stdexcept>
#include <string>

using namespace ppp;

SceneFileWriter::SceneFileWriter() { FieldWriter(bytes_).u32(0); }

std::size_t SceneFileWriter::beginChunk(std::uint32_t type) {
    FieldWriter out(bytes_);
    out.u32(type);
    const std::size_t sizeField = bytes_.size();
    out.u32(0);
    return sizeField;
}

void SceneFileWriter::finishChunk(std::size_t sizeField) {
    const std::uint32_t size = static_cast<std::uint32_t>(bytes_.size() - sizeField - 4);
    for (int i = 0; i < 4; ++i) bytes_[sizeField + i] = static_cast<unsigned char>(size >> (8 * i));
}

void SceneFileWriter::mesh(const MeshRecord& r) {
    if (r.name.size() >= kNameFieldSize) throw std::invalid_argument("object name too long: " + r.name);
    for (const FaceIndices& face : r.faces) {
        for (std::uint32_t index : face.vertex)
            if (index >= r.vertices.size()) throw std::invalid_argument("face vertex index out of range");
        if (!r.texCoords.empty())
            for (std::uint32_t index : face.texCoord)
                if (index >= r.texCoords.size())
                    throw std::invalid_argument("face texture coordinate index out of range");
    }
    const std::size_t sizeField = beginChunk(kMeshChunk);
    FieldWriter out(bytes_);
    out.i32(r.id);
    out.i32(r.parentId);
    out.text(r.name, kNameFieldSize);
    out.u32(static_cast<std::uint32_t>(r.vertices.size()));
    out.u32(static_cast<std::uint32_t>(r.texCoords.size()));
    out.u32(static_cast<std::uint32_t>(r.faces.size()));
    out.vec3(r.position);
    out.quaternion(r.rotation);
    out.vec3(r.scale);
    out.zeros(12);
    for (const Vec3& v : r.vertices) out.vec3(v);
    for (const Vec2& t : r.texCoords) {
        out.f32(t.u);
        out.f32(t.v);
    }
    for (const FaceIndices& face : r.faces) {
        for (std::uint32_t index : face.vertex) out.u32(index);
        for (std::uint32_t index : face.texCoord) out.u32(index);
        out.i32(face.materialId);
    }
    finishChunk(sizeField);
}

void SceneFileWriter::dummy(const DummyRecord& r) {
    const std::size_t sizeField = beginChunk(kDummyChunk);
    FieldWriter out(bytes_);
    out.i32(r.id);
    out.i32(r.parentId);
    out.vec3(r.position);
    out.quaternion(r.rotation);
    out.vec3(r.scale);
    finishChunk(sizeField);
}

void SceneFileWriter::material(const MaterialRecord& r) {
    for (const std::string& name : r.textures)
        if (name.size() >= kTextureNameFieldSize) throw std::invalid_argument("texture name too long: " + name);
    const std::size_t sizeField = beginChunk(kMaterialChunk);
    FieldWriter out(bytes_);
    out.i32(r.id);
    out.vec3(r.ambient);
    out.vec3(r.diffuse);
    out.vec3(r.specular);
    out.f32(r.shininess);
    out.f32(r.shininessStrength);
    out.u8(r.twoSided);
    for (const std::string& name : r.textures) out.text(name, kTextureNameFieldSize);
    out.zeros(3);
    finishChunk(sizeField);
}

void SceneFileWriter::camera(const CameraRecord& r) {
    const std::size_t sizeField = beginChunk(kCameraChunk);
    FieldWriter out(bytes_);
    out.i32(r.id);
    out.vec3(r.eye);
    out.i32(r.targetId);
    finishChunk(sizeField);
}

void SceneFileWriter::target(const TargetRecord& r) {
    const std::size_t sizeField = beginChunk(kTargetChunk);
    FieldWriter out(bytes_);
    out.i32(r.id);
    out.vec3(r.position);
    finishChunk(sizeField);
}

void SceneFileWriter::light(const LightRecord& r) {
    const std::size_t sizeField = beginChunk(kLightChunk);
    FieldWriter out(bytes_);
    out.i32(r.id);
    out.vec3(r.position);
    out.vec3(r.colour);
    finishChunk(sizeField);
}

namespace {

void controllerHeader(FieldWriter& out, std::int32_t owner, std::int32_t kind, std::int32_t controllerClass,
                      std::size_t count, std::int32_t interval) {
    out.u32(0);
    out.i32(owner);
    out.i32(kind);
    out.i32(controllerClass);
    out.u32(0);
    out.u32(static_cast<std::uint32_t>(count));
    out.i32(interval);
}

}  // namespace

void SceneFileWriter::positionKeys(std::int32_t ownerId, const std::vector<PositionKeyRecord>& keys) {
    const std::size_t sizeField = beginChunk(kControllerChunk);
    FieldWriter out(bytes_);
    controllerHeader(out, ownerId, kPositionTrack, kKeyFramedClass, keys.size(), 0);
    for (const PositionKeyRecord& k : keys) {
        out.i32(k.frame);
        out.vec3(k.position);
        out.f32(k.tension);
        out.f32(k.continuity);
        out.f32(k.bias);
        out.f32(k.easeTo);
        out.f32(k.easeFrom);
    }
    finishChunk(sizeField);
}

void SceneFileWriter::rotationKeys(std::int32_t ownerId, const std::vector<RotationKeyRecord>& keys) {
    const std::size_t sizeField = beginChunk(kControllerChunk);
    FieldWriter out(bytes_);
    controllerHeader(out, ownerId, kRotationTrack, kKeyFramedClass, keys.size(), 0);
    for (const RotationKeyRecord& k : keys) {
        out.i32(k.frame);
        out.quaternion(k.orientation);
    }
    finishChunk(sizeField);
}

void SceneFileWriter::samples(std::int32_t ownerId, std::int32_t interval, const std::vector<SampleRecord>& samples) {
    const std::size_t sizeField = beginChunk(kControllerChunk);
    FieldWriter out(bytes_);
    controllerHeader(out, ownerId, kPositionRotationTrack, kSampledClass, samples.size(), interval);
    for (const SampleRecord& s : samples) {
        out.vec3(s.position);
        out.quaternion(s.rotation);
    }
    finishChunk(sizeField);
}

void SceneFileWriter::end(std::uint32_t size) {
    const std::size_t sizeField = beginChunk(kEndChunk);
    FieldWriter(bytes_).zeros(size);
    finishChunk(sizeField);
}

void SceneFileWriter::unknown(std::uint32_t type, const std::vector<unsigned char>& payload) {
    if (type >= kEndChunk && type <= kControllerChunk)
        throw std::invalid_argument("chunk type " + std::to_string(type) + " is not an unknown type");
    const std::size_t sizeField = beginChunk(type);
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    finishChunk(sizeField);
}

bool SceneFileWriter::save(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    return std::fclose(file) == 0 && written;
}
