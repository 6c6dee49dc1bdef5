#include "scene/format/scene_chunk_decoder.h"

#include "libs/ppd/ppd.h"
#include "scene/format/little_endian.h"

#include <cstdio>
#include <vector>

namespace ppp {

namespace {

// A field of `width` bytes holding NUL-terminated text; false when no NUL is
// inside the field.
bool terminatedText(const unsigned char* field, std::size_t width, std::string& out) {
    for (std::size_t i = 0; i < width; ++i) {
        if (field[i] == 0) {
            out.assign(reinterpret_cast<const char*>(field), i);
            return true;
        }
    }
    return false;
}

std::string format(const char* pattern, long long a, long long b = 0, long long c = 0, long long d = 0) {
    char text[200];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

}  // namespace

const char* chunkTypeName(std::uint32_t type) {
    switch (type) {
    case kEndChunk: return "end";
    case kMeshChunk: return "mesh";
    case kDummyChunk: return "dummy";
    case kMaterialChunk: return "material";
    case kCameraChunk: return "camera";
    case kTargetChunk: return "target";
    case kLightChunk: return "light";
    case kControllerChunk: return "controller";
    default: return "unknown";
    }
}

ChunkDecoder::Result ChunkDecoder::fail(std::string text) {
    error_ = std::move(text);
    return Result::Error;
}

ChunkDecoder::Result ChunkDecoder::truncated(std::uint32_t type) {
    if (type >= kMeshChunk && type <= kControllerChunk)
        return fail(std::string(chunkTypeName(type)) + " chunk runs past the end of the data");
    return fail(format("chunk of type %lld runs past the end of the data", type));
}

std::uint32_t ChunkDecoder::remaining() const {
    const std::uint32_t pos = ppd_tell(file_);
    return pos < file_->size ? file_->size - pos : 0;
}

bool ChunkDecoder::readLeadWord() {
    unsigned char word[4];
    if (ppd_read(word, 4, 1, file_) != 1) return false;
    return FieldCursor(word).u32() == 0;
}

ChunkDecoder::Result ChunkDecoder::next(Chunk& chunk) {
    if (remaining() == 0) return Result::EndOfData;
    unsigned char header[4];
    if (ppd_read(header, 4, 1, file_) != 1) return fail("chunk header runs past the end of the data");
    chunk.type = FieldCursor(header).u32();
    if (ppd_read(header, 4, 1, file_) != 1) return fail("chunk header runs past the end of the data");
    chunk.size = FieldCursor(header).u32();
    chunk.offset = ppd_tell(file_);

    switch (chunk.type) {
    case kMeshChunk: return readMesh(chunk);
    case kDummyChunk: return readDummy(chunk);
    case kMaterialChunk: return readMaterial(chunk);
    case kCameraChunk: return readCamera(chunk);
    case kTargetChunk: return readTarget(chunk);
    case kLightChunk: return readLight(chunk);
    case kControllerChunk: return readController(chunk);
    default: break;
    }
    // End chunks and unknown types are skipped by their size. Reading stops
    // after an end chunk, so only an unknown chunk must fit into the data.
    if (chunk.type != kEndChunk && chunk.size > remaining()) return truncated(chunk.type);
    ppd_seek(file_, static_cast<std::int32_t>(chunk.offset + chunk.size), 0);
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readMesh(Chunk& chunk) {
    unsigned char header[kMeshHeaderSize];
    if (ppd_read(header, kMeshHeaderSize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(header);
    MeshRecord& mesh = chunk.mesh;
    mesh = MeshRecord();
    mesh.id = in.i32();
    mesh.parentId = in.i32();
    if (!terminatedText(in.bytes(), kNameFieldSize, mesh.name))
        return fail(format("name of object %lld is not terminated", mesh.id));
    in.skip(kNameFieldSize);
    const std::uint32_t nv = in.u32(), nt = in.u32(), nf = in.u32();
    mesh.position = in.vec3();
    mesh.rotation = in.quaternion();
    mesh.scale = in.vec3();

    const unsigned long long needed = 1ull * nv * kVertexSize + 1ull * nt * kTexCoordSize + 1ull * nf * kFaceSize;
    if (needed > remaining()) return truncated(chunk.type);

    std::vector<unsigned char> bytes(std::size_t(needed) + 1);
    if (needed > 0 && ppd_read(bytes.data(), std::size_t(needed), 1, file_) != 1) return truncated(chunk.type);
    FieldCursor data(bytes.data());
    mesh.vertices.resize(nv);
    for (Vec3& v : mesh.vertices) v = data.vec3();
    mesh.texCoords.resize(nt);
    for (Vec2& t : mesh.texCoords) {
        const float u = data.f32(), v = data.f32();
        t = Vec2(u, v);
    }
    mesh.faces.resize(nf);
    for (std::uint32_t f = 0; f < nf; ++f) {
        FaceIndices& face = mesh.faces[f];
        for (auto& index : face.vertex) index = data.u32();
        for (auto& index : face.texCoord) index = data.u32();
        face.materialId = data.i32();
        for (std::uint32_t index : face.vertex)
            if (index >= nv)
                return fail(format("face %lld of object %lld uses vertex %lld, the object has %lld vertices", f,
                                   mesh.id, index, nv));
        if (nt == 0) continue;
        for (std::uint32_t index : face.texCoord)
            if (index >= nt)
                return fail(format("face %lld of object %lld uses texture coordinate %lld, the object has %lld", f,
                                   mesh.id, index, nt));
    }
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readDummy(Chunk& chunk) {
    unsigned char bytes[kDummySize];
    if (ppd_read(bytes, kDummySize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(bytes);
    DummyRecord& dummy = chunk.dummy;
    dummy.id = in.i32();
    dummy.parentId = in.i32();
    dummy.position = in.vec3();
    dummy.rotation = in.quaternion();
    dummy.scale = in.vec3();
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readMaterial(Chunk& chunk) {
    unsigned char bytes[kMaterialSize];
    if (ppd_read(bytes, kMaterialSize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(bytes);
    MaterialRecord& material = chunk.material;
    material.id = in.i32();
    material.ambient = in.vec3();
    material.diffuse = in.vec3();
    material.specular = in.vec3();
    material.shininess = in.f32();
    material.shininessStrength = in.f32();
    material.twoSided = in.u8();
    for (std::string& name : material.textures) {
        if (!terminatedText(in.bytes(), kTextureNameFieldSize, name))
            return fail(format("texture name of material %lld is not terminated", material.id));
        in.skip(kTextureNameFieldSize);
    }
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readCamera(Chunk& chunk) {
    unsigned char bytes[kCameraSize];
    if (ppd_read(bytes, kCameraSize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(bytes);
    chunk.camera.id = in.i32();
    chunk.camera.eye = in.vec3();
    chunk.camera.targetId = in.i32();
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readTarget(Chunk& chunk) {
    unsigned char bytes[kTargetSize];
    if (ppd_read(bytes, kTargetSize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(bytes);
    chunk.target.id = in.i32();
    chunk.target.position = in.vec3();
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readLight(Chunk& chunk) {
    unsigned char bytes[kLightSize];
    if (ppd_read(bytes, kLightSize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(bytes);
    chunk.light.id = in.i32();
    chunk.light.position = in.vec3();
    chunk.light.colour = in.vec3();
    return Result::Chunk;
}

ChunkDecoder::Result ChunkDecoder::readController(Chunk& chunk) {
    unsigned char header[kControllerHeaderSize];
    if (ppd_read(header, kControllerHeaderSize, 1, file_) != 1) return truncated(chunk.type);
    FieldCursor in(header);
    ControllerRecord& c = chunk.controller;
    c = ControllerRecord();
    in.u32();
    c.ownerId = in.i32();
    c.kind = in.i32();
    c.controllerClass = in.i32();
    in.u32();
    c.count = in.u32();
    c.interval = in.i32();

    std::uint32_t recordSize = 0;
    if (c.controllerClass == kKeyFramedClass && c.kind == kPositionTrack) {
        recordSize = kPositionKeySize;
    } else if (c.controllerClass == kKeyFramedClass && c.kind == kRotationTrack) {
        recordSize = kRotationKeySize;
    } else if (c.controllerClass == kSampledClass) {
        if (c.kind != kPositionRotationTrack)
            return fail("other sample controller type than 5 (pr) not supported yet\n");
        recordSize = kSampleSize;
    } else {
        return Result::Chunk;  // only the header belongs to the chunk
    }

    const unsigned long long needed = 1ull * c.count * recordSize;
    if (needed > remaining()) return truncated(chunk.type);
    std::vector<unsigned char> bytes(std::size_t(needed) + 1);
    if (needed > 0 && ppd_read(bytes.data(), std::size_t(needed), 1, file_) != 1) return truncated(chunk.type);
    FieldCursor data(bytes.data());

    if (recordSize == kPositionKeySize) {
        c.positionKeys.resize(c.count);
        for (PositionKeyRecord& k : c.positionKeys) {
            k.frame = data.i32();
            k.position = data.vec3();
            k.tension = data.f32();
            k.continuity = data.f32();
            k.bias = data.f32();
            k.easeTo = data.f32();
            k.easeFrom = data.f32();
        }
    } else if (recordSize == kRotationKeySize) {
        c.rotationKeys.resize(c.count);
        for (RotationKeyRecord& k : c.rotationKeys) {
            k.frame = data.i32();
            k.orientation = data.quaternion();
        }
    } else {
        c.samples.resize(c.count);
        for (SampleRecord& s : c.samples) {
            s.position = data.vec3();
            s.rotation = data.quaternion();
        }
    }
    return Result::Chunk;
}

}  // namespace ppp
