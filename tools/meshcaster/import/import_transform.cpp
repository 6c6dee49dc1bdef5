#include "tools/meshcaster/import/import_transform.h"

#include <assimp/scene.h>

#include <cmath>
#include <cstring>

namespace meshimport {
namespace {

bool metaInt(const aiScene& scene, const char* key, int& out) {
    if (!scene.mMetaData) return false;
    int32_t value = 0;
    if (!scene.mMetaData->Get(key, value)) return false;
    out = value;
    return true;
}

bool metaReal(const aiScene& scene, const char* key, double& out) {
    if (!scene.mMetaData) return false;
    float f = 0;
    double d = 0;
    for (unsigned i = 0; i < scene.mMetaData->mNumProperties; ++i) {
        if (std::strcmp(scene.mMetaData->mKeys[i].C_Str(), key) != 0) continue;
        const aiMetadataEntry& entry = scene.mMetaData->mValues[i];
        if (entry.mType == AI_FLOAT && scene.mMetaData->Get(key, f)) return out = f, true;
        if (entry.mType == AI_DOUBLE && scene.mMetaData->Get(key, d)) return out = d, true;
        return false;
    }
    return false;
}

// The unit vector of axis 0, 1 or 2 with a sign of +1 or -1.
aiVector3D axis(int index, int sign) {
    aiVector3D v;
    v[static_cast<unsigned>(index)] = sign < 0 ? -1.0f : 1.0f;
    return v;
}

}  // namespace

std::string sourceFormat(const aiScene& scene) {
    aiString format;
    if (scene.mMetaData && scene.mMetaData->Get("SourceAsset_Format", format)) return format.C_Str();
    return {};
}

Conversion sceneConversion(const aiScene& scene, float userScale) {
    Conversion c;
    const std::string format = sourceFormat(scene);
    // Files that name their axes (FBX does) are turned so that their up axis
    // becomes +y, their front axis +z and their side axis +x. The readers of
    // the other formats hand over +y up already (Collada and 3DS files are
    // turned by the reader itself).
    int up = 1, upSign = 1, front = 2, frontSign = 1, side = 0, sideSign = 1;
    aiMatrix4x4 axes;
    if (metaInt(scene, "UpAxis", up) && metaInt(scene, "UpAxisSign", upSign) && metaInt(scene, "FrontAxis", front) &&
        metaInt(scene, "FrontAxisSign", frontSign) && metaInt(scene, "CoordAxis", side) &&
        metaInt(scene, "CoordAxisSign", sideSign) && up >= 0 && up < 3 && front >= 0 && front < 3 && side >= 0 &&
        side < 3 && up != front && up != side && front != side) {
        const aiVector3D x = axis(side, sideSign), y = axis(up, upSign), z = axis(front, frontSign);
        axes = aiMatrix4x4(x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, 0, 0, 0, 1);
    }
    double factor = 0;
    if (metaReal(scene, "UnitScaleFactor", factor) && std::isfinite(factor) && factor > 0 && factor < 1e6) {
        c.unitScale = float(factor);
        c.units = "the file's unit scale";
    } else if (format.find("glTF") != std::string::npos || format.find("Collada") != std::string::npos) {
        c.unitScale = 100;  // metres (the Collada reader applies the file's own unit)
        c.units = "metres";
    } else {
        c.unitScale = 1;
        c.units = "file units taken as centimetres";
    }
    const float s = c.unitScale * userScale;
    aiMatrix4x4 scaling;
    aiMatrix4x4::Scaling(aiVector3D(s, s, s), scaling);
    c.matrix = scaling * axes;
    return c;
}

FilePose filePose(const aiMatrix4x4& local) {
    aiVector3D scale, position;
    aiQuaternion rotation;
    local.Decompose(scale, rotation, position);
    FilePose pose;
    pose.position = toVec3(position);
    pose.rotation = fileRotation(rotation);
    pose.scale = toVec3(scale);
    return pose;
}

Quaternion fileRotation(const aiQuaternion& q) {
    aiQuaternion n = q;
    n.Normalize();
    return {-n.x, -n.y, -n.z, n.w};
}

Vec3 toVec3(const aiVector3D& v) { return {v.x, v.y, v.z}; }

bool finite(const aiVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace meshimport
