#include "scene/mesh_object.h"

#include "scene/material.h"
#include "scene/scene.h"
#include "scene/scene_error.h"

#include <cstdio>
#include <utility>

bool MeshObject::setGeometry(std::vector<Vec3> positions, std::vector<Vec2> coords,
                             const std::vector<FaceIndices>& faces) {
    vertices_.assign(positions.size(), Vertex());
    for (std::size_t i = 0; i < positions.size(); ++i) vertices_[i].position = positions[i];
    texCoords_.assign(coords.size(), TexCoord());
    for (std::size_t i = 0; i < coords.size(); ++i) texCoords_[i].uv = coords[i];

    faces_.assign(faces.size(), Face());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const FaceIndices& in = faces[f];
        Face& out = faces_[f];
        for (int k = 0; k < 3; ++k) {
            if (in.vertex[k] >= vertices_.size()) {
                faces_.clear();
                return false;
            }
            out.vertices[k] = &vertices_[in.vertex[k]];
            if (texCoords_.empty()) {
                out.texCoords[k] = nullptr;
            } else if (in.texCoord[k] < texCoords_.size()) {
                out.texCoords[k] = &texCoords_[in.texCoord[k]];
            } else {
                faces_.clear();
                return false;
            }
        }
        out.materialId = in.materialId == -1 ? 0 : in.materialId;
    }
    return true;
}

namespace {

// Normalises v; a vector without length stays (0, 0, 0). A degenerate face
// (two corners in one place, as at the poles of an exported sphere) would
// otherwise turn the normals of every vertex it touches into NaN.
void normalizeOrKeepZero(Vec3& v) {
    if (v.length() > 0.0f)
        v.normalize();
    else
        v.zero();
}

}  // namespace

void MeshObject::prepareOwnGeometry() {
    for (Vertex& v : vertices_) v.normal.zero();
    for (Face& face : faces_) {
        const Vec3& a = face.vertices[0]->position;
        const Vec3& b = face.vertices[1]->position;
        const Vec3& c = face.vertices[2]->position;
        Vec3 n = Vec3::cross(b - a, c - a);
        normalizeOrKeepZero(n);
        face.normal = n;
        for (Vertex* v : face.vertices) v->normal.add(n);
    }
    for (Vertex& v : vertices_) normalizeOrKeepZero(v.normal);
}

void MeshObject::bindOwnMaterials(Scene& scene) {
    for (Face& face : faces_) {
        face.material = scene.findMaterial(face.materialId);
        if (!face.material) {
            char text[64];
            std::snprintf(text, sizeof text, "face material not found: %d\n", face.materialId);
            SceneError(text);
        }
    }
}

void MeshObject::setOwnShading(ShadingMode mode) {
    for (Face& face : faces_)
        if (face.material) face.material->setShading(mode);
}

void MeshObject::bakeTransform() {
    for (Vertex& v : vertices_) v.position = rotation().rotate(v.position) + position();
}
