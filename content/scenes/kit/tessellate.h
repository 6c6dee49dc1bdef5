// Triangulates flat outlines with holes through GLU's tessellator (odd winding
// rule: a point inside an odd number of contours is filled).
#pragma once

#include "scene/format/vector.h"

#include <array>
#include <vector>

namespace scenekit {

struct FlatTriangles {
    std::vector<Vec2> points;                        // the input points, then any the tessellator added
    std::vector<std::array<unsigned, 3>> triangles;  // counter-clockwise in x-y
};

FlatTriangles tessellate(const std::vector<std::vector<Vec2>>& contours);

// Twice the signed area: positive for a counter-clockwise contour.
float signedArea2(const std::vector<Vec2>& contour);
bool insideContour(const Vec2& point, const std::vector<Vec2>& contour);

}  // namespace scenekit
