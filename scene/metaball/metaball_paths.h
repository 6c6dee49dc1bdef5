// The paths of the six metaballs. Each ball starts from a base position, is
// moved by an offset along its own axes, then turned about x, y and z by
// angles that grow with the scene time; balls 3 to 5 swing back and forth
// through the centre of the grid.
#pragma once

#include "scene/metaball/metaball_field.h"

namespace metaball {

class BallPaths {
public:
    // The offsets and angle scales at scene time s (u = s / 5): angle scales
    // 2.5 u, 2 u and 3 u degrees per unit of rotation factor; ball 3 swings
    // along x, ball 4 along y and z, ball 5 along z.
    void advance(float sceneTime);

    // Every ball's position for the current offsets and angles, with its
    // strength. In doubles, as a row vector times Rx . Ry . Rz.
    void place(Ball (&balls)[kBallCount]) const;

    // Angle scales in degrees per unit of rotation factor, offsets per ball.
    double angleScaleX = 0, angleScaleY = 0, angleScaleZ = 0;
    float offsets[kBallCount][3] = {};
};

}  // namespace metaball
