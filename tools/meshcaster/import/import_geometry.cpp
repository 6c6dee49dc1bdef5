#include "tools/meshcaster/import/import_geometry.h"

#include "tools/meshcaster/import/import_report.h"
#include "tools/meshcaster/import/import_transform.h"

#include <assimp/mesh.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

namespace meshimport {
namespace {

// Normals closer than this (per component) count as the same direction.
constexpr float kNormalTolerance = 1.0f / 512;

using VertexKey = std::tuple<float, float, float, long, long, long>;

long quantised(float component) { return std::lround(component / kNormalTolerance); }

}  // namespace

void addMesh(const aiMesh& mesh, std::int32_t materialId, NodeGeometry& out, ImportReport& report) {
    if (!(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || !mesh.mVertices) return;
    if (mesh.mNumBones > 0)
        report.warnOnce("skin", "skins are not held by scene files: skinned meshes are kept in their rest pose");
    if (mesh.mNumAnimMeshes > 0)
        report.warnOnce("morph", "morph targets are not held by scene files: meshes are kept in their base shape");
    if (mesh.HasTextureCoords(1))
        report.warnOnce("uv", "scene files hold one set of texture coordinates: further sets are skipped");

    const bool hasNormals = mesh.mNormals != nullptr;
    const bool hasCoords = mesh.HasTextureCoords(0);
    std::map<VertexKey, std::uint32_t> vertexIndex;
    std::map<std::pair<float, float>, std::uint32_t> coordIndex;
    // The first coordinate is the one faces without coordinates point at.
    if (out.texCoords.empty()) out.texCoords.push_back({0, 0});

    auto vertex = [&](unsigned i) {
        const aiVector3D& p = mesh.mVertices[i];
        const aiVector3D n = hasNormals ? mesh.mNormals[i] : aiVector3D();
        const bool usable = hasNormals && std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z);
        const VertexKey key{
            p.x, p.y, p.z, usable ? quantised(n.x) : 0, usable ? quantised(n.y) : 0, usable ? quantised(n.z) : 0};
        const auto [it, added] = vertexIndex.emplace(key, std::uint32_t(out.vertices.size()));
        if (added) out.vertices.push_back(toVec3(p));
        return it->second;
    };
    auto coord = [&](unsigned i) -> std::uint32_t {
        if (!hasCoords) return 0;
        const aiVector3D& t = mesh.mTextureCoords[0][i];
        if (!std::isfinite(t.x) || !std::isfinite(t.y)) return 0;
        const auto [it, added] = coordIndex.emplace(std::make_pair(t.x, t.y), std::uint32_t(out.texCoords.size()));
        if (added) out.texCoords.push_back({t.x, t.y});
        return it->second;
    };

    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3 || !face.mIndices) continue;
        FaceIndices record;
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
            const unsigned index = face.mIndices[k];
            if (index >= mesh.mNumVertices || !finite(mesh.mVertices[index])) {
                valid = false;
                break;
            }
            record.vertex[k] = vertex(index);
            record.texCoord[k] = coord(index);
        }
        if (!valid) throw ImportRefused("a triangle names a missing or non-finite vertex");
        // The reader normalises (b - a) x (c - a): a triangle without area
        // would give every vertex around it a normal of NaN.
        const Vec3 a = out.vertices[record.vertex[0]], b = out.vertices[record.vertex[1]],
                   c = out.vertices[record.vertex[2]];
        const Vec3 n = Vec3::cross(b - a, c - a);
        const float length = n.length();
        if (!(length > 0) || !std::isfinite(length) || !std::isfinite(1.0f / length)) {
            ++out.droppedTriangles;
            continue;
        }
        record.materialId = materialId;
        out.faces.push_back(record);
    }
}

}  // namespace meshimport
