// Rotation quaternion: x, y, z, w in this order in memory and in scene files.
#pragma once

#include "scene/format/matrix.h"

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 0;

    Quaternion() = default;
    Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    void set(float x_, float y_, float z_, float w_) {
        x = x_;
        y = y_;
        z = z_;
        w = w_;
    }

    // The rotation matrix the scene files are written for: the transpose of the
    // textbook matrix of the same quaternion. A zero quaternion gives identity.
    Matrix4 toMatrix() const;
};

// Spherical interpolation from a to b (u in 0..1), in double precision. Takes
// the short way round (negating b's weight when a . b < 0); spins adds extra
// half turns. The result is not normalised.
Quaternion slerp(const Quaternion& a, const Quaternion& b, float u, int spins = 0);
