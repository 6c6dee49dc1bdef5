// The modelling kit's primitives. Every shape is centred on the origin (lathes
// turn about the y axis), faces outward (counter-clockwise seen from outside)
// and carries texture coordinates; the material is 0 until the caller sets it.
#pragma once

#include "content/scenes/kit/geometry.h"

#include <vector>

namespace scenekit {

// A box of the given size: six flat sides with their own corners (hard edges),
// each side mapped 0..1.
Mesh box(const Vec3& size);

// A box whose twelve edges are cut by `bevel`; sides, cuts and corners share
// their positions, so the cuts shade as rounded edges.
Mesh bevelledBox(const Vec3& size, float bevel);

// A profile turned about the y axis. Each section is a polyline of (radius, y)
// points going up the outside of the shape (radius 0 closes it at a pole);
// sections meet at hard edges, points inside a section are smooth. A closed
// section also joins its last point back to its first (a torus).
struct LatheSection {
    std::vector<Vec2> points;  // u = radius, v = height
    bool closed = false;
};
Mesh lathe(const std::vector<LatheSection>& sections, int segments);

Mesh cylinder(float radius, float height, int segments, bool caps = true);
// A cone from a base of `radius` at -height/2 to a tip at +height/2.
Mesh cone(float radius, float height, int segments);
Mesh sphere(float radius, int rings, int segments);
// A ring of `major` radius in the x-z plane, tube of `minor` radius.
Mesh torus(float major, float minor, int segments, int sides);

// A flat outline pushed along z from -depth/2 to +depth/2: front and back caps
// (triangulated with holes, any orientation of the contours; a contour inside
// an odd number of others is a hole) and hard-edged side walls. Caps are
// mapped by x and y times `uvScale`, walls by length along the outline.
Mesh extrude(const std::vector<std::vector<Vec2>>& contours, float depth, float uvScale, std::int32_t capMaterial = 0,
             std::int32_t wallMaterial = 0);

}  // namespace scenekit
