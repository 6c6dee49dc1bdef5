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
// gives; SceneFileReader turns them into a Scene. The rules by which the
// reader reads meaning into the records (billboards, light ambient, shading
// from the texture slots, parents and nesting, its error texts) are at the
// end, for every program that shows a file as the reader would see it.
#pragma once

#include "scene/format/face_indices.h"
#include "scene/format/quaternion.h"
#include "scene/format/shading_mode.h"
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

// Mesh chunk. A name starting with kBillboardPrefix makes a billboard. Coordinates are
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

// ---- the reader's rules ------------------------------------------------------

// A mesh whose name starts with this is a billboard: a view-facing square of
// its first face's material; its own geometry is never drawn.
constexpr const char* kBillboardPrefix = "Bill";
bool isBillboardName(const std::string& name);

// A light shines its colour as diffuse and specular light, and this share of
// it as ambient light.
constexpr float kLightAmbientShare = 0.3f;
inline Vec3 lightAmbient(const Vec3& colour) { return colour * kLightAmbientShare; }

// The shading mode of a material from the texture slots that hold a texture
// (base, reflection, additive): base and reflection together draw both;
// base or additive alone are lit and textured; reflection alone is a sphere
// map; none is lit without texture.
ShadingMode shadingFromTextures(bool base, bool reflection, bool additive);

// Parents: parent id 0 links an object into the root list; any other id names
// the first object with that id met in a depth-first walk of the objects read
// so far, then of the lights, then of the cameras. Items of the scene's own
// lists are at depth 0; a child one deeper than its parent. A child is
// refused when it would hang deeper than kMaximumNesting.
constexpr bool nestingAllowed(long long parentDepth) { return parentDepth + 1 <= kMaximumNesting; }

// The reader's error texts. Each is framed by parseErrorMessage, except that
// listings print them under their own prefix.
namespace errors {
constexpr const char* kCouldNotOpen = "could not open file";
constexpr const char* kNotASceneFile = "not a meshcaster file";
constexpr const char* kMissingOwner = "could not find owner for controller object";
// A mesh (kMeshChunk) or a grouping object (kDummyChunk) whose parent is not there.
std::string missingParent(ChunkType kind, long long id, long long parentId);
std::string nestedTooDeep(long long id);
std::string faceOutsideGeometry(long long id);
// The trailing line break is part of the text.
std::string textureNotLoaded(const std::string& name);
}  // namespace errors

// "Error in parsing <file>: <text>\n", the message every reader failure ends with.
std::string parseErrorMessage(const std::string& fileName, const std::string& text);

}  // namespace ppp
