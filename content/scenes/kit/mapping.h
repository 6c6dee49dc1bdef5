// Texture coordinates computed from positions. Each replaces the mesh's
// coordinates with three of its own per triangle, so a wrapping projection
// (cylinder, sphere) can mend its seam triangle by triangle.
#pragma once

#include "content/scenes/kit/geometry.h"

namespace scenekit {

// u = p . uAxis * scale, v = p . vAxis * scale.
void planarMap(Mesh& mesh, const Vec3& uAxis, const Vec3& vAxis, float scale);
// u = angle about the y axis (0..1, `turns` times round), v = y * vScale + 0.5.
void cylindricalMap(Mesh& mesh, float vScale, float turns = 1);
// u = longitude (0..1 round the y axis), v = latitude (0 at the south pole, 1 at the north).
void sphericalMap(Mesh& mesh);

}  // namespace scenekit
