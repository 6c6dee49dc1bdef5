// The ".ppp" scene file format, as records: a 4-byte lead word that must be 0,
// then typed chunks (type and payload size, both unsigned 32-bit) up to and
// including an end chunk. Every integer is a little-endian 32-bit value, every
// real a little-endian IEEE single; records are packed.
//
// For the chunk types 2 to 8 the payload size is not used by the reader: it
// consumes exactly the fields and expects the next chunk header right after
// them. Only the end chunk and unknown types are skipped by their size.
//
// These records are what SceneFileWriter takes and what the chunk decoder
// gives; SceneFileReader turns them into a Scene.
#pragma once

#include "scene/format/face_indices.h"
#include "scene/format/quaternion.h"
#include "scene/format/vector.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ppp {

enum ChunkType : std::uint32_t {
    kEndChunk = 1,
    kMeshChunk = 2,
    kDummyChunk = 3,
    kMaterialChunk = 4,
    kCameraChunk = 5,
    kTargetChunk = 6,
    kLightChunk = 7,
    kControllerChunk = 8,
};

enum TrackKind : std::int32_t { kPositionTrack = 2, kRotationTrack = 3, kPositionRotationTrack = 5 };
enum ControllerClass : std::int32_t { kSampledClass = 1, kKeyFramedClass = 2 };

// Objects may be nested at most this deep below a root object: readers refuse
// deeper files rather than recurse without bound.
constexpr int kMaximumNesting = 1000;

constexpr std::uint32_t kChunkHeaderSize = 8;
constexpr std::uint32_t kMeshHeaderSize = 124;
constexpr std::uint32_t kNameFieldSize = 52;
constexpr std::uint32_t kVertexSize = 12;
constexpr std::uint32_t kTexCoordSize = 8;
constexpr std::uint32_t kFaceSize = 28;
constexpr std::uint32_t kDummySize = 48;
constexpr std::uint32_t kMaterialSize = 352;
constexpr std::uint32_t kTextureNameFieldSize = 100;
constexpr std::uint32_t kCameraSize = 20;
constexpr std::uint32_t kTargetSize = 16;
constexpr std::uint32_t kLightSize = 28;
constexpr std::uint32_t kControllerHeaderSize = 28;
constexpr std::uint32_t kPositionKeySize = 36;
constexpr std::uint32_t kRotationKeySize = 20;
constexpr std::uint32_t kSampleSize = 28;

// Mesh chunk. A name starting with "Bill" makes a billboard. Coordinates are
// as in the file: the reader negates v.
struct MeshRecord {
    std::int32_t id = 0;
    std::int32_t parentId = 0;  // 0: a root object
    std::string name;           // at most 51 characters
    Vec3 position;
    Quaternion rotation{0, 0, 0, 1};
    Vec3 scale{1, 1, 1};
    std::vector<Vec3> vertices;
    std::vector<Vec2> texCoords;
    std::vector<FaceIndices> faces;
};

// Dummy chunk: a transform without geometry.
struct DummyRecord {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    Vec3 position;
    Quaternion rotation{0, 0, 0, 1};
    Vec3 scale{1, 1, 1};
};

// Material chunk. Shininess is the file's 0..1 value. The three names are the
// base texture, the reflection map and the additive texture (empty = none, at
// most 99 characters each).
struct MaterialRecord {
    std::int32_t id = 0;
    Vec3 ambient, diffuse, specular;
    float shininess = 0;
    float shininessStrength = 0;
    std::uint8_t twoSided = 0;
    std::string textures[3];
};

struct CameraRecord {
    std::int32_t id = 0;
    Vec3 eye;
    std::int32_t targetId = 0;
};

struct TargetRecord {
    std::int32_t id = 0;
    Vec3 position;
};

struct LightRecord {
    std::int32_t id = 0;
    Vec3 position;
    Vec3 colour;
};

struct PositionKeyRecord {
    std::int32_t frame = 0;  // only the low 16 bits are kept, as a signed number
    Vec3 position;
    float tension = 0, continuity = 0, bias = 0;
    float easeTo = 0, easeFrom = 0;
};

struct RotationKeyRecord {
    std::int32_t frame = 0;
    Quaternion orientation;
};

struct SampleRecord {
    Vec3 position;
    Quaternion rotation;
};

// Controller chunk: key-framed position keys (class 2, kind 2), key-framed
// rotation keys (class 2, kind 3) or position + rotation samples (class 1,
// kind 5). Other class/kind pairs carry only the header.
struct ControllerRecord {
    std::int32_t ownerId = 0;
    std::int32_t kind = 0;
    std::int32_t controllerClass = 0;
    std::uint32_t count = 0;    // the count field of the header
    std::int32_t interval = 0;  // scene time units between samples
    std::vector<PositionKeyRecord> positionKeys;
    std::vector<RotationKeyRecord> rotationKeys;
    std::vector<SampleRecord> samples;
};

}  // namespace ppp
