// Transforms between the imported file and the scene format. Scene files are
// right-handed with +y up (the camera's up vector), front faces counter-
// clockwise, and one unit is one centimetre for imported models; rotations
// are stored as the conjugate quaternion (the reader builds the transposed
// matrix).
#pragma once

#include "scene/format/quaternion.h"
#include "scene/format/vector.h"

#include <assimp/matrix4x4.h>
#include <assimp/quaternion.h>
#include <assimp/vector3.h>

#include <string>

struct aiScene;

namespace meshimport {

// What the importer puts above the file's root node: the file's axes turned
// to +y up and its units made centimetres, times the user's scale.
struct Conversion {
    aiMatrix4x4 matrix;
    float unitScale = 1;  // centimetres per file unit (before the user's scale)
    std::string units;    // how the unit was found, for the listing
};

Conversion sceneConversion(const aiScene& scene, float userScale);

// The name of the reader that read the file ("glTF2 Importer" ...), or "".
std::string sourceFormat(const aiScene& scene);

// A node's local transform as the scene format holds it.
struct FilePose {
    Vec3 position;
    Quaternion rotation{0, 0, 0, 1};
    Vec3 scale{1, 1, 1};
};

FilePose filePose(const aiMatrix4x4& local);
Quaternion fileRotation(const aiQuaternion& q);
Vec3 toVec3(const aiVector3D& v);
bool finite(const aiVector3D& v);

}  // namespace meshimport
