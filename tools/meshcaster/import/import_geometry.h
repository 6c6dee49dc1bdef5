// The triangles of one node, from all of its meshes, as one scene-file mesh.
//
// The scene reader computes vertex normals itself by averaging the normals of
// the faces around each vertex. To keep the file's normals, corners are
// welded into one vertex only when both their position and their normal
// agree: a crease (where the normals differ) gets a vertex for each side and
// stays sharp, a smooth surface shares its vertices and stays smooth. Texture
// coordinates have their own list and indices, so seams in the coordinates
// do not split the surface.
#pragma once

#include "scene/format/scene_file_format.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct aiMesh;

namespace meshimport {

class ImportReport;

struct NodeGeometry {
    std::vector<Vec3> vertices;
    std::vector<Vec2> texCoords;
    std::vector<FaceIndices> faces;
    std::size_t droppedTriangles = 0;  // without area: the reader could not give them a normal
};

// Adds the triangles of `mesh` with material id `materialId`. Meshes of
// other primitives (points, lines) add nothing.
void addMesh(const aiMesh& mesh, std::int32_t materialId, NodeGeometry& out, ImportReport& report);

}  // namespace meshimport
