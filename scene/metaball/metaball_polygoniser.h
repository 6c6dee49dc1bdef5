// Marching cubes over the metaball field: the iso-surface at level 350 as a
// list of triangles, three vertices each, with an interpolated (unnormalised)
// gradient as normal per vertex.
//
// Cubes are visited j from 0 to 36, then k from 0 to 36, then i from 36 down
// to 0. A vertex on a cube edge lies at (k - 19, j - 19, -i) in grid units,
// interpolated between the edge's corners: the drawn z is the negated grid
// index, not the sampled z.
#pragma once

#include "scene/metaball/metaball_field.h"
#include "scene/format/vector.h"

#include <cstdint>
#include <vector>

namespace metaball {

class Polygoniser {
public:
    Polygoniser() : inside_(kGridPoints), squares_(kGridPoints) {}

    // Fills vertices and normals (each with room for capacity entries) from
    // the grid's values and gradients and returns the number of vertices, a
    // multiple of three. When the next triangle would not fit, the surface
    // ends there: no entry beyond capacity is written.
    int run(const float* values, const Vec3* gradients, Vec3* vertices, Vec3* normals, int capacity);

private:
    std::vector<std::uint8_t> inside_;   // per grid point: strictly above the level
    std::vector<std::uint8_t> squares_;  // per grid point: the inside bits of a face square
};

// The point on the edge from p1 (value v1) to p2 (value v2) where the field
// crosses the level; a corner when the level or the other value is within
// 0.001 of it.
Vec3 interpolatePosition(const Vec3& p1, const Vec3& p2, float v1, float v2);
// The same for the corner normals, with the blend factor kept within [0, 1].
Vec3 interpolateNormal(const Vec3& n1, const Vec3& n2, float v1, float v2);

}  // namespace metaball
