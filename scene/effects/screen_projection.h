// Screen position of a world point under the current projection and
// model-view matrices (the camera view the last Scene::draw left), for effects
// that draw 2D sprites over scene objects.
#pragma once

#include "scene/format/vector.h"

#include <optional>

struct ScreenPoint {
    int x, y;
};

// c = P . MV . (point, 1); x = (width div 2) * c.x / c.w + centreX and
// y = (height div 2) * c.y / c.w + centreY, each truncated toward zero (y
// grows upwards, as in OpenGL window coordinates). None when the point lies on
// the eye plane (c.w = 0) or so close to it that the position is no integer.
std::optional<ScreenPoint> projectToScreen(const Vec3& point, int width, int height, int centreX, int centreY);
